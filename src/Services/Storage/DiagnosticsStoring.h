#pragma once

#include "Models/SanitizedDiagnosticsEvent.h"

#include <QList>

namespace quorvelle {

// A short local log of diagnostics events, newest first.
class DiagnosticsStoring {
public:
    virtual ~DiagnosticsStoring() = default;

    // Newest first, without the events that have aged out. Never fails.
    virtual QList<SanitizedDiagnosticsEvent> events() const = 0;
    // Stores the event, unchanged, in front of the others. Never fails.
    virtual void record(const SanitizedDiagnosticsEvent& event) = 0;
};

}  // namespace quorvelle
