// The dashboard window's own state and page actions, over the view model built from fakes; the
// sidebar's build identity and the window's fit to small screens.
#include "FakeBootstrap.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/Components/AppIdentityStatus.h"
#include "Views/Dashboard/MainWindowState.h"
#include "Views/Dashboard/ScreenFit.h"
#include "Views/Dashboard/SidebarIdentity.h"

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
    // Sets (when given) and reads the dictionary form's fields, or the snippet form's.
    QStringList form(const QStringList& values = {}, bool snippet = false) {
        const QList<const char*> fields =
            snippet ? QList{"snippetPhrase", "snippetExpansion"}
                    : QList{"dictionaryOriginalTerm", "dictionaryReplacement", "dictionaryCategory"};
        QStringList result;
        for (const char* field : fields) {
            if (!values.isEmpty()) state.setProperty(field, values.value(int(result.size())));
            result << state.property(field).toString();
        }
        return result;
    }
    const QList<DictionaryReplacementEntry>& entries() const { return viewModel->dictionary()->dictionaryEntries(); }
};

TEST_F(MainWindowStateTest, SavesClearTheFormOnlyWhenBothTrimmedFieldsArePresentAndAnEditReplaces) {
    make();
    // A refused save keeps what was typed.
    for (const QStringList& typed : {QStringList{"   ", "WebHook", "tech"}, QStringList{"web hook", " \n ", ""}}) {
        form(typed);
        state.saveDictionaryEntry();
        EXPECT_EQ(form(), typed);
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
    form({"my address", "  "}, true);
    state.saveSnippet();
    EXPECT_EQ(form({}, true), (QStringList{"my address", "  "}));
    state.setProperty("snippetExpansion", "Main Street 1");
    state.saveSnippet();
    EXPECT_EQ(form({}, true), (QStringList{"", ""}));
    EXPECT_EQ(std::pair(viewModel->dictionary()->snippets().size(), state.property("snippetSearch").toString()),
              std::pair(qsizetype(1), QString("mail")));
}

TEST_F(MainWindowStateTest, SignedOutTheHistoryLinkLeadsToTheLockUnlessThereIsNoAccountService) {
    make(/*signedIn=*/false);
    // The overview's link leads to the history behind the lock; its actions wait for the sign-in.
    state.viewFullHistory();
    EXPECT_TRUE(state.isSignedOut() && state.isPageLocked());
    EXPECT_FALSE(state.showsHistoryActions());

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

TEST(SidebarIdentityTexts, NameTheProfileBuildAndAddresses) {
    const auto texts = [](const QProcessEnvironment& environment, const BuildKeys& keys, bool testRun) {
        return SidebarIdentity::texts(AppConfiguration(environment, keys, testRun), keys.shortVersion);
    };
    const auto production = texts({}, {{}, {}, "2.3.1", "42"}, false);
    EXPECT_EQ(production.badgeStatus, static_cast<int>(AppIdentityStatus::Production));
    EXPECT_EQ(production.helpText,
              "Version: v2.3.1\nBuild: 42\nProfile: Production\nConfiguration: Release\n"
              "Web: https://quorvelle.app\nAPI: https://api.quorvelle.app");
    // A build that wrote no version or number.
    const auto bare = texts({}, {}, true);
    EXPECT_EQ(std::pair(bare.versionLabel, bare.badgeLabel),
              std::pair(QString("v1.0.0"), QString("Local \u2022 Release \u2022 Build 0")));
    EXPECT_EQ(bare.badgeStatus, static_cast<int>(AppIdentityStatus::Local));

    QProcessEnvironment custom;
    custom.insert(QStringLiteral("QUORVELLE_BACKEND_BASE_URL"), QStringLiteral("  https://api.example.test \n"));
    const auto other = texts(custom, {}, false);
    EXPECT_EQ(other.badgeStatus, static_cast<int>(AppIdentityStatus::Custom));
    EXPECT_TRUE(other.helpText.endsWith("\nAPI: https://api.example.test")) << other.helpText.toStdString();
}

TEST(ScreenFitGeometry, KeepsTheDesignedSizeWhereItFitsAndShrinksOntoASmallerScreen) {
    const std::tuple<QRect, QRect, QRect> cases[] = {
        {{100, 100, 1272, 860}, {0, 0, 1920, 1080}, {100, 100, 1272, 860}},
        // 1366 x 768 with a 28-high panel at the top: lower, and moved in past the right edge.
        {{100, 0, 1272, 860}, {0, 28, 1366, 740}, {94, 28, 1272, 740}},
        {{-40, 10, 1272, 860}, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
    };
    for (const auto& [frameGeometry, available, expected] : cases)
        EXPECT_EQ(ScreenFit::fitted(frameGeometry, {1, 24, 1, 1}, {1270, 835}, available), expected)
            << available.width();
}

}  // namespace
}  // namespace quorvelle::test
