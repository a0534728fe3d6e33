// The dashboard window's own state and page actions, over the view model built from fakes.
#include "FakeBootstrap.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/MainWindowState.h"

#include <gtest/gtest.h>

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
    // Sets (when given) and reads the named form fields.
    QStringList form(std::initializer_list<const char*> fields, const QStringList& values = {}) {
        QStringList result;
        for (const char* field : fields) {
            if (!values.isEmpty()) state.setProperty(field, values.value(int(result.size())));
            result << state.property(field).toString();
        }
        return result;
    }
    QStringList dictionaryForm(const QStringList& values = {}) {
        return form({"dictionaryOriginalTerm", "dictionaryReplacement", "dictionaryCategory"}, values);
    }
    QStringList snippetForm(const QStringList& values = {}) {
        return form({"snippetPhrase", "snippetExpansion"}, values);
    }
    const QList<DictionaryReplacementEntry>& entries() const { return viewModel->dictionary()->dictionaryEntries(); }
};

TEST_F(MainWindowStateTest, SavesClearTheFormOnlyWhenBothTrimmedFieldsArePresentAndAnEditReplaces) {
    make();
    // A refused save keeps what was typed.
    for (const QStringList& typed : {QStringList{"   ", "WebHook", "tech"}, QStringList{"web hook", " \n ", ""}}) {
        dictionaryForm(typed);
        state.saveDictionaryEntry();
        EXPECT_EQ(dictionaryForm(), typed);
    }
    // Editing hands the id on: the entry is replaced, not added, and the form ends editing.
    viewModel->dictionary()->saveDictionaryEntry(std::nullopt, "web hook", "WebHook", "");
    const DictionaryReplacementEntry saved = entries().first();
    state.editDictionaryEntry(saved.id, saved.original, saved.replacement, saved.category);
    state.setProperty("dictionaryOriginalTerm", "webhooks");
    state.saveDictionaryEntry();
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(std::pair(entries().first().id, entries().first().original), std::pair(saved.id, QString("webhooks")));
    EXPECT_FALSE(state.editingDictionaryEntryID());

    // The snippet form likewise, and its search is never touched.
    state.setProperty("snippetSearch", "mail");
    snippetForm({"my address", "  "});
    state.saveSnippet();
    EXPECT_EQ(snippetForm(), (QStringList{"my address", "  "}));
    state.setProperty("snippetExpansion", "Main Street 1");
    state.saveSnippet();
    EXPECT_EQ(snippetForm(), (QStringList{"", ""}));
    EXPECT_EQ(std::pair(viewModel->dictionary()->snippets().size(), state.property("snippetSearch").toString()),
              std::pair(qsizetype(1), QString("mail")));
}

TEST_F(MainWindowStateTest, DeletingAnotherEntryKeepsTheEditAndDeletingTheEditedOneEndsIt) {
    make();
    viewModel->dictionary()->saveDictionaryEntry(std::nullopt, "one", "1", "");
    viewModel->dictionary()->saveDictionaryEntry(std::nullopt, "two", "2", "");
    const auto two = entries().at(0), one = entries().at(1);
    state.editDictionaryEntry(two.id, two.original, "half typed", "");
    EXPECT_EQ(state.selectedSection(), MainWindowSection::dictionary);
    state.deleteDictionaryEntry(one.id.toString());
    EXPECT_EQ(dictionaryForm(), (QStringList{"two", "half typed", ""}));
    EXPECT_EQ(state.editingDictionaryEntryID(), two.id);
    state.deleteDictionaryEntry(two.id.toString());
    EXPECT_EQ(dictionaryForm(), (QStringList{"", "", ""}));
    EXPECT_FALSE(state.editingDictionaryEntryID());
}

TEST_F(MainWindowStateTest, SignedOutTheHistoryLinkLeadsToTheLockAndNoHistoryActions) {
    make(/*signedIn=*/false);
    ASSERT_TRUE(state.isSignedOut());
    EXPECT_EQ(state.pageSubtitle(), viewModel->accountCopy().accountRequiredMessage());
    // The overview's link leads to the history behind the lock; its actions wait for the sign-in.
    state.viewFullHistory();
    EXPECT_TRUE(state.isPageLocked());
    EXPECT_FALSE(state.showsHistoryActions());
}

TEST_F(MainWindowStateTest, WithoutAnAccountServiceNothingLocksAndTitlesFollowTheLanguage) {
    fakes.userDefaults->setString(QStringLiteral("quorvelle.selectedAppLanguage"), QStringLiteral("turkish"));
    make(/*signedIn=*/false, /*withAccountService=*/false);
    state.selectSection("history");
    EXPECT_FALSE(state.isPageLocked());
    EXPECT_EQ(state.pageTitle(), QString::fromUtf8("Geçmiş"));
    EXPECT_TRUE(state.showsHistoryActions());
    // Only raw names select a section.
    state.selectSection("Settings");
    EXPECT_EQ(state.selectedSection(), MainWindowSection::history);
}

}  // namespace
}  // namespace quorvelle::test
