// The dashboard window's own state and page actions, over the view model built from fakes.
#include "FakeBootstrap.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/MainWindowState.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <memory>

namespace quorvelle::test {
namespace {

class MainWindowStateTest : public ::testing::Test {
protected:
    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;
    MainWindowState state;

    void make(bool signedIn = true, bool withAccountService = true) {
        if (signedIn) fakes.makeReadyForCloudDictation();
        AppBootstrap services = fakes.bootstrap();
        if (!withAccountService) services.backendAuthSessionManager = nullptr;
        viewModel = std::make_unique<AppViewModel>(services, fakes.environment());
        state.setViewModel(viewModel.get());
    }

    void typeDictionary(const QString& original, const QString& replacement, const QString& category) {
        state.setProperty("dictionaryOriginalTerm", original);
        state.setProperty("dictionaryReplacement", replacement);
        state.setProperty("dictionaryCategory", category);
    }
    QStringList dictionaryForm() const {
        return {state.property("dictionaryOriginalTerm").toString(), state.property("dictionaryReplacement").toString(),
                state.property("dictionaryCategory").toString()};
    }
    QStringList snippetForm() const {
        return {state.property("snippetPhrase").toString(), state.property("snippetExpansion").toString()};
    }
    const QList<DictionaryReplacementEntry>& entries() const { return viewModel->dictionary()->dictionaryEntries(); }
    const QList<VoiceSnippet>& snippets() const { return viewModel->dictionary()->snippets(); }
};

TEST_F(MainWindowStateTest, DictionarySaveClearsTheFormOnlyWhenBothTrimmedTermsArePresent) {
    make();
    struct Case {
        QString original, replacement, category;
        bool cleared;
    };
    const Case cases[] = {
        {"   ", "WebHook", "tech", false},
        {"web hook", " \n ", "", false},
        {" web hook ", "WebHook", "   ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.original.toStdString() + "|" + c.replacement.toStdString());
        typeDictionary(c.original, c.replacement, c.category);
        state.saveDictionaryEntry();
        const QStringList expected =
            c.cleared ? QStringList{"", "", ""} : QStringList{c.original, c.replacement, c.category};
        EXPECT_EQ(dictionaryForm(), expected);
    }
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries().first().original, "web hook");

    // Editing hands the id on: the entry is replaced, not added, and the form ends editing.
    const DictionaryReplacementEntry saved = entries().first();
    state.editDictionaryEntry(saved.id, saved.original, saved.replacement, saved.category);
    state.setProperty("dictionaryOriginalTerm", "webhooks");
    state.saveDictionaryEntry();
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries().first().id, saved.id);
    EXPECT_EQ(entries().first().original, "webhooks");
    EXPECT_FALSE(state.editingDictionaryEntryID());
}

TEST_F(MainWindowStateTest, SnippetSaveKeepsARefusedFormAndNeverTouchesTheSearch) {
    make();
    state.setProperty("snippetSearch", "mail");
    state.setProperty("snippetPhrase", "my address");
    state.setProperty("snippetExpansion", "  ");
    state.saveSnippet();
    EXPECT_EQ(snippetForm(), (QStringList{"my address", "  "}));
    EXPECT_TRUE(snippets().isEmpty());

    state.setProperty("snippetExpansion", "Main Street 1");
    state.saveSnippet();
    EXPECT_EQ(snippetForm(), (QStringList{"", ""}));
    ASSERT_EQ(snippets().size(), 1);
    EXPECT_EQ(state.property("snippetSearch").toString(), "mail");
}

TEST_F(MainWindowStateTest, EditingOpensTheSectionAndDeletingTheEditedItemEndsEditing) {
    make();
    viewModel->dictionary()->saveDictionaryEntry(std::nullopt, "one", "1", "");
    viewModel->dictionary()->saveDictionaryEntry(std::nullopt, "two", "2", "");
    viewModel->dictionary()->saveSnippet(std::nullopt, "hi", "Hello");
    viewModel->dictionary()->saveSnippet(std::nullopt, "bye", "Goodbye");
    const auto two = entries().at(0), one = entries().at(1);
    const auto bye = snippets().at(0), hi = snippets().at(1);

    typeDictionary("typed", "before", "editing");
    state.editDictionaryEntry(two.id, two.original, "half typed", "");
    EXPECT_EQ(state.selectedSection(), MainWindowSection::dictionary);
    state.deleteDictionaryEntry(one.id.toString());
    EXPECT_EQ(dictionaryForm(), (QStringList{"two", "half typed", ""}));
    EXPECT_EQ(state.editingDictionaryEntryID(), two.id);
    state.deleteDictionaryEntry(two.id.toString());
    EXPECT_EQ(dictionaryForm(), (QStringList{"", "", ""}));
    EXPECT_FALSE(state.editingDictionaryEntryID());
    EXPECT_TRUE(entries().isEmpty());

    state.editSnippet(bye.id.toString(QUuid::WithoutBraces), bye.phrase, "Goodb");
    EXPECT_EQ(state.selectedSection(), MainWindowSection::snippets);
    EXPECT_EQ(state.editingSnippetID(), bye.id);
    state.deleteSnippet(hi.id);
    EXPECT_EQ(snippetForm(), (QStringList{"bye", "Goodb"}));
    state.deleteSnippet(bye.id);
    EXPECT_EQ(snippetForm(), (QStringList{"", ""}));
    EXPECT_FALSE(state.editingSnippetID());
    EXPECT_TRUE(snippets().isEmpty());
    EXPECT_EQ(viewModel->inlineMessageText(), "Snippet deleted.");
}

TEST_F(MainWindowStateTest, HistoryQuickAddLeavesTheFormAndTheSectionAlone) {
    make();
    const QUuid editing = QUuid::createUuid();
    state.editDictionaryEntry(editing, "draft", "Draft", "notes");
    state.selectSection("overview");

    state.saveHistoryTermToDictionary(" kube ", "Kubernetes");
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries().first().original, "kube");
    EXPECT_EQ(entries().first().category, "");
    EXPECT_EQ(dictionaryForm(), (QStringList{"draft", "Draft", "notes"}));
    EXPECT_EQ(state.editingDictionaryEntryID(), editing);
    EXPECT_EQ(state.selectedSection(), MainWindowSection::overview);
}

