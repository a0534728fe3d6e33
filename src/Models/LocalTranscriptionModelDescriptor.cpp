#include "Models/LocalTranscriptionModelDescriptor.h"

#include <array>

namespace quorvelle {

namespace {

struct CatalogueRow {
    LocalTranscriptionModelID id;
    const char* title;
    const char* subtitle;
    const char* sizeLabel;
    qint64 diskSizeBytes;
    const char* filename;
    const char* expectedSHA1;
    bool isRecommended;
    LocalModelWarningTier warningTier;
    std::array<const char*, 3> tags;  // unused places are null
};

const char kLegacyEnglishSubtitle[] = "Legacy English-only model kept for compatibility.";

const CatalogueRow& catalogueRow(LocalTranscriptionModelID id) {
    using M = LocalTranscriptionModelID;
    using T = LocalModelWarningTier;
    // In the order of the enumeration, so the id indexes the table.
    static const CatalogueRow rows[] = {
        {M::tinyMultilingual,
         "Tiny",
         "En hizli local model. Kisa notlar ve hiz odakli kullanim icin uygun.",
         "75 MiB",
         78643200,
         "ggml-tiny.bin",
         "bd577a113a864445d4c299885e0cb97d4ba92b5f",
         false,
         T::none,
         {"Fast", "Small", "Multilingual"}},
        {M::baseMultilingual,
         "Base",
         "Hiz ve kalite dengesi. Gunluk kullanim icin hafif bir secenek.",
         "142 MiB",
         148897792,
         "ggml-base.bin",
         "465707469ff3a37a2b9b8d8f89f2f99de7299dac",
         false,
         T::none,
         {"Balanced", "Compact", "Multilingual"}},
        {M::tinyEnglish,
         "Tiny (English)",
         kLegacyEnglishSubtitle,
         "75 MB",
         78643200,
         "ggml-tiny.en.bin",
         "c78c86eb1a8faa21b369bcd33207cc90d64ae9df",
         false,
         T::none,
         {"Fast", "English"}},
        {M::baseEnglish,
         "Base (English)",
         kLegacyEnglishSubtitle,
         "142 MB",
         148897792,
         "ggml-base.en.bin",
         "137c40403d78fd54d454da0f9bd998f78703390c",
         true,
         T::none,
         {"Balanced", "English"}},
        {M::smallEnglish,
         "Small (English)",
         kLegacyEnglishSubtitle,
         "466 MB",
         488636416,
         "ggml-small.en.bin",
         "db8a495a91d927739e50b3fc1cc4c6b8f6c2d022",
         false,
         T::none,
         {"Sharper", "English"}},
        {M::smallMultilingual,
         "Small",
         "Varsayilan secenek. Hala hizli, ama kalite tarafinda daha guclu.",
         "466 MiB",
         488636416,
         "ggml-small.bin",
         "55356645c2b361a969dfd0ef2c5a50d530afd8d5",
         true,
         T::none,
         {"Recommended", "Multilingual", "Offline"}},
        {M::mediumMultilingual,
         "Medium",
         "Daha yuksek kalite. Daha fazla disk ve bellek kullanir.",
         "1.5 GiB",
         1610612736,
         "ggml-medium.bin",
         "fd9727b6e1217c2f614f9b698455c4ffd82463b4",
         false,
         T::elevated,
         {"Quality", "Multilingual", "Heavy"}},
        {M::largeV3,
         "Large v3",
         "En yuksek kalite. En agir model; ilk yukleme ve transcription daha uzun surebilir.",
         "2.9 GiB",
         3113541018,
         "ggml-large-v3.bin",
         "ad82bf6a9043ceed055076d0fd39f5f186ff8062",
         false,
         T::heavy,
         {"Best quality", "Multilingual", "Largest"}},
    };
    const CatalogueRow& row = rows[static_cast<int>(id)];
    Q_ASSERT(row.id == id);
    return row;
}

}  // namespace

QUrl localModelDownloadURL(const QString& filename, const LocalModelHostConfiguration& host) {
    const QString owner = host.ownerURL.toString(QUrl::StripTrailingSlash);
    const QUrl url(owner + QStringLiteral("/whisper.cpp/resolve/main/") + filename + QStringLiteral("?download=true"));
    Q_ASSERT(url.isValid());
    return url;
}

LocalTranscriptionModelDescriptor localModelDescriptor(LocalTranscriptionModelID id,
                                                       const LocalModelHostConfiguration& host) {
    const CatalogueRow& row = catalogueRow(id);
    QStringList tags;
    for (const char* tag : row.tags) {
        if (tag) tags.append(QString::fromLatin1(tag));
    }
    const QString filename = QString::fromLatin1(row.filename);
    return LocalTranscriptionModelDescriptor{
        id,
        QString::fromLatin1(row.title),
        QString::fromLatin1(row.subtitle),
        QString::fromLatin1(row.sizeLabel),
        row.diskSizeBytes,
        filename,
        localModelDownloadURL(filename, host),
        QString::fromLatin1(row.expectedSHA1),
        row.isRecommended,
        row.warningTier,
        tags,
    };
}

}  // namespace quorvelle
