#include "ViewModelTestSupport.h"

#include <QMetaProperty>

#include <map>

namespace quorvelle::test {
namespace {

using SettingsReload = ViewModelTest;

TEST_F(SettingsReload, NotifiesEveryReloadedPropertyEvenWhenNothingChanged) {
    AppViewModel& vm = make();
    settle();
    // One spy per notifying property of the root and of every part, keyed "Part.property".
    std::map<QString, std::unique_ptr<QSignalSpy>> spies;
    for (QObject* part : QList<QObject*>{&vm, vm.session(), vm.preferences(), vm.dictionary(), vm.permissions(),
                                         vm.account(), vm.localModels(), vm.history(), vm.diagnostics()}) {
        const QMetaObject* meta = part->metaObject();
        for (int index = meta->propertyOffset(); index < meta->propertyCount(); ++index) {
            const QMetaProperty property = meta->property(index);
            const QString name = QString::fromLatin1(meta->className()).section(u':', -1) + u'.' + property.name();
            if (property.hasNotifySignal()) spies[name] = std::make_unique<QSignalSpy>(part, property.notifySignal());
        }
    }
    vm.reloadSettings();

    // Written by operations only, never by a reload.
    const QStringList untouched =
        QStringLiteral(
            "AppViewModel.inlineMessage SessionViewModel.runtimeState SessionViewModel.lastCaptureSummary "
            "SessionViewModel.focusedTarget SessionViewModel.transcriptionTelemetry "
            "PermissionsViewModel.showingGroqDisclosureSheet PermissionsViewModel.showingPrivacyDisclosureSheet "
            "AccountViewModel.backendAuthChallenge AccountViewModel.isBackendAuthPolling "
            "AccountViewModel.canCheckForUpdates AccountViewModel.releaseNotesState "
            "LocalModelsViewModel.lastLocalRuntimeError LocalModelsViewModel.lastLocalSegmentCount "
            "LocalModelsViewModel.lastLocalNoSpeechProbability LocalModelsViewModel.lastLocalDetectedLanguage")
            .split(u' ');
    EXPECT_GE(spies.size(), 40u);
    for (const auto& [name, spy] : spies)
        EXPECT_EQ(spy->count() > 0, !untouched.contains(name)) << name.toStdString();
}

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
