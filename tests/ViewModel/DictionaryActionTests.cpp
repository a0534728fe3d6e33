#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using DictionaryActions = ViewModelTest;

DictionaryReplacementEntry entry(const char* original, const char* replacement) {
    return {QUuid::createUuid(), QString::fromUtf8(original), QString::fromUtf8(replacement), {}, {}};
}

TEST_F(DictionaryActions, SaveReplacesByIdElseBySpellingWithoutCaseOrAccentsAndMovesToTheTop) {
    const QLocale before;
    // The spelling match is the same under a Turkish locale, where I and i are different letters.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const auto resume = entry("Résumé", "CV");
    const auto cafe = entry("cafe", "café");
    fakes.settingsStore->setDictionaryEntries({resume, entry("istanbul", "İstanbul"), cafe});
    DictionaryViewModel& dictionary = *make("english").dictionary();
    fakes.clock.advance(60);
    const auto save = [&](std::optional<QUuid> id, const char* original, const char* replacement,
                          const char* category = "") {
        return said(run([&] { dictionary.saveDictionaryEntry(id, original, replacement, category); }));
    };
    const auto stored = [&] {
        QStringList terms;
        for (const auto& entry : fakes.settingsStore->dictionaryEntries())
            terms << entry.original + u'>' + entry.replacement;
        return terms.join(u' ');
    };
    EXPECT_EQ(save(std::nullopt, " resume ", " résumé\n", "  "),
              "Dictionary entry updated. | settings.dictionary.updated");
    EXPECT_EQ(stored(), QStringLiteral("resume>résumé istanbul>İstanbul cafe>café"));
    save(std::nullopt, "ISTANBUL", "Istanbul");
    EXPECT_EQ(stored(), QStringLiteral("ISTANBUL>Istanbul resume>résumé cafe>café"));
    // Edited by id while another entry has the new spelling: both stay.
    save(cafe.id, "resume", "again");
    EXPECT_EQ(stored(), QStringLiteral("resume>again ISTANBUL>Istanbul resume>résumé"));
    EXPECT_EQ(save(QUuid::createUuid(), "new", "n"), "Dictionary entry added. | settings.dictionary.created");
    EXPECT_EQ(save(std::nullopt, "orphan", " \n"), "Original and replacement are required for a dictionary entry. | ");
    EXPECT_EQ(stored(), QStringLiteral("new>n resume>again ISTANBUL>Istanbul resume>résumé"));
    QLocale::setDefault(before);

    const auto entries = fakes.settingsStore->dictionaryEntries();
    EXPECT_EQ(dictionary.dictionaryEntries(), entries);
    EXPECT_EQ(entries.at(1).id, cafe.id);
    EXPECT_EQ(entries.at(3).id, resume.id);
    EXPECT_EQ(entries.at(3).updatedAt, fakes.clock.now());
}

// The views name entries by their id as text; text that is no id changes nothing.
TEST_F(DictionaryActions, SnippetsAndDeletionsByIdTextInTurkish) {
    const VoiceSnippet greeting{QUuid::createUuid(), QStringLiteral("Merhaba"), QStringLiteral("Selam!"), true};
    fakes.settingsStore->setSnippets({greeting});
    fakes.settingsStore->setDictionaryEntries({entry("kuber", "Kubernetes")});
    DictionaryViewModel& dictionary = *make("turkish").dictionary();
    const QString entryId = fakes.settingsStore->dictionaryEntries().first().id.toString(QUuid::WithoutBraces);

    EXPECT_EQ(run([&] { dictionary.saveSnippet(QString(), "merhabá", "  "); }).message,
              QStringLiteral("Snippet için ifade ve hazır metin gerekli."));
    EXPECT_EQ(said(run([&] { dictionary.saveSnippet(QString(), " merhabá ", "Selamlar"); })),
              "Snippet güncellendi. | settings.snippet.updated");
    const VoiceSnippet expected{greeting.id, QStringLiteral("merhabá"), QStringLiteral("Selamlar"), false};
    EXPECT_EQ(fakes.settingsStore->snippets(), QList{expected});

    EXPECT_TRUE(run([&] { dictionary.deleteSnippet(QStringLiteral("not-an-id")); }).codes.isEmpty());
    EXPECT_EQ(said(run([&] { dictionary.deleteSnippet(QUuid::createUuid()); })),
              "Snippet silindi. | settings.snippet.deleted");
    EXPECT_EQ(dictionary.snippetsModel()->rowCount(), 1);

    dictionary.saveDictionaryEntry(QStringLiteral("{bad}"), QStringLiteral("kuber"), QStringLiteral("K8s"), QString());
    EXPECT_EQ(dictionary.dictionaryEntries().first().replacement, QStringLiteral("Kubernetes"));
    EXPECT_EQ(said(run([&] { dictionary.deleteDictionaryEntry(entryId); })),
              "Sözlük kaydı silindi. | settings.dictionary.deleted");
    EXPECT_TRUE(fakes.userDefaults->contains(QString::fromLatin1(SettingsKeys::dictionaryEntries)));
    EXPECT_EQ(dictionary.dictionaryEntriesModel()->rowCount(), 0);
}

}  // namespace
}  // namespace quorvelle::test
