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
    const struct {
        QString query;
        const char* language;
        bool expected;
    } cases[] = {
        {"  TURK \n", "Turkish", true}, {"(tr)", "Turkish", true}, {"(tr)", "Turkmen", false},
        {"en", "Slovenian", true},      {"en", "Tamil", false},    {"   ", "Tamil", true},
        {"h (", "Turkish", true},     // spans the name and the parenthesised code
        {"sh tr", "Turkish", false},  // the joined candidates are separated by spaces only
    };
    for (const auto& c : cases) {
        const auto* option = find(c.language);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->matches(c.query), c.expected) << c.query.toStdString() << " / " << c.language;
    }

    const struct {
        QString query;
        bool expected;
    } automaticCases[] = {
        {"AUTOMATIC", true},
        {"auto (recommended)", true},
        {"(auto)", false},
        {"english", false},
    };
    for (const auto& c : automaticCases) {
        EXPECT_EQ(automatic.matches(c.query), c.expected) << c.query.toStdString();
    }
}

TEST(TranscriptionLanguageOption, StoredCodeLookupFallsBackToAutomatic) {
    const struct {
        std::optional<QString> stored;
        QString expectedName;
    } cases[] = {
        {QString("haw"), "Hawaiian"},
        {QString("TR"), "Auto"},
        {std::nullopt, "Auto"},
        {QString(" tr"), "Auto"},
    };
    for (const auto& c : cases) {
        const auto option = TranscriptionLanguageOption::option(c.stored);
        EXPECT_EQ(option.name, c.expectedName) << c.stored.value_or("<none>").toStdString();
        EXPECT_EQ(option.id(), c.expectedName == "Auto" ? QString("auto") : *c.stored);
    }
}
