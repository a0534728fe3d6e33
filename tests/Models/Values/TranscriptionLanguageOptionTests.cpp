#include "Models/TranscriptionLanguageOption.h"

#include <gtest/gtest.h>

#include <QSet>

using quorvelle::TranscriptionLanguageOption;

namespace {

QStringList names(const QList<TranscriptionLanguageOption>& options) {
    QStringList result;
    for (const auto& option : options) {
        result << option.name;
    }
    return result;
}

const TranscriptionLanguageOption* find(const QString& name) {
    for (const auto& option : TranscriptionLanguageOption::supportedOptions()) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace

TEST(TranscriptionLanguageOption, AutomaticComesFirstThenDistinctLanguagesInOneOrderForEveryLocale) {
    const auto& options = TranscriptionLanguageOption::supportedOptions();
    EXPECT_EQ(options.first(), TranscriptionLanguageOption::automatic());
    EXPECT_EQ(options.first().id(), "auto");
    QSet<QString> ids;
    for (const auto& option : options)
        ids.insert(option.id());
    EXPECT_EQ(ids.size(), options.size());

    // Turkish collation treats I and its dotted form as separate letters; names beginning with a
    // capital I must still fall between H and J.
    const auto english =
        names(TranscriptionLanguageOption::optionsSortedFor(QLocale(QLocale::English, QLocale::UnitedStates)));
    const auto turkish =
        names(TranscriptionLanguageOption::optionsSortedFor(QLocale(QLocale::Turkish, QLocale::Turkey)));
    EXPECT_EQ(turkish, english);
    EXPECT_EQ(names(TranscriptionLanguageOption::optionsSortedFor(QLocale::c())), english);
    EXPECT_EQ(english.mid(english.indexOf("Hungarian"), 5),
              (QStringList{"Hungarian", "Icelandic", "Indonesian", "Italian", "Japanese"}));
    for (qsizetype i = 2; i < english.size(); ++i) {
        EXPECT_LT(english[i - 1].compare(english[i], Qt::CaseInsensitive), 0) << english[i - 1].toStdString();
    }
}

TEST(TranscriptionLanguageOption, SearchMatchesCodeNameAndCombinedText) {
    const auto automatic = TranscriptionLanguageOption::automatic();
    const std::tuple<QString, const char*, bool> cases[] = {
        {"  TURK \n", "Turkish", true}, {"(tr)", "Turkish", true}, {"(tr)", "Turkmen", false},
        {"en", "Slovenian", true},      {"en", "Tamil", false},    {"   ", "Tamil", true},
        {"h (", "Turkish", true},     // spans the name and the parenthesised code
        {"sh tr", "Turkish", false},  // the joined candidates are separated by spaces only
    };
    for (const auto& [query, language, expected] : cases) {
        const auto* option = find(language);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->matches(query), expected) << query.toStdString() << " / " << language;
    }
    const std::pair<QString, bool> automaticCases[] = {
        {"AUTOMATIC", true}, {"auto (recommended)", true}, {"(auto)", false}, {"english", false}};
    for (const auto& [query, expected] : automaticCases)
        EXPECT_EQ(automatic.matches(query), expected) << query.toStdString();
}

TEST(TranscriptionLanguageOption, StoredCodeLookupFallsBackToAutomatic) {
    const std::pair<std::optional<QString>, QString> cases[] = {
        {QString("haw"), "Hawaiian"}, {QString("TR"), "Auto"}, {std::nullopt, "Auto"}, {QString(" tr"), "Auto"}};
    for (const auto& [stored, name] : cases) {
        const auto option = TranscriptionLanguageOption::option(stored);
        EXPECT_EQ(option.name, name) << stored.value_or("<none>").toStdString();
        EXPECT_EQ(option.id(), name == "Auto" ? QString("auto") : *stored);
    }
}
