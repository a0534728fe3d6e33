#pragma once

#include "Models/SanitizedDiagnosticsEvent.h"

#include <QList>

#include <optional>

namespace quorvelle {

// A short local log of diagnostics events, newest first.
class DiagnosticsStoring {
public:
    virtual ~DiagnosticsStoring() = default;

    // Newest first, without the events that have aged out. Never fails.
    virtual QList<SanitizedDiagnosticsEvent> events() const = 0;
    // Stores the event, unchanged, in front of the others. Never fails.
    virtual void record(const SanitizedDiagnosticsEvent& event) = 0;

    // The newest mark of the app's life (a start, or why a run ended), kept apart from the events
    // so that no number of them pushes it out. None before the first, or when it does not decode.
    virtual std::optional<SanitizedDiagnosticsEvent> lifecycleMark() const = 0;
    // Replaces the mark; the event is recorded on its own. Never fails.
    virtual void setLifecycleMark(const SanitizedDiagnosticsEvent& mark) = 0;
};

}  // namespace quorvelle
