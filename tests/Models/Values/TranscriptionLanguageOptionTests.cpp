#include "Models/TranscriptionLanguageOption.h"

#include <gtest/gtest.h>

#include <QSet>

using quorvelle::TranscriptionLanguageOption;

namespace {

QStringList names(const QLocale& locale) {
    QStringList result;
    for (const auto& option : TranscriptionLanguageOption::optionsSortedFor(locale))
        result << option.name;
    return result;
}

}  // namespace

TEST(TranscriptionLanguageOption, AutomaticComesFirstThenDistinctLanguagesInOneOrderForEveryLocale) {
    const auto& options = TranscriptionLanguageOption::supportedOptions();
    EXPECT_EQ(options.first().id(), "auto");
    QSet<QString> ids;
    for (const auto& option : options)
        ids.insert(option.id());
    EXPECT_EQ(ids.size(), options.size());

    // Turkish collation treats I and its dotted form as separate letters; names beginning with a
    // capital I must still fall between H and J.
    const QStringList english = names(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(names(QLocale(QLocale::Turkish, QLocale::Turkey)), english);
    EXPECT_EQ(names(QLocale::c()), english);
    for (qsizetype i = 2; i < english.size(); ++i)
        EXPECT_LT(english[i - 1].compare(english[i], Qt::CaseInsensitive), 0) << english[i - 1].toStdString();
}

TEST(TranscriptionLanguageOption, SearchMatchesCodeNameAndCombinedTextAndStoredCodesFallBackToAutomatic) {
    const TranscriptionLanguageOption turkish = TranscriptionLanguageOption::option(QStringLiteral("tr"));
    const std::pair<const char*, bool> cases[] = {
        {"  TURK \n", true}, {"   ", true}, {"(tr)", true}, {"h (", true}, {"sh tr", false}};
    for (const auto& [query, expected] : cases)
        EXPECT_EQ(turkish.matches(QString::fromUtf8(query)), expected) << query;
    EXPECT_TRUE(TranscriptionLanguageOption::automatic().matches(QStringLiteral("auto (recommended)")));

    const std::pair<std::optional<QString>, QString> stored[] = {
        {QString("haw"), "Hawaiian"}, {QString("TR"), "Auto"}, {std::nullopt, "Auto"}, {QString(" tr"), "Auto"}};
    for (const auto& [code, name] : stored)
        EXPECT_EQ(TranscriptionLanguageOption::option(code).name, name) << code.value_or("<none>").toStdString();
}
