#pragma once

#include "Models/TranscriptionTelemetrySnapshot.h"

namespace quorvelle {

class TranscriptionTelemetryRecording {
public:
    virtual ~TranscriptionTelemetryRecording() = default;

    virtual TranscriptionTelemetrySnapshot snapshot() const = 0;
    virtual void record(int elapsedMs, bool wasSuccessful) = 0;
};

}  // namespace quorvelle
