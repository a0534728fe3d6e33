#include "Views/MenuBar/ReadyOverviewModel.h"

#include "ViewModel/AppViewModel.h"
#include "Views/MenuBar/ReadyOverviewRows.h"

#include <QVariantMap>

namespace quorvelle {

void ReadyOverviewModel::observe(AppViewModel& viewModel) {
    const auto notify = [this] { Q_EMIT changed(); };
    connect(&viewModel, &AppViewModel::stringsChanged, this, notify);
    SessionViewModel* session = viewModel.session();
    for (auto signal : {&SessionViewModel::runtimeStateChanged, &SessionViewModel::isHotkeyMonitoringActiveChanged,
                        &SessionViewModel::focusedTargetChanged, &SessionViewModel::lastCaptureSummaryChanged,
                        &SessionViewModel::transcriptionTelemetryChanged})
        connect(session, signal, this, notify);
    PreferencesViewModel* preferences = viewModel.preferences();
    for (auto signal :
         {&PreferencesViewModel::selectedHotkeyChanged, &PreferencesViewModel::selectedRecordingTriggerModeChanged})
        connect(preferences, signal, this, notify);
    LocalModelsViewModel* local = viewModel.localModels();
    for (auto signal : {&LocalModelsViewModel::selectedTranscriptionBackendChanged,
                        &LocalModelsViewModel::selectedLocalModelIDChanged,
                        &LocalModelsViewModel::selectedLocalWhisperAccelerationModeChanged,
                        &LocalModelsViewModel::localRuntimeAvailabilityChanged})
        connect(local, signal, this, notify);
    // The account row follows the stored session, which the reload publishes as the key's presence.
    connect(viewModel.permissions(), &PermissionsViewModel::onboardingStatusChanged, this, notify);
    connect(viewModel.diagnostics(), &DiagnosticsViewModel::diagnosticsSnapshotChanged, this, notify);
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
