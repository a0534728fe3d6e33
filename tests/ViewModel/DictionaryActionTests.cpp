#include "Services/Storage/JsonFileUserDefaults.h"
#include "ViewModelTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

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

// A list holding an entry this version cannot read is rewritten only once that entry is kept aside.
// When the settings file's cap refuses the copy, the edit is refused and said so: the stored list
// keeps the entry and nothing is published or recorded as saved.
TEST_F(DictionaryActions, AnEditThatWouldLoseAnEntryThatCannotBeKeptAsideIsRefusedOnTheStatusLine) {
    QTemporaryDir folder;
    const auto defaults = std::make_shared<JsonFileUserDefaults>(folder.filePath("user-defaults.json"));
    fakes.settingsStore = std::make_shared<SettingsStore>(defaults);
    const QString key = SettingsKeys::dictionaryEntries;
    const auto kept = entry("kuber", "Kubernetes");
    // Its data is written as base64: 4 MiB in the file, which a copy would double past the cap.
    const QJsonObject later{{"id", 7}, {"note", QString(3 << 20, 'x')}};
    const QByteArray stored = QJsonDocument(QJsonArray{kept.toJson(), later}).toJson(QJsonDocument::Compact);
    defaults->setData(key, stored);
    defaults->setString(SettingsKeys::customInstructions, QString(10 << 20, 'i'));
    DictionaryViewModel& dictionary = *make().dictionary();
    dictionary.reloadLists();
    const QString notSaved = viewModel->context().strings().settingsChangeNotSaved();

    EXPECT_EQ(said(run([&] { dictionary.saveDictionaryEntry(std::nullopt, "new", "N", ""); })), notSaved + " | ");
    EXPECT_EQ(said(run([&] { dictionary.deleteDictionaryEntry(kept.id); })), notSaved + " | ");
    EXPECT_EQ(said(run([&] { dictionary.saveSnippet(std::nullopt, "sig", "Regards"); })),
              "Snippet added. | settings.snippet.created");
    EXPECT_EQ(defaults->data(key), stored);
    ASSERT_EQ(dictionary.dictionaryEntries().size(), 1);
    EXPECT_EQ(dictionary.dictionaryEntries().first().id, kept.id);
    EXPECT_TRUE(defaults->keys().filter(".unreadable-").isEmpty());

    // With room again, the entry goes aside and the edit is saved.
    defaults->removeValue(SettingsKeys::customInstructions);
    EXPECT_EQ(said(run([&] { dictionary.deleteDictionaryEntry(kept.id); })),
              "Dictionary entry deleted. | settings.dictionary.deleted");
    EXPECT_TRUE(fakes.settingsStore->dictionaryEntries().isEmpty());
    const QStringList copies = defaults->keys().filter(".unreadable-");
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(defaults->data(copies.first()), QJsonDocument(QJsonArray{later}).toJson(QJsonDocument::Compact));
    defaults->waitUntilWritten();
}

}  // namespace
}  // namespace quorvelle::test
