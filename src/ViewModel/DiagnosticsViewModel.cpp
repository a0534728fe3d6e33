#include "ViewModel/DiagnosticsViewModel.h"

#include "ViewModel/Published.h"

namespace quorvelle {

void DiagnosticsViewModel::publishSnapshot(DiagnosticsSnapshot snapshot) {
    publish(this, m_diagnosticsSnapshot, std::move(snapshot), &DiagnosticsViewModel::diagnosticsSnapshotChanged);
}

}  // namespace quorvelle
