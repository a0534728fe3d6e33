#pragma once

#include "Models/DiagnosticsSnapshot.h"
#include "ViewModel/RecordListModel.h"

#include <QObject>

namespace quorvelle {

// The display lines of the status and diagnostics views, rebuilt whole by every refresh.
class DiagnosticsViewModel : public QObject {
    Q_OBJECT

    // Permissions, readiness, engine, microphones, target, last delivery, latency, capture, events.
    Q_PROPERTY(
        quorvelle::DiagnosticsSnapshot diagnosticsSnapshot READ diagnosticsSnapshot NOTIFY diagnosticsSnapshotChanged)
    // The snapshot's input devices and recent events, as lists.
    Q_PROPERTY(quorvelle::RecordListModel* audioDevices READ audioDevicesModel CONSTANT)
    Q_PROPERTY(quorvelle::RecordListModel* events READ eventsModel CONSTANT)

public:
    explicit DiagnosticsViewModel(QObject* parent = nullptr);

    const DiagnosticsSnapshot& diagnosticsSnapshot() const { return m_diagnosticsSnapshot; }
    void publishSnapshot(DiagnosticsSnapshot snapshot);
    RecordListModel* audioDevicesModel() const { return m_audioDevicesModel; }
    RecordListModel* eventsModel() const { return m_eventsModel; }

Q_SIGNALS:
    void diagnosticsSnapshotChanged();

private:
    DiagnosticsSnapshot m_diagnosticsSnapshot = DiagnosticsSnapshot::empty();
    RecordList<AudioDeviceInfo>* m_audioDevicesModel;
    RecordList<SanitizedDiagnosticsEvent>* m_eventsModel;
};

}  // namespace quorvelle
