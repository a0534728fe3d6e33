#include "Views/Dashboard/Pages/LocalModelRowTexts.h"

#include <array>
#include <utility>

namespace quorvelle {

namespace {

using Kind = LocalModelInstallState::Kind;

// The catalogue's descriptions are English-only; the Turkish interface has its own.
QString turkishDescription(LocalTranscriptionModelID id) {
    switch (id) {
        case LocalTranscriptionModelID::tinyMultilingual:
            return QStringLiteral("En hızlı yerel model. Kısa notlar ve hız odaklı kullanım için uygun.");
        case LocalTranscriptionModelID::baseMultilingual:
            return QStringLiteral("Hız ve kalite dengesi. Günlük kullanım için hafif bir seçenek.");
        case LocalTranscriptionModelID::tinyEnglish:
        case LocalTranscriptionModelID::baseEnglish:
        case LocalTranscriptionModelID::smallEnglish:
            return QStringLiteral("Uyumluluk için tutulan eski English-only model.");
        case LocalTranscriptionModelID::smallMultilingual:
            return QStringLiteral("Varsayılan seçenek. Hâlâ hızlı, kalite tarafında daha güçlü.");
        case LocalTranscriptionModelID::mediumMultilingual:
            return QStringLiteral("Daha yüksek kalite. Daha fazla disk ve bellek kullanır.");
        case LocalTranscriptionModelID::largeV3:
            return QStringLiteral("En yüksek kalite. En ağır model; ilk yükleme ve transcription daha uzun sürebilir.");
    }
    return {};
}

QString primaryTitle(const LocalModelStatus& status, const AppStrings& strings) {
    switch (status.installState.kind()) {
        case Kind::installed:
            return status.isSelected ? strings.localized(u"Selected", u"Seçili") : strings.localized(u"Select", u"Seç");
        case Kind::failed: return strings.localized(u"Retry", u"Tekrar Dene");
        case Kind::notInstalled: return strings.localized(u"Download", u"İndir");
        case Kind::downloading: return strings.localized(u"Cancel", u"İptal");
    }
    return {};
}

}  // namespace

LocalModelRowTexts LocalModelRowTexts::of(const LocalModelStatus& status, const AppStrings& strings) {
    const LocalTranscriptionModelDescriptor& d = status.descriptor;
    LocalModelRowTexts row;
    row.title = d.title;
    row.subtitle = strings.isTurkish() ? turkishDescription(status.id) : d.subtitle;
    row.size = d.sizeLabel;
    row.badge = stateLabel(status.installState.kind(), strings);
    for (const QString& tag : d.tags)
        row.tags.append(localizedTag(tag, strings));
    row.warningText = tierWarning(d.warningTier, strings);
    row.failureText = status.installState.failureMessage();
    row.primaryActionTitle = primaryTitle(status, strings);
    if (status.installState.kind() == Kind::installed) row.secondaryActionTitle = strings.localized(u"Delete", u"Sil");
    return row;
}

QString LocalModelRowTexts::localizedTag(const QString& tag, const AppStrings& strings) {
    if (!strings.isTurkish()) return tag;
    static constexpr std::array<std::pair<const char16_t*, const char16_t*>, 11> turkish{{
        {u"Fast", u"Hızlı"},
        {u"Small", u"Küçük"},
        {u"Multilingual", u"Çok Dilli"},
        {u"Balanced", u"Dengeli"},
        {u"Compact", u"Kompakt"},
        {u"Recommended", u"Önerilen"},
        {u"Offline", u"Çevrimdışı"},
        {u"Quality", u"Kalite"},
        {u"Heavy", u"Ağır"},
        {u"Best quality", u"En iyi kalite"},
        {u"Largest", u"En Büyük"},
    }};
    for (const auto& [key, text] : turkish) {
        if (tag == QStringView(key)) return QString::fromUtf16(text);
    }
    return tag;
}

std::optional<QString> LocalModelRowTexts::tierWarning(LocalModelWarningTier tier, const AppStrings& strings) {
    switch (tier) {
        case LocalModelWarningTier::none: return std::nullopt;
        case LocalModelWarningTier::elevated:
            return strings.localized(u"Daha yuksek RAM ve daha uzun yukleme suresi bekleyin.",
                                     u"Daha yüksek RAM ve daha uzun yükleme süresi bekleyin.");
        case LocalModelWarningTier::heavy:
            return strings.localized(u"Yaklasik 2.9 GiB disk ister. Daha guclu cihazlarda daha rahattir.",
                                     u"Yaklaşık 2.9 GiB disk ister. Daha güçlü cihazlarda daha rahattır.");
    }
    return std::nullopt;
}

QString LocalModelRowTexts::stateLabel(Kind kind, const AppStrings& strings) {
    switch (kind) {
        case Kind::installed: return strings.localized(u"Installed", u"Kuruldu");
        case Kind::failed: return strings.localized(u"Retry needed", u"Tekrar deneme gerekli");
        case Kind::notInstalled: return strings.localized(u"Download required", u"İndirme gerekli");
        case Kind::downloading: return strings.localized(u"Downloading", u"İndiriliyor");
    }
    return {};
}

}  // namespace quorvelle
