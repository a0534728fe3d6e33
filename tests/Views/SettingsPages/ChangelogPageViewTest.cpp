// The release-notes page: when a visit loads, and the loading, failed, empty and loaded states.
#include "../Dashboard/ViewModelScene.h"
#include "ViewModel/AccountViewModel.h"

namespace quorvelle::test {
namespace {

const QDateTime kReleased(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC);

ReleaseNoteEntry release(const QString& version, std::optional<QString> summary,
                         QList<ReleaseNoteCategory> categories) {
    return {"id-" + version, version, "4711", "stable", kReleased, std::move(summary), std::move(categories)};
}

class ChangelogPageViewTest : public ViewModelScene {
protected:
    // Opens the page anew, as a visit to the section does, on the one view model.
    void open(const char* language = "english") {
        const QString page =
            QStringLiteral("ChangelogPage { x: 24; y: 24; width: 880; viewModel: vm; windowState: ws }");
        harness.setTheme(Theme::Quorvelle);
        ASSERT_TRUE(viewModel ? harness.load(page, {928, 900}) : load(page, {928, 900}, language));
        settle();
    }
    QStringList texts(const QString& name) { return textsIn(item(name)); }
    ReleaseNotesLoadState::Kind state() const { return viewModel->account()->releaseNotesState().kind; }
    qsizetype requests() const { return fakes.releaseNotes->requestedLanguages.size(); }
};

TEST_F(ChangelogPageViewTest, AVisitLoadsOnlyWhenThereIsNothingToShowAndEachStateShows) {
    fakes.releaseNotes->answer.pushFailure(std::runtime_error("offline"));
    fakes.releaseNotes->answer.push(
        {release("1.4.0", "Faster local models.",
                 {{"Added", {"Large v3", "Turkish release notes"}}, {"improved", {"Startup"}}, {"Changed", {}}}),
         release("1.3.0", QString(), {})});
    open("turkish");
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages, QStringList{"tr"});
    ASSERT_EQ(state(), ReleaseNotesLoadState::Kind::failed);
    EXPECT_TRUE(shows("changelog-failed"));
    harness.shoot("changelog-failed-tr");
    harness.click(item("changelog-open-web"));
    EXPECT_EQ(fakes.navigator->opened.size(), 1);

    // A failed load is retried on the next visit; a visit while it runs starts no other.
    fakes.releaseNotes->held.setHolding(true);
    open();
    EXPECT_TRUE(shows("changelog-loading"));
    EXPECT_FALSE(shows("changelog-timeline"));
    open();
    EXPECT_EQ(requests(), 2);
    harness.shoot("changelog-loading-tr");
    fakes.releaseNotes->held.setHolding(false);
    fakes.releaseNotes->held.releaseAll();
    settle();
    ASSERT_EQ(state(), ReleaseNotesLoadState::Kind::loaded);
    // A heading the app does not know is upper-cased without the Turkish dotted İ.
    EXPECT_EQ(texts("changelog-entry-id-1.4.0"),
              (QStringList{"v1.4.0", "stable", "5 Mar 2026", "Faster local models.", "EKLENDİ", "-", "Large v3", "-",
                           "Turkish release notes", "IMPROVED", "-", "Startup", "DEĞİŞTİ"}));
    // No summary line for an absent summary, and the build number is never shown.
    EXPECT_EQ(texts("changelog-entry-id-1.3.0"), (QStringList{"v1.3.0", "stable", "5 Mar 2026"}));
    EXPECT_FALSE(texts("changelog-timeline").join(' ').contains("4711"));
    harness.shoot("changelog-timeline-tr");

    // Loaded: a new visit does not load again; Refresh does, and an empty list says so.
    open();
    EXPECT_EQ(requests(), 2);
    harness.click(item("changelog-refresh"));
    settle();
    EXPECT_EQ(requests(), 3);
    EXPECT_TRUE(shows("changelog-empty"));
}

}  // namespace
}  // namespace quorvelle::test
