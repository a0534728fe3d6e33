#pragma once

#include "Models/AppStrings.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/SessionState.h"
#include "Models/TranscriptionBackend.h"
#include "Views/Overlay/RuntimeOverlayTheme.h"

#include <QString>

#include <optional>

namespace quorvelle {

// What the pill says about a session state: its two lines, its symbol and its colour family.
struct RuntimeOverlayPresentation {
    QString title;
    QString detail;
    QString symbolName;
    RuntimeOverlayStatusStyle style = RuntimeOverlayStatusStyle::idle;

    static RuntimeOverlayPresentation make(const SessionState& state, const AppStrings& strings,
                                           const std::optional<QString>& inlineMessage,
                                           const std::optional<QString>& lastCaptureSummary,
                                           RecordingTriggerMode triggerMode, TranscriptionBackend backend);

    friend bool operator==(const RuntimeOverlayPresentation&, const RuntimeOverlayPresentation&) = default;
};

}  // namespace quorvelle
