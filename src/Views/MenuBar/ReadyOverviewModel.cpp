#include "Views/MenuBar/ReadyOverviewModel.h"

#include "ViewModel/AppViewModel.h"
#include "Views/MenuBar/ReadyOverviewRows.h"

#include <QMetaProperty>
#include <QVariantMap>

namespace quorvelle {

void ReadyOverviewModel::observe(AppViewModel& viewModel) {
    // Every published value but the level: the account row also follows the stored session, which
    // has no signal of its own and changes along with the values the reload publishes.
    const QMetaMethod changedSignal = QMetaMethod::fromSignal(&ReadyOverviewModel::changed);
    for (QObject* part : std::initializer_list<QObject*>{&viewModel, viewModel.session(), viewModel.preferences(),
                                                         viewModel.permissions(), viewModel.account(),
                                                         viewModel.localModels(), viewModel.diagnostics()}) {
        const QMetaObject* meta = part->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (property.hasNotifySignal() && qstrcmp(property.name(), "audioLevelSnapshot") != 0)
                connect(part, property.notifySignal(), this, changedSignal);
        }
    }
}

QVariantList ReadyOverviewModel::rows() const {
    const AppViewModel* vm = viewModel();
    if (!vm) return {};
    const SessionViewModel& session = *vm->session();
    const PreferencesViewModel& preferences = *vm->preferences();
    const LocalModelsViewModel& localModels = *vm->localModels();
    const ReadyOverviewInputs inputs{.strings = vm->strings(),
                                     .selectedTranscriptionBackend = localModels.selectedTranscriptionBackend(),
                                     .accountStatusLabel = vm->accountCopy().accountStatusLabel(),
                                     .localRuntimeStatusLabel = localModels.localModelCopy().runtimeStatusLabel(),
                                     .selectedLocalModelID = localModels.selectedLocalModelID(),
                                     .selectedHotkey = preferences.selectedHotkey(),
                                     .selectedRecordingTriggerMode = preferences.selectedRecordingTriggerMode(),
                                     .isHotkeyMonitoringActive = session.isHotkeyMonitoringActive(),
                                     .runtimeState = session.runtimeState(),
                                     .focusedTarget = session.focusedTarget(),
                                     .lastCaptureSummary = session.lastCaptureSummary(),
                                     .transcriptionTelemetry = session.transcriptionTelemetry(),
                                     .diagnosticsSnapshot = vm->diagnostics()->diagnosticsSnapshot()};
    QVariantList rows;
    for (const StatusRow& row : readyOverviewRows(inputs)) {
        rows.append(QVariantMap{{QStringLiteral("label"), row.label},
                                {QStringLiteral("value"), row.value},
                                {QStringLiteral("isPrimary"), row.isPrimary},
                                {QStringLiteral("isSmall"), row.isSmall}});
    }
    return rows;
}

bool ReadyOverviewModel::isRecording() const {
    return viewModel() && viewModel()->session()->runtimeState().kind() == SessionState::Kind::recording;
}

}  // namespace quorvelle
