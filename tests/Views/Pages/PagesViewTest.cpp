// The overview, history, dictionary and snippets pages inside the dashboard.
#include "../Dashboard/ViewModelScene.h"
#include "Views/Dashboard/Components/HistoryTimestampFormatter.h"
#include "Views/Dashboard/History/HistoryExporter.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace quorvelle::test {
namespace {

struct FixedPlace final : SaveLocationChoosing {
    QString answer;
    std::optional<QString> chooseSaveLocation(const QString&) override { return answer; }
};

class PagesViewTest : public ViewModelScene {
protected:
    // `count` entries of 3 words and 2.5 s, a minute apart, newest first, before the clock's now.
    void seedHistory(int count) {
        for (int index = 1; index <= count; ++index)
            fakes.history->entries.append({QUuid::createUuid(), fakes.clock.now().addSecs(-60 * index),
                                           QStringLiteral("transcript %1").arg(index), 2.5, 3,
                                           TranscriptHistoryCompletionKind::inserted});
    }
    void load(const char* section, const char* language = "english") { open(QString::fromLatin1(section), language); }
    void go(const char* section) {
        state()->selectSection(QString::fromLatin1(section));
        settle();
    }
    QString form(const char* property) { return state()->property(property).toString(); }
    // Types into a form field (or an input itself) as the user would.
    void type(const QString& field, const QString& typed, QQuickItem* scope = nullptr) {
        QQuickItem* input = findIn(item(field, scope), "form-field-input");
        harness.click(input ? input : item(field, scope));
        harness.typeText(typed);
    }
    QQuickItem* historyRow(int index) {
        const QList<TranscriptHistoryEntry>& entries = viewModel->history()->transcriptHistoryEntries();
        if (index >= entries.size()) {
            ADD_FAILURE() << "the view model holds " << entries.size() << " entries, not " << index + 1;
            return nullptr;
        }
        return item("history-row-" + entries.at(index).id.toString(QUuid::WithoutBraces));
    }
    // The `label` item of every row in the list, in order; none (and a failure) without the list.
    QStringList rows(const char* list, const char* label) {
        QStringList found;
        QQuickItem* shownList = item(list);
        if (!shownList) return found;
        for (QQuickItem* row : shownList->childItems())
            if (QQuickItem* shown = findIn(row, label)) found.append(shown->property("text").toString());
        return found;
    }
};

TEST_F(PagesViewTest, OverviewShowsTheTotalsAndTheFiveLatestRowsAndLeadsToTheHistory) {
    seedHistory(7);
    load("overview");
    const QStringList metrics = textsIn(item("overview-metrics"));
    for (const char* total : {"21", "18s", "7", "70 wpm"})
        EXPECT_TRUE(metrics.contains(total)) << total;
    EXPECT_EQ(rows("history-row-list", "history-transcript"),
              (QStringList{"transcript 1", "transcript 2", "transcript 3", "transcript 4", "transcript 5"}));
    const QString time = HistoryTimestampFormatter::format(fakes.history->entries[0].completedAt);
    EXPECT_EQ(textsIn(historyRow(0)).mid(1), (QStringList{time, "3 words", "3s", "Inserted", "Add to Dictionary"}));
    EXPECT_FALSE(shows("history-export-button"));
    harness.shoot("pages-overview-en");

    harness.click(item("overview-view-full-history"));
    EXPECT_EQ(state()->selectedSection(), MainWindowSection::history);
    EXPECT_EQ(rows("history-row-list", "history-transcript").size(), 7);
}

TEST_F(PagesViewTest, AnEmptyHistoryShowsItsNoticeAndTurnsTheHeaderButtonsOff) {
    load("overview", "turkish");
    EXPECT_TRUE(textsIn(item("overview-metrics")).contains("0 k/dk"));
    EXPECT_TRUE(shows("empty-history-message"));
    harness.shoot("pages-overview-empty-tr");

    go("history");
    EXPECT_EQ(text("empty-history-message"), "Henüz transcript geçmişi kaydedilmedi.");
    EXPECT_FALSE(item("history-export-button")->isEnabled() || item("history-clear-button")->isEnabled());
    // The header's buttons go with the page.
    go("dictionary");
    EXPECT_FALSE(harness.find("history-export-button"));
}

// The quick add keeps its entry when a new dictation arrives, saves only a pair of trimmed non-blank
// terms, and keeps the original typed after saving or cancelling; a cancel forgets the replacement.
// Until the stored history has been read the lists say so, not that there is no history.
TEST_F(PagesViewTest, TheHistoryListsSayTheyAreLoadingUntilTheHistoryIsRead) {
    fakes.history->holdLoading = true;
    load("history");
    EXPECT_EQ(text("empty-history-message"), "Loading history…");
    go("overview");
    EXPECT_EQ(text("empty-history-message"), "Loading history…");
    fakes.history->finishLoading();
    settle();
    EXPECT_EQ(text("empty-history-message"), "No completed transcriptions yet.");
}

// A long history is made a page of rows at a time as the user scrolls to its end: every entry
// comes, once, newest first, and a new dictation still goes on top.
TEST_F(PagesViewTest, ALongHistoryComesAPageAtATimeToItsEnd) {
    seedHistory(260);
    load("history");
    QQuickItem* list = item("history-row-list");
    QQuickItem* scroller = list->parentItem();
    while (scroller && !scroller->property("contentY").isValid())
        scroller = scroller->parentItem();
    ASSERT_TRUE(scroller);
    QList<qsizetype> counts{rows("history-row-list", "history-transcript").size()};
    while (counts.size() < 10 && counts.last() < 260) {
        scroller->setProperty("contentY",
                              scroller->property("contentHeight").toReal() - scroller->property("height").toReal());
        settle();
        counts.append(rows("history-row-list", "history-transcript").size());
    }
    EXPECT_EQ(counts.first(), 50);
    EXPECT_EQ(counts.last(), 260);
    QStringList expected;
    for (int index = 1; index <= 260; ++index)
        expected.append(QStringLiteral("transcript %1").arg(index));
    EXPECT_EQ(rows("history-row-list", "history-transcript"), expected);

    viewModel->history()->appendTranscriptHistory("newest", 1.0, TranscriptHistoryCompletionKind::inserted);
    settle();
    EXPECT_EQ(rows("history-row-list", "history-transcript"), QStringList{"newest"} + expected);
}

TEST_F(PagesViewTest, AQuickAddPanelStaysOnItsEntryAndSavesOnlyTrimmedNonBlankTerms) {
    seedHistory(2);
    load("history");
    state()->setProperty("dictionaryOriginalTerm", "half typed");
    QQuickItem* second = historyRow(1);
    harness.shootInEveryTheme("kit2-history-row");
    const auto term = [&](const char* name) { return second->property(name).toString(); };
    const auto formOpen = [&] {
        QQuickItem* form = findIn(second, "quick-dictionary-add");
        return form && form->isVisible();
    };
    const auto open = [&] { harness.click(item("history-dictionary-button", second)); };
    open();
    EXPECT_EQ(text("form-field-input", item("quick-add-original", second)), "transcript 2");
    type("quick-add-replacement", "Transcript Two", second);

    viewModel->history()->appendTranscriptHistory("a new one", 1.0, TranscriptHistoryCompletionKind::inserted);
    QCoreApplication::processEvents();
    EXPECT_EQ(rows("history-row-list", "history-transcript"),
              (QStringList{"a new one", "transcript 1", "transcript 2"}));
    EXPECT_EQ(historyRow(2), second);
    EXPECT_TRUE(formOpen());
    EXPECT_EQ(term("replacementTerm"), "Transcript Two");
    harness.shoot("pages-history-quick-add-en");
    harness.shootInEveryTheme("kit2-history-row-quick-add");

    QQuickItem* save = item("quick-add-save", second);
    for (const auto& [original, replacement] : {std::pair(" \n\t", "b"), std::pair("a", "\n ")}) {
        second->setProperty("originalTerm", original);
        second->setProperty("replacementTerm", replacement);
        EXPECT_FALSE(save->isEnabled()) << original;
        // Neither a click nor the save step itself takes a blank pair; the form keeps its text.
        harness.click(save);
        QMetaObject::invokeMethod(second, "saveQuickDictionaryAdd");
        EXPECT_TRUE(viewModel->dictionary()->dictionaryEntries().isEmpty());
        EXPECT_TRUE(formOpen() && term("originalTerm") == original && term("replacementTerm") == replacement);
    }
    harness.click(item("quick-add-cancel", second));
    EXPECT_FALSE(formOpen());
    EXPECT_EQ(term("replacementTerm"), QString());
    open();
    open();  // a second press leaves the open form as it is
    EXPECT_TRUE(formOpen());
    EXPECT_EQ(term("originalTerm"), "a");

    second->setProperty("originalTerm", "  transcript 2 ");
    second->setProperty("replacementTerm", "Transcript Two\n");
    harness.click(save);
    const auto& saved = viewModel->dictionary()->dictionaryEntries();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(std::tuple(saved[0].original, saved[0].replacement, saved[0].category),
              std::tuple(QString("transcript 2"), QString("Transcript Two"), QString()));
    EXPECT_FALSE(formOpen());
    EXPECT_EQ(term("replacementTerm"), QString());
    open();
    EXPECT_EQ(term("originalTerm"), "  transcript 2 ");
    EXPECT_EQ(form("dictionaryOriginalTerm"), "half typed");
    EXPECT_EQ(state()->selectedSection(), MainWindowSection::history);
}

TEST_F(PagesViewTest, TheHeaderShowsAFailedExportAsAMessageAndClearsTheHistory) {
    seedHistory(3);
    load("history");
    // The store's export went missing before the copy.
    QTemporaryDir dir;
    auto chooser = std::make_shared<FixedPlace>();
    chooser->answer = dir.filePath("history.csv");
    fakes.history->exportAnswer.setFallback(dir.filePath("missing.csv"));
    auto* exporter = harness.root()->findChild<HistoryExporter*>("history-exporter");
    exporter->setSaveLocationChooser(chooser);

    harness.click(item("history-export-button"));
    // The copy runs off the window's thread.
    ASSERT_TRUE(!exporter->isBusy() || QSignalSpy(exporter, &HistoryExporter::busyChanged).wait());
    EXPECT_TRUE(shows("history-export-message") &&
                text("history-export-message").startsWith("The history could not be exported: "));
    harness.shoot("pages-history-export-failed-en");

    harness.click(item("history-clear-button"));
    EXPECT_TRUE(fakes.history->entries.isEmpty() && shows("history-empty"));
    EXPECT_FALSE(item("history-export-button")->isEnabled());
}

TEST_F(PagesViewTest, DictionaryListsFiltersEditsSavesAndDeletesThroughTheWindowsActions) {
    load("dictionary");
    EXPECT_TRUE(shows("saved-list-empty"));
    type("dictionary-original", " web hook ");
    type("dictionary-replacement", "WebHook");
    type("dictionary-category", "product");
    harness.click(item("dictionary-save"));
    viewModel->dictionary()->saveDictionaryEntry(std::nullopt, "api key", "API key", "");
    EXPECT_EQ(form("dictionaryOriginalTerm"), "");
    EXPECT_EQ(rows("saved-list-rows", "dictionary-pair"), (QStringList{"api key → API key", "web hook → WebHook"}));

    type("saved-list-search", "API");
    EXPECT_EQ(rows("saved-list-rows", "dictionary-pair"), QStringList{"api key → API key"});
    harness.click(item("saved-list-refresh"));
    EXPECT_EQ(text("saved-list-title"), "Saved Terms (2)");

    harness.click(item("edit-button", item("dictionary-row-1")));
    EXPECT_EQ(std::tuple(form("dictionaryOriginalTerm"), form("dictionaryCategory")),
              std::tuple(QString("web hook"), QString("product")));
    EXPECT_EQ(textsIn(item("dictionary-save")), QStringList{"Save Changes"});
    harness.shoot("pages-dictionary-editing-en");
    // Deleting another entry keeps the edit; deleting the edited one ends it.
    harness.click(item("delete-button", item("dictionary-row-0")));
    EXPECT_EQ(std::pair(form("dictionaryOriginalTerm"), textsIn(item("dictionary-save"))),
              std::pair(QString("web hook"), QStringList{"Save Changes"}));
    harness.click(item("delete-button", item("dictionary-row-0")));
    EXPECT_TRUE(viewModel->dictionary()->dictionaryEntries().isEmpty());
    EXPECT_EQ(glyphsIn(item("dictionary-save")), QStringList{"plus"});
}

TEST_F(PagesViewTest, SnippetsListFiltersEditsSavesAndDeletesThroughTheWindowsActions) {
    load("snippets", "turkish");
    // A save with both fields empty still reaches the view model, which refuses it.
    harness.click(item("snippet-save"));
    EXPECT_EQ(message(), "Snippet için ifade ve hazır metin gerekli.");
    type("snippet-phrase", "my email");
    EXPECT_TRUE(shows("expansion-placeholder"));
    type("expansion-editor", "jane@example.com");
    EXPECT_FALSE(shows("expansion-placeholder"));
    harness.click(item("snippet-save"));
    viewModel->dictionary()->saveSnippet(std::nullopt, "intro", "Hey, would love to find time to chat later.");
    EXPECT_EQ(rows("saved-list-rows", "snippet-line"),
              (QStringList{"intro → Hey, would love to find time to chat later.", "my email → jane@example.com"}));
    harness.shoot("pages-snippets-tr");

    type("saved-list-search", "JANE");
    harness.click(item("edit-button", item("snippet-row-0")));
    EXPECT_EQ(std::tuple(form("snippetPhrase"), form("snippetExpansion")),
              std::tuple(QString("my email"), QString("jane@example.com")));
    EXPECT_EQ(textsIn(item("snippet-save")), QStringList{"Snippet Kaydet"});
    harness.click(item("delete-button", item("snippet-row-0")));
    EXPECT_EQ(viewModel->dictionary()->snippets().size(), 1);
    EXPECT_EQ(form("snippetExpansion"), "");
}

}  // namespace
}  // namespace quorvelle::test
