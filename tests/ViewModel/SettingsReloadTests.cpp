#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using SettingsReload = ViewModelTest;

TEST_F(SettingsReload, ReadsChangesBackAndDropsAnUnsavedDraft) {
    AppViewModel& vm = make();
    vm.preferences()->setCustomInstructionsDraft(QStringLiteral("unsaved"));
    // Cut to their limit, then trimmed.
    storeString(SettingsKeys::customInstructions, QStringLiteral("  ") + QString(1998, u'a') + QString(500, u'b'));
    storeString(SettingsKeys::selectedAppLanguage, QStringLiteral("turkish"));
    storeString(SettingsKeys::selectedDesktopTheme, QStringLiteral("light"));
    storeString(SettingsKeys::selectedTranscriptionBackend, QStringLiteral("local"));
    storeString(SettingsKeys::selectedTranscriptionLanguage, QStringLiteral("xx"));  // no such language
    fakes.startAtLogin->status = StartAtLoginStatus::requiresApproval;
    fakes.history->entries = {TranscriptHistoryEntry{QUuid::createUuid(), fakes.clock.now(), "a b c", 60, 3,
                                                     TranscriptHistoryCompletionKind::inserted}};
    QSignalSpy strings(&vm, &AppViewModel::stringsChanged);
    vm.reloadSettings();
    EXPECT_EQ(vm.preferences()->customInstructionsDraft(), QString(1998, u'a'));
    EXPECT_EQ(vm.preferences()->savedCustomInstructions(), QString(1998, u'a'));
    EXPECT_EQ(vm.preferences()->startAtLoginStatus(), StartAtLoginStatus::requiresApproval);
    EXPECT_EQ(vm.languageCode(), QStringLiteral("tr"));
    EXPECT_EQ(vm.preferences()->selectedDesktopTheme(), DesktopThemeOption::light);
    EXPECT_EQ(vm.localModels()->selectedTranscriptionBackend(), TranscriptionBackend::local);
    EXPECT_EQ(vm.preferences()->selectedTranscriptionLanguage(), TranscriptionLanguageOption::automatic());
    EXPECT_EQ(strings.count(), 1);
    EXPECT_EQ(vm.history()->overviewMetrics(), (OverviewMetricsSnapshot{3, 60, 1, 3}));
}

}  // namespace
}  // namespace quorvelle::test
