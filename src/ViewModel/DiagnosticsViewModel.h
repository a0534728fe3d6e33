#pragma once

#include "Models/DiagnosticsSnapshot.h"

#include <QObject>

namespace quorvelle {

// The display lines of the status and diagnostics views, rebuilt whole by every refresh.
class DiagnosticsViewModel : public QObject {
    Q_OBJECT

    // Permissions, readiness, engine, microphones, target, last delivery, latency, capture, events.
    Q_PROPERTY(
        quorvelle::DiagnosticsSnapshot diagnosticsSnapshot READ diagnosticsSnapshot NOTIFY diagnosticsSnapshotChanged)

public:
    explicit DiagnosticsViewModel(QObject* parent = nullptr) : QObject(parent) {}

    const DiagnosticsSnapshot& diagnosticsSnapshot() const { return m_diagnosticsSnapshot; }
    void publishSnapshot(DiagnosticsSnapshot snapshot);

Q_SIGNALS:
    void diagnosticsSnapshotChanged();

private:
    DiagnosticsSnapshot m_diagnosticsSnapshot = DiagnosticsSnapshot::empty();
};

}  // namespace quorvelle
