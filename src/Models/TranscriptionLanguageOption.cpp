#include "Models/TranscriptionLanguageOption.h"

#include "Support/TextFolding.h"

#include <algorithm>
#include <vector>

namespace quorvelle {

namespace {

struct LanguageRow {
    const char* code;
    const char* name;
};

// Codes as the speech engine knows them (hence "jw" for Javanese).
constexpr LanguageRow languageTable[] = {
    {"af", "Afrikaans"},      {"am", "Amharic"},     {"ar", "Arabic"},
    {"as", "Assamese"},       {"az", "Azerbaijani"}, {"ba", "Bashkir"},
    {"be", "Belarusian"},     {"bg", "Bulgarian"},   {"bn", "Bengali"},
    {"bo", "Tibetan"},        {"br", "Breton"},      {"bs", "Bosnian"},
    {"ca", "Catalan"},        {"cs", "Czech"},       {"cy", "Welsh"},
    {"da", "Danish"},         {"de", "German"},      {"el", "Greek"},
    {"en", "English"},        {"es", "Spanish"},     {"et", "Estonian"},
    {"eu", "Basque"},         {"fa", "Persian"},     {"fi", "Finnish"},
    {"fo", "Faroese"},        {"fr", "French"},      {"gl", "Galician"},
    {"gu", "Gujarati"},       {"ha", "Hausa"},       {"haw", "Hawaiian"},
    {"he", "Hebrew"},         {"hi", "Hindi"},       {"hr", "Croatian"},
    {"ht", "Haitian Creole"}, {"hu", "Hungarian"},   {"hy", "Armenian"},
    {"id", "Indonesian"},     {"is", "Icelandic"},   {"it", "Italian"},
    {"ja", "Japanese"},       {"jw", "Javanese"},    {"ka", "Georgian"},
    {"kk", "Kazakh"},         {"km", "Khmer"},       {"kn", "Kannada"},
    {"ko", "Korean"},         {"la", "Latin"},       {"lb", "Luxembourgish"},
    {"ln", "Lingala"},        {"lo", "Lao"},         {"lt", "Lithuanian"},
    {"lv", "Latvian"},        {"mg", "Malagasy"},    {"mi", "Maori"},
    {"mk", "Macedonian"},     {"ml", "Malayalam"},   {"mn", "Mongolian"},
    {"mr", "Marathi"},        {"ms", "Malay"},       {"mt", "Maltese"},
    {"my", "Myanmar"},        {"ne", "Nepali"},      {"nl", "Dutch"},
    {"nn", "Nynorsk"},        {"no", "Norwegian"},   {"oc", "Occitan"},
    {"pa", "Punjabi"},        {"pl", "Polish"},      {"ps", "Pashto"},
    {"pt", "Portuguese"},     {"ro", "Romanian"},    {"ru", "Russian"},
    {"sa", "Sanskrit"},       {"sd", "Sindhi"},      {"si", "Sinhala"},
    {"sk", "Slovak"},         {"sl", "Slovenian"},   {"sn", "Shona"},
    {"so", "Somali"},         {"sq", "Albanian"},    {"sr", "Serbian"},
    {"su", "Sundanese"},      {"sv", "Swedish"},     {"sw", "Swahili"},
    {"ta", "Tamil"},          {"te", "Telugu"},      {"tg", "Tajik"},
    {"th", "Thai"},           {"tk", "Turkmen"},     {"tl", "Tagalog"},
    {"tr", "Turkish"},        {"tt", "Tatar"},       {"uk", "Ukrainian"},
    {"ur", "Urdu"},           {"uz", "Uzbek"},       {"vi", "Vietnamese"},
    {"yi", "Yiddish"},        {"yo", "Yoruba"},      {"yue", "Cantonese"},
    {"zh", "Chinese"},
};

}  // namespace

QString TranscriptionLanguageOption::id() const {
    return code.value_or(QStringLiteral("auto"));
}

TranscriptionLanguageOption TranscriptionLanguageOption::automatic() {
    return {std::nullopt, QStringLiteral("Auto")};
}

QList<TranscriptionLanguageOption> TranscriptionLanguageOption::optionsSortedFor(const QLocale& locale) {
    // Sorting the plain rows keeps the ordering free of optional-string copies.
    std::vector<LanguageRow> rows(std::begin(languageTable), std::end(languageTable));

    // The locale's collation, ignoring letter case but not accents.
    std::stable_sort(rows.begin(), rows.end(), [&](const LanguageRow& a, const LanguageRow& b) {
        return TextFolding::compareCaseInsensitive(QString::fromLatin1(a.name), QString::fromLatin1(b.name), locale) <
               0;
    });

    QList<TranscriptionLanguageOption> languages;
    languages.reserve(static_cast<qsizetype>(rows.size()) + 1);
    languages.append(automatic());
    for (const LanguageRow& row : rows) {
        languages.append({QString::fromLatin1(row.code), QString::fromLatin1(row.name)});
    }
    return languages;
}

const QList<TranscriptionLanguageOption>& TranscriptionLanguageOption::supportedOptions() {
    static const QList<TranscriptionLanguageOption> options = optionsSortedFor(QLocale::system());
    return options;
}

TranscriptionLanguageOption TranscriptionLanguageOption::option(const std::optional<QString>& storedCode) {
    if (!storedCode || storedCode->isEmpty() || *storedCode == QLatin1String("auto")) {
        return automatic();
    }
    for (const TranscriptionLanguageOption& candidate : supportedOptions()) {
        if (candidate.id() == *storedCode) {
            return candidate;
        }
    }
    return automatic();
}

bool TranscriptionLanguageOption::matches(const QString& query) const {
    const QString needle = query.trimmed().toLower();
    if (needle.isEmpty()) {
        return true;
    }
    QStringList candidates;
    if (code) {
        candidates << *code;
    }
    candidates << name;
    if (code) {
        candidates << name + QStringLiteral(" (") + *code + QLatin1Char(')');
    } else {
        candidates << QStringLiteral("Auto (Recommended)") << QStringLiteral("automatic auto recommended");
    }
    return candidates.join(QLatin1Char(' ')).toLower().contains(needle);
}

}  // namespace quorvelle
