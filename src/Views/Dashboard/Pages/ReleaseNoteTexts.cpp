#include "Views/Dashboard/Pages/ReleaseNoteTexts.h"

#include "Support/IcuString.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>

#include <memory>

namespace quorvelle::ReleaseNoteTexts {

namespace {

bool isTurkish(const QString& languageCode) {
    return languageCode == QLatin1String("tr");
}

// Made on first use per language and kept: building an ICU formatter loads locale data.
const icu::DateFormat* mediumDateFormat(bool turkish) {
    static const auto make = [](const char* locale) {
        return std::unique_ptr<icu::DateFormat>(
            icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, icu::Locale(locale)));
    };
    static const std::unique_ptr<icu::DateFormat> english = make("en");
    static const std::unique_ptr<icu::DateFormat> turkishFormat = make("tr");
    return turkish ? turkishFormat.get() : english.get();
}

}  // namespace

QString categoryHeading(const QString& label, const QString& languageCode) {
    const bool turkish = isTurkish(languageCode);
    if (label == QLatin1String("Added")) return turkish ? QStringLiteral("EKLENDİ") : QStringLiteral("ADDED");
    if (label == QLatin1String("Changed")) return turkish ? QStringLiteral("DEĞİŞTİ") : QStringLiteral("CHANGED");
    if (label == QLatin1String("Fixed")) return turkish ? QStringLiteral("DÜZELTİLDİ") : QStringLiteral("FIXED");
    // QString's case mapping is the locale-independent Unicode one.
    return label.toUpper();
}

QString releaseDate(const QDateTime& releasedAt, const QString& languageCode) {
    const icu::DateFormat* format = mediumDateFormat(isTurkish(languageCode));
    if (!releasedAt.isValid() || !format) return {};
    // Local time zone: ICU takes the process's default zone, as QDateTime does.
    icu::UnicodeString text;
    format->format(static_cast<UDate>(releasedAt.toMSecsSinceEpoch()), text);
    return IcuString::toQString(text);
}

}  // namespace quorvelle::ReleaseNoteTexts
