// The release-notes page over the view model built from fakes: it loads on coming on screen only
// when there is nothing to show, and shows loading, failure, an empty list or the timeline.
#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewHarness.h"
#include "ViewModel/AccountViewModel.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/MainWindowState.h"
#include "Views/Dashboard/Pages/ReleaseNoteTexts.h"

#include <gtest/gtest.h>

#include <QQmlContext>

#include <memory>
#include <stdexcept>

namespace quorvelle::test {
namespace {

ReleaseNoteEntry release(const QString& version, std::optional<QString> summary,
                         QList<ReleaseNoteCategory> categories) {
    return {"id-" + version,
            version,
            "4711",
            "stable",
            QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC),
            std::move(summary),
            std::move(categories)};
}

class ChangelogPageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage), "english");
        viewModel = std::make_unique<AppViewModel>(fakes.bootstrap(), fakes.environment());
        windowState.setViewModel(viewModel.get());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), viewModel.get());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("ws"), &windowState);
        harness.setTheme(Theme::Quorvelle);
    }
    // Opens the page anew, as a visit to the section does.
    void open() {
        ASSERT_TRUE(harness.load(
            QStringLiteral("ChangelogPage { x: 24; y: 24; width: 880; viewModel: vm; windowState: ws }"), {928, 900}));
    }
    void settle() {
        for (int turn = 0; turn < 6; ++turn)
            QCoreApplication::processEvents();
    }
    bool shows(const QString& name) {
        QQuickItem* found = harness.find(name);
        return found && found->isVisible();
    }
    QStringList texts(const QString& name) {
        QQuickItem* found = harness.find(name);
        if (!found) throw std::runtime_error("missing " + name.toStdString());
        return textsIn(found);
    }
    ReleaseNotesLoadState::Kind state() const { return viewModel->account()->releaseNotesState().kind; }

    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;
    MainWindowState windowState;
    ViewHarness harness;
};

TEST_F(ChangelogPageViewTest, OpeningLoadsOnceShowsLoadingThenTheTimeline) {
    fakes.releaseNotes->held.setHolding(true);
    fakes.releaseNotes->answer.push(
        {release("1.4.0", "Faster local models.",
                 {{"Added", {"Large v3", "Turkish release notes"}}, {"improved", {"Startup"}}, {"Changed", {}}}),
         release("1.3.0", QString(), {})});
    open();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages, QStringList{"en"});
    EXPECT_TRUE(shows("changelog-loading"));
    EXPECT_FALSE(shows("changelog-timeline"));
    // A second visit while the load runs starts no other.
    open();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages.size(), 1);
    harness.shoot("changelog-loading-en");

    fakes.releaseNotes->held.releaseAll();
    settle();
    ASSERT_EQ(state(), ReleaseNotesLoadState::Kind::loaded);
    EXPECT_FALSE(shows("changelog-loading"));
    const QString date = ReleaseNoteTexts::releaseDate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC), "en");
    EXPECT_EQ(texts("changelog-entry-id-1.4.0"),
              (QStringList{"v1.4.0", "stable", date, "Faster local models.", "ADDED", "-", "Large v3", "-",
                           "Turkish release notes", "IMPROVED", "-", "Startup", "CHANGED"}));
    // No summary line for an absent summary, and the build number is never shown.
    EXPECT_EQ(texts("changelog-entry-id-1.3.0"), (QStringList{"v1.3.0", "stable", date}));
    EXPECT_FALSE(texts("changelog-timeline").join(' ').contains("4711"));
    for (Theme theme : kAllThemes) {
        harness.setTheme(theme);
        harness.shoot("changelog-timeline-en-" + nameOf(theme));
    }

    // Loaded: a new visit does not load again; Refresh does.
    open();
    settle();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages.size(), 1);
    harness.click(harness.find("changelog-refresh"));
    settle();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages.size(), 2);
}

TEST_F(ChangelogPageViewTest, AFailedLoadIsRetriedOnEveryVisitAndAnEmptyListSaysSo) {
    fakes.releaseNotes->answer.pushFailure(std::runtime_error("offline"));
    open();
    settle();
    ASSERT_EQ(state(), ReleaseNotesLoadState::Kind::failed);
    EXPECT_TRUE(shows("changelog-failed"));
    EXPECT_EQ(texts("changelog-failed"),
              (QStringList{"Release notes are unavailable.",
                           "Check the web page or try again after the release API is reachable."}));
    harness.shoot("changelog-failed-en");
    harness.click(harness.find("changelog-open-web"));
    EXPECT_EQ(fakes.navigator->opened.size(), 1);

    open();
    settle();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages.size(), 2);
    ASSERT_EQ(state(), ReleaseNotesLoadState::Kind::loaded);
    EXPECT_TRUE(shows("changelog-empty"));
    EXPECT_FALSE(shows("changelog-timeline"));
    open();
    settle();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages.size(), 2);
}

TEST_F(ChangelogPageViewTest, TurkishTextsHeadingsAndDates) {
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage), "turkish");
    viewModel->reloadSettings();
    fakes.releaseNotes->answer.push({release("2.0.0", "Özet", {{"Fixed", {"Çökme"}}, {"misc", {"i"}}})});
    open();
    settle();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages, QStringList{"tr"});
    const QString date = ReleaseNoteTexts::releaseDate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC), "tr");
    EXPECT_EQ(date, "5 Mar 2026");
    EXPECT_EQ(texts("changelog-entry-id-2.0.0"),
              (QStringList{"v2.0.0", "stable", date, "Özet", "DÜZELTİLDİ", "-", "Çökme", "MISC", "-", "i"}));
    EXPECT_TRUE(textsIn(harness.root()).contains("Stable sürüm zaman çizelgesi"));
    harness.shoot("changelog-timeline-tr");
}

}  // namespace
}  // namespace quorvelle::test
