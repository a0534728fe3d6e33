#include "Views/MenuBar/ReadyOverviewModel.h"

#include <QVariantMap>

namespace quorvelle {

ReadyOverviewModel::ReadyOverviewModel(QObject* parent) : QObject(parent) {
    rebuild();
}

void ReadyOverviewModel::setStrings(const AppStrings& strings) {
    m_inputs.strings = strings;
    rebuild();
}

QString ReadyOverviewModel::backendName() const {
    return rawValue(m_inputs.selectedTranscriptionBackend);
}

void ReadyOverviewModel::setSelectedTranscriptionBackend(const QString& name) {
    m_inputs.selectedTranscriptionBackend =
        fromRawValue<TranscriptionBackend>(name).value_or(TranscriptionBackend::cloud);
    rebuild();
}

void ReadyOverviewModel::setAccountStatusLabel(const QString& label) {
    m_inputs.accountStatusLabel = label;
    rebuild();
}

void ReadyOverviewModel::setLocalRuntimeStatusLabel(const QString& label) {
    m_inputs.localRuntimeStatusLabel = label;
    rebuild();
}

QString ReadyOverviewModel::localModelName() const {
    return rawValue(m_inputs.selectedLocalModelID);
}

void ReadyOverviewModel::setSelectedLocalModelID(const QString& name) {
    m_inputs.selectedLocalModelID =
        fromRawValue<LocalTranscriptionModelID>(name).value_or(LocalTranscriptionModelID::smallMultilingual);
    rebuild();
}

void ReadyOverviewModel::setSelectedHotkey(const HotkeyShortcut& hotkey) {
    m_inputs.selectedHotkey = hotkey;
    rebuild();
}

QString ReadyOverviewModel::triggerModeName() const {
    return rawValue(m_inputs.selectedRecordingTriggerMode);
}

void ReadyOverviewModel::setSelectedRecordingTriggerMode(const QString& name) {
    m_inputs.selectedRecordingTriggerMode =
        fromRawValue<RecordingTriggerMode>(name).value_or(RecordingTriggerMode::pushToTalk);
    rebuild();
}

void ReadyOverviewModel::setHotkeyMonitoringActive(bool active) {
    m_inputs.isHotkeyMonitoringActive = active;
    rebuild();
}

void ReadyOverviewModel::setRuntimeState(const SessionState& state) {
    m_inputs.runtimeState = state;
    rebuild();
}

void ReadyOverviewModel::setFocusedTarget(const std::optional<FocusedTargetSnapshot>& target) {
    m_inputs.focusedTarget = target;
    rebuild();
}

void ReadyOverviewModel::setLastCaptureSummary(const QString& summary) {
    m_inputs.lastCaptureSummary = summary.isEmpty() ? std::nullopt : std::optional(summary);
    rebuild();
}

void ReadyOverviewModel::setTranscriptionTelemetry(const TranscriptionTelemetrySnapshot& telemetry) {
    m_inputs.transcriptionTelemetry = telemetry;
    rebuild();
}

void ReadyOverviewModel::setDiagnosticsSnapshot(const DiagnosticsSnapshot& snapshot) {
    m_inputs.diagnosticsSnapshot = snapshot;
    rebuild();
}

void ReadyOverviewModel::rebuild() {
    QVariantList rows;
    for (const StatusRow& row : readyOverviewRows(m_inputs)) {
        rows.append(QVariantMap{{QStringLiteral("label"), row.label},
                                {QStringLiteral("value"), row.value},
                                {QStringLiteral("isPrimary"), row.isPrimary},
                                {QStringLiteral("isSmall"), row.isSmall}});
    }
    m_rows = rows;
    Q_EMIT rowsChanged();
}

}  // namespace quorvelle
