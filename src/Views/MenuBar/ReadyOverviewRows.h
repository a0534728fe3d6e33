#pragma once

#include "Models/AppStrings.h"
#include "Models/DiagnosticsSnapshot.h"
#include "Models/HotkeyShortcut.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/SessionState.h"
#include "Models/TranscriptionBackend.h"
#include "Models/TranscriptionTelemetrySnapshot.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

// One label/value line of the popover's Status tab.
struct StatusRow {
    QString label;
    QString value;
    // Primary or secondary foreground for the value.
    bool isPrimary = true;
    // The smaller caption of the latency target line.
    bool isSmall = false;

    friend bool operator==(const StatusRow&, const StatusRow&) = default;
};

// What the Status tab shows, read from the view model at one moment.
struct ReadyOverviewInputs {
    AppStrings strings;
    TranscriptionBackend selectedTranscriptionBackend = TranscriptionBackend::cloud;
    QString accountStatusLabel;
    QString localRuntimeStatusLabel;
    LocalTranscriptionModelID selectedLocalModelID = LocalTranscriptionModelID::smallMultilingual;
    HotkeyShortcut selectedHotkey;
    RecordingTriggerMode selectedRecordingTriggerMode = RecordingTriggerMode::pushToTalk;
    bool isHotkeyMonitoringActive = false;
    SessionState runtimeState;
    std::optional<FocusedTargetSnapshot> focusedTarget;
    std::optional<QString> lastCaptureSummary;
    TranscriptionTelemetrySnapshot transcriptionTelemetry;
    DiagnosticsSnapshot diagnosticsSnapshot = DiagnosticsSnapshot::empty();
};

// The rows in display order; optional rows are left out when their value is absent.
QList<StatusRow> readyOverviewRows(const ReadyOverviewInputs& inputs);

}  // namespace quorvelle
