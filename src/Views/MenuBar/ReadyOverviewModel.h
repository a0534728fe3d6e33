#pragma once

#include "Views/MenuBar/ReadyOverviewRows.h"

#include <QObject>
#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

// The Status tab's reading of the view model: QML binds the inputs to the view model's values, the
// rows are made anew on every change. Enumerations come as their stored names.
class ReadyOverviewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(quorvelle::AppStrings strings READ strings WRITE setStrings)
    Q_PROPERTY(QString selectedTranscriptionBackend WRITE setSelectedTranscriptionBackend READ backendName)
    Q_PROPERTY(QString accountStatusLabel WRITE setAccountStatusLabel READ accountStatusLabel)
    Q_PROPERTY(QString localRuntimeStatusLabel WRITE setLocalRuntimeStatusLabel READ localRuntimeStatusLabel)
    Q_PROPERTY(QString selectedLocalModelID WRITE setSelectedLocalModelID READ localModelName)
    Q_PROPERTY(quorvelle::HotkeyShortcut selectedHotkey WRITE setSelectedHotkey READ selectedHotkey)
    Q_PROPERTY(QString selectedRecordingTriggerMode WRITE setSelectedRecordingTriggerMode READ triggerModeName)
    Q_PROPERTY(bool isHotkeyMonitoringActive WRITE setHotkeyMonitoringActive READ isHotkeyMonitoringActive)
    Q_PROPERTY(quorvelle::SessionState runtimeState WRITE setRuntimeState READ runtimeState)
    Q_PROPERTY(std::optional<quorvelle::FocusedTargetSnapshot> focusedTarget WRITE setFocusedTarget READ focusedTarget)
    // Empty when there is none.
    Q_PROPERTY(QString lastCaptureSummary WRITE setLastCaptureSummary READ lastCaptureSummary)
    Q_PROPERTY(quorvelle::TranscriptionTelemetrySnapshot transcriptionTelemetry WRITE setTranscriptionTelemetry READ
                   transcriptionTelemetry)
    Q_PROPERTY(quorvelle::DiagnosticsSnapshot diagnosticsSnapshot WRITE setDiagnosticsSnapshot READ diagnosticsSnapshot)

    // Maps of label, value, isPrimary and isSmall, in display order.
    Q_PROPERTY(QVariantList rows READ rows NOTIFY rowsChanged)
    // The scaled pill shows only while recording.
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY rowsChanged)

public:
    explicit ReadyOverviewModel(QObject* parent = nullptr);

    AppStrings strings() const { return m_inputs.strings; }
    void setStrings(const AppStrings& value) { assign(&ReadyOverviewInputs::strings, value); }
    QString backendName() const;
    void setSelectedTranscriptionBackend(const QString& name);
    QString accountStatusLabel() const { return m_inputs.accountStatusLabel; }
    void setAccountStatusLabel(const QString& value) { assign(&ReadyOverviewInputs::accountStatusLabel, value); }
    QString localRuntimeStatusLabel() const { return m_inputs.localRuntimeStatusLabel; }
    void setLocalRuntimeStatusLabel(const QString& value) {
        assign(&ReadyOverviewInputs::localRuntimeStatusLabel, value);
    }
    QString localModelName() const;
    void setSelectedLocalModelID(const QString& name);
    HotkeyShortcut selectedHotkey() const { return m_inputs.selectedHotkey; }
    void setSelectedHotkey(const HotkeyShortcut& value) { assign(&ReadyOverviewInputs::selectedHotkey, value); }
    QString triggerModeName() const;
    void setSelectedRecordingTriggerMode(const QString& name);
    bool isHotkeyMonitoringActive() const { return m_inputs.isHotkeyMonitoringActive; }
    void setHotkeyMonitoringActive(bool value) { assign(&ReadyOverviewInputs::isHotkeyMonitoringActive, value); }
    SessionState runtimeState() const { return m_inputs.runtimeState; }
    void setRuntimeState(const SessionState& value) { assign(&ReadyOverviewInputs::runtimeState, value); }
    std::optional<FocusedTargetSnapshot> focusedTarget() const { return m_inputs.focusedTarget; }
    void setFocusedTarget(const std::optional<FocusedTargetSnapshot>& value) {
        assign(&ReadyOverviewInputs::focusedTarget, value);
    }
    QString lastCaptureSummary() const { return m_inputs.lastCaptureSummary.value_or(QString()); }
    void setLastCaptureSummary(const QString& summary);
    TranscriptionTelemetrySnapshot transcriptionTelemetry() const { return m_inputs.transcriptionTelemetry; }
    void setTranscriptionTelemetry(const TranscriptionTelemetrySnapshot& value) {
        assign(&ReadyOverviewInputs::transcriptionTelemetry, value);
    }
    DiagnosticsSnapshot diagnosticsSnapshot() const { return m_inputs.diagnosticsSnapshot; }
    void setDiagnosticsSnapshot(const DiagnosticsSnapshot& value) {
        assign(&ReadyOverviewInputs::diagnosticsSnapshot, value);
    }

    QVariantList rows() const { return m_rows; }
    bool isRecording() const { return m_inputs.runtimeState.kind() == SessionState::Kind::recording; }

Q_SIGNALS:
    void rowsChanged();

private:
    template <typename T>
    void assign(T ReadyOverviewInputs::*field, const T& value) {
        m_inputs.*field = value;
        rebuild();
    }
    void rebuild();

    ReadyOverviewInputs m_inputs;
    QVariantList m_rows;
};

}  // namespace quorvelle
