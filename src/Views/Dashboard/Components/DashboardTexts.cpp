#include "Views/Dashboard/Components/DashboardTexts.h"

#include "Models/AppLanguageOption.h"
#include "Models/AppStrings.h"
#include "Models/TranscriptionLanguageOption.h"

#include <QLocale>
#include <QTextBoundaryFinder>

#include <optional>

namespace quorvelle {

namespace {

constexpr qsizetype kSnippetPreviewLength = 96;

AppLanguageOption languageOption(const QString& raw) {
    return fromRawValue<AppLanguageOption>(raw).value_or(AppLanguageOption::system);
}

// Where the text's first `count` grapheme clusters end, or -1 when it has no more than that.
qsizetype endOfFirstCharacters(const QString& text, qsizetype count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype seen = 0;
    while (finder.toNextBoundary() != -1) {
        if (++seen == count) return finder.position() < text.size() ? finder.position() : -1;
    }
    return -1;
}

}  // namespace

DashboardTexts::DashboardTexts(QObject* parent) : QObject(parent) {}

QString DashboardTexts::localized(const QString& languageCode, const QString& english, const QString& turkish) {
    return AppStrings(languageCode).localized(english, turkish);
}

QString DashboardTexts::buttonDescription(const QString& languageCode, const QString& action, const QString& subject) {
    return AppStrings(languageCode).buttonDescription(action, subject);
}

QString DashboardTexts::appLanguageOptionTitle(const QString& languageCode, const QString& option) {
    return AppStrings(languageCode).appLanguageOptionTitle(languageOption(option));
}

QString DashboardTexts::appLanguageOptionDescription(const QString& languageCode, const QString& option) {
    return AppStrings(languageCode).appLanguageOptionDescription(languageOption(option));
}

QString DashboardTexts::transcriptionLanguageTitle(const QString& languageCode, const QVariant& code,
                                                   const QString& name) {
    TranscriptionLanguageOption option;
    option.name = name;
    if (code.isValid() && !code.isNull()) option.code = code.toString();
    return AppStrings(languageCode).transcriptionLanguageTitle(option);
}

QString DashboardTexts::trimmedTerm(const QString& text) {
    return text.trimmed();
}

QString DashboardTexts::snippetExpansionPreview(const QString& expansion) {
    QString line = expansion;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const qsizetype cut = endOfFirstCharacters(line, kSnippetPreviewLength);
    if (cut < 0) return line;
    return line.left(cut) + QStringLiteral("...");
}

QString DashboardTexts::shortNumericDate(const QDateTime& date) {
    if (!date.isValid()) return {};
    return QLocale::c().toString(date.toLocalTime(), QStringLiteral("M/d/yyyy"));
}

}  // namespace quorvelle