TEST_F(MainWindowStateTest, SignedOutTheSidebarIsInertAndOnlyAccountAndReleaseNotesAreUnlocked) {
    make(/*signedIn=*/false);
    ASSERT_TRUE(state.isSignedOut());
    state.selectSection("settings");
    EXPECT_EQ(state.selectedSection(), MainWindowSection::overview);
    EXPECT_EQ(state.pageSymbol(), "person.crop.circle.badge.exclamationmark");
    EXPECT_EQ(state.pageSubtitle(), viewModel->accountCopy().accountRequiredMessage());

    // The account shortcut skips the lock test.
    state.showAccount();
    EXPECT_EQ(state.pageSymbol(), "creditcard");

    // The overview's link skips the lock too; the history actions wait for the sign-in.
    state.viewFullHistory();
    EXPECT_TRUE(state.isPageLocked());
    EXPECT_FALSE(state.showsHistoryActions());
}

TEST_F(MainWindowStateTest, WithoutAnAccountServiceNothingLocksAndTitlesFollowTheLanguage) {
    fakes.userDefaults->setString(QStringLiteral("quorvelle.selectedAppLanguage"), QStringLiteral("turkish"));
    make(/*signedIn=*/false, /*withAccountService=*/false);
    const std::pair<const char*, const char*> titles[] = {
        {"instructions", "Custom Instructions"}, {"appearance", "Görünüm"}, {"history", "Geçmiş"}};
    for (const auto& [section, title] : titles) {
        state.selectSection(section);
        EXPECT_FALSE(state.isPageLocked()) << section;
        EXPECT_EQ(state.pageTitle(), QString::fromUtf8(title)) << section;
    }
    EXPECT_TRUE(state.showsHistoryActions());
    state.selectSection("Settings");
    EXPECT_EQ(state.selectedSection(), MainWindowSection::history);
}

}  // namespace
}  // namespace quorvelle::test
