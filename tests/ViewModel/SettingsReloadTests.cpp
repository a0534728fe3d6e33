#include "ViewModelTestSupport.h"

#include <QMetaProperty>
#include <QSignalSpy>

#include <map>

namespace quorvelle::test {
namespace {

using SettingsReload = ViewModelTest;

// One spy per notifying property of the root and of every part, keyed "part.property".
std::map<std::string, std::unique_ptr<QSignalSpy>> spyOnEveryProperty(AppViewModel& vm) {
    std::map<std::string, std::unique_ptr<QSignalSpy>> spies;
    const QList<QObject*> objects{&vm,          vm.session(),     vm.preferences(), vm.dictionary(), vm.permissions(),
                                  vm.account(), vm.localModels(), vm.history(),     vm.diagnostics()};
    for (QObject* object : objects) {
        const QMetaObject* meta = object->metaObject();
        for (int index = meta->propertyOffset(); index < meta->propertyCount(); ++index) {
            const QMetaProperty property = meta->property(index);
            if (!property.hasNotifySignal()) continue;
            const std::string name = std::string(meta->className()) + "." + property.name();
            spies[name] = std::make_unique<QSignalSpy>(object, property.notifySignal());
        }
    }
    return spies;
}

TEST_F(SettingsReload, NotifiesEveryReloadedPropertyEvenWhenNothingChanged) {
    AppViewModel& vm = make();
    settle();
    auto spies = spyOnEveryProperty(vm);
    vm.reloadSettings();

    // Written by operations only, never by a reload.
    const std::set<std::string> untouched{
        "quorvelle::AppViewModel.inlineMessage",
        "quorvelle::SessionViewModel.runtimeState",
        "quorvelle::SessionViewModel.lastCaptureSummary",
        "quorvelle::SessionViewModel.focusedTarget",
        "quorvelle::SessionViewModel.transcriptionTelemetry",
        "quorvelle::PermissionsViewModel.showingGroqDisclosureSheet",
        "quorvelle::PermissionsViewModel.showingPrivacyDisclosureSheet",
        "quorvelle::AccountViewModel.backendAuthChallenge",
        "quorvelle::AccountViewModel.isBackendAuthPolling",
        "quorvelle::AccountViewModel.canCheckForUpdates",
        "quorvelle::AccountViewModel.releaseNotesState",
        "quorvelle::LocalModelsViewModel.lastLocalRuntimeError",
        "quorvelle::LocalModelsViewModel.lastLocalSegmentCount",
        "quorvelle::LocalModelsViewModel.lastLocalNoSpeechProbability",
        "quorvelle::LocalModelsViewModel.lastLocalDetectedLanguage",
    };
    EXPECT_GE(spies.size(), 40u);
    for (const auto& [name, spy] : spies) {
        if (untouched.count(name) != 0)
            EXPECT_EQ(spy->count(), 0) << name;
        else
            EXPECT_GE(spy->count(), 1) << name;
    }
}

TEST_F(SettingsReload, ReadsChangesBackAndDropsAnUnsavedDraft) {
    AppViewModel& vm = make();
    vm.preferences()->setCustomInstructionsDraft(QStringLiteral("unsaved"));
    storeString(SettingsKeys::customInstructions, QStringLiteral(" saved \n"));
    storeString(SettingsKeys::selectedAppLanguage, QStringLiteral("turkish"));
    fakes.startAtLogin->status = StartAtLoginStatus::requiresApproval;
    fakes.history->entries = {TranscriptHistoryEntry{QUuid::createUuid(), fakes.clock.now(), "a b c", 60, 3,
                                                     TranscriptHistoryCompletionKind::inserted}};
    QSignalSpy strings(&vm, &AppViewModel::stringsChanged);
    vm.reloadSettings();
    EXPECT_EQ(vm.preferences()->customInstructionsDraft(), QStringLiteral("saved"));
    EXPECT_EQ(vm.preferences()->startAtLoginStatus(), StartAtLoginStatus::requiresApproval);
    EXPECT_EQ(vm.languageCode(), QStringLiteral("tr"));
    EXPECT_EQ(strings.count(), 1);
    EXPECT_EQ(vm.history()->overviewMetrics(), (OverviewMetricsSnapshot{3, 60, 1, 3}));
}

TEST_F(SettingsReload, TheSystemLanguageFollowsTheLocaleLanguageOnly) {
    const QLocale before;
    struct Row {
        QLocale locale;
        const char* expected;
    };
    for (const Row& row :
         {Row{QLocale(QLocale::Turkish, QLocale::Turkey), "tr"}, Row{QLocale(QLocale::English, QLocale::Turkey), "en"},
          Row{QLocale(QLocale::German, QLocale::Germany), "en"}}) {
        QLocale::setDefault(row.locale);
        EXPECT_EQ(make().strings().languageCode(), QLatin1String(row.expected)) << row.locale.name().toStdString();
    }
    QLocale::setDefault(before);
}

}  // namespace
}  // namespace quorvelle::test
