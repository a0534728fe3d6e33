#include "ViewModel/DiagnosticsViewModel.h"

#include "ViewModel/Published.h"

namespace quorvelle {

DiagnosticsViewModel::DiagnosticsViewModel(QObject* parent)
    : QObject(parent),
      m_audioDevicesModel(new RecordList<AudioDeviceInfo>(this)),
      m_eventsModel(new RecordList<SanitizedDiagnosticsEvent>(this)) {
    m_audioDevicesModel->setRecords(m_diagnosticsSnapshot.audioDevices);
    m_eventsModel->setRecords(m_diagnosticsSnapshot.events);
}

void DiagnosticsViewModel::publishSnapshot(DiagnosticsSnapshot snapshot) {
    m_audioDevicesModel->setRecords(snapshot.audioDevices);
    m_eventsModel->setRecords(snapshot.events);
    publish(this, m_diagnosticsSnapshot, std::move(snapshot), &DiagnosticsViewModel::diagnosticsSnapshotChanged);
}

}  // namespace quorvelle
