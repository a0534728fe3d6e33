#include "ActionTestFixture.h"

namespace quorvelle::test {
namespace {

using DictionaryActions = ActionTest;

DictionaryReplacementEntry entry(const char* original, const char* replacement) {
    return {QUuid::createUuid(), QString::fromUtf8(original), QString::fromUtf8(replacement), {}, {}};
}

QStringList originals(const QList<DictionaryReplacementEntry>& entries) {
    QStringList result;
    for (const auto& entry : entries)
        result << entry.original + u'>' + entry.replacement;
    return result;
}

TEST_F(DictionaryActions, SaveReplacesByIdElseBySpellingWithoutCaseOrAccentsAndMovesToTheTop) {
    const QLocale before;
    // The spelling match is the same under a Turkish locale, where I and i are different letters.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const auto resume = entry("Résumé", "CV");
    const auto city = entry("istanbul", "İstanbul");
    const auto cafe = entry("cafe", "café");
    fakes.settingsStore->setDictionaryEntries({resume, city, cafe});
    DictionaryViewModel& dictionary = *make("english").dictionary();
    fakes.clock.advance(60);

    struct Row {
        std::optional<QUuid> id;
        const char *original, *replacement, *category, *message;
        QStringList codes, stored;
    };
    const Row rows[] = {
        {std::nullopt,
         " resume ",
         " résumé\n",
         "  ",
         "Dictionary entry updated.",
         {"settings.dictionary.updated"},
         {"resume>résumé", "istanbul>İstanbul", "cafe>café"}},
        {std::nullopt,
         "ISTANBUL",
         "Istanbul",
         "",
         "Dictionary entry updated.",
         {"settings.dictionary.updated"},
         {"ISTANBUL>Istanbul", "resume>résumé", "cafe>café"}},
        {cafe.id,
         "resume",
         "again",
         "",
         "Dictionary entry updated.",
         {"settings.dictionary.updated"},
         {"resume>again", "ISTANBUL>Istanbul", "resume>résumé"}},
        {QUuid::createUuid(),
         "new",
         "n",
         "c",
         "Dictionary entry added.",
         {"settings.dictionary.created"},
         {"new>n", "resume>again", "ISTANBUL>Istanbul", "resume>résumé"}},
        {std::nullopt,
         "orphan",
         " \n",
         "",
         "Original and replacement are required for a dictionary entry.",
         {},
         {"new>n", "resume>again", "ISTANBUL>Istanbul", "resume>résumé"}},
    };
    for (const Row& row : rows) {
        const ActionOutcome outcome = run([&] {
            dictionary.saveDictionaryEntry(row.id, QString::fromUtf8(row.original), QString::fromUtf8(row.replacement),
                                           QString::fromUtf8(row.category));
        });
        SCOPED_TRACE(row.original);
        EXPECT_EQ(outcome.message, QString::fromUtf8(row.message));
        EXPECT_EQ(outcome.codes, row.codes);
        EXPECT_EQ(originals(fakes.settingsStore->dictionaryEntries()), row.stored);
        EXPECT_EQ(dictionary.dictionaryEntries(), fakes.settingsStore->dictionaryEntries());
    }
    QLocale::setDefault(before);
    const auto stored = fakes.settingsStore->dictionaryEntries();
    EXPECT_EQ(stored.at(1).id, cafe.id);
    EXPECT_EQ(stored.at(3).id, resume.id);
    EXPECT_EQ(stored.at(3).category, QString());
    EXPECT_EQ(stored.at(3).updatedAt, fakes.clock.now());
}

TEST_F(DictionaryActions, SnippetsAndDeletionsInTurkish) {
    const VoiceSnippet greeting{QUuid::createUuid(), QStringLiteral("Merhaba"), QStringLiteral("Selam!"), true};
    fakes.settingsStore->setSnippets({greeting});
    fakes.settingsStore->setDictionaryEntries({entry("a", "b")});
    AppViewModel& vm = make("turkish");
    DictionaryViewModel& dictionary = *vm.dictionary();

    EXPECT_EQ(run([&] { dictionary.saveSnippet(std::nullopt, "merhabá", "  "); }).message,
              QStringLiteral("Snippet için ifade ve hazır metin gerekli."));
    const ActionOutcome updated = run([&] { dictionary.saveSnippet(std::nullopt, " merhabá ", "Selamlar"); });
    EXPECT_EQ(updated.message, QStringLiteral("Snippet güncellendi."));
    EXPECT_EQ(updated.codes, QStringList{"settings.snippet.updated"});
    const VoiceSnippet expected{greeting.id, QStringLiteral("merhabá"), QStringLiteral("Selamlar"), false};
    EXPECT_EQ(fakes.settingsStore->snippets(), QList{expected});

    const ActionOutcome unknown = run([&] { dictionary.deleteSnippet(QUuid::createUuid()); });
    EXPECT_EQ(unknown.message, QStringLiteral("Snippet silindi."));
    EXPECT_EQ(unknown.codes, QStringList{"settings.snippet.deleted"});
    EXPECT_EQ(fakes.settingsStore->snippets().size(), 1);

    const ActionOutcome deleted =
        run([&] { dictionary.deleteDictionaryEntry(fakes.settingsStore->dictionaryEntries().at(0).id); });
    EXPECT_EQ(deleted.message, QStringLiteral("Sözlük kaydı silindi."));
    EXPECT_EQ(deleted.codes, QStringList{"settings.dictionary.deleted"});
    EXPECT_TRUE(fakes.userDefaults->contains(QString::fromLatin1(SettingsKeys::dictionaryEntries)));
    EXPECT_TRUE(dictionary.dictionaryEntries().isEmpty());
}

}  // namespace
}  // namespace quorvelle::test
