#include "Models/RollingTranscriptionTelemetryStore.h"

#include <algorithm>

namespace quorvelle {

RollingTranscriptionTelemetryStore::RollingTranscriptionTelemetryStore(int sampleLimit)
    : m_sampleLimit(std::max(1, sampleLimit)) {}

TranscriptionTelemetrySnapshot RollingTranscriptionTelemetryStore::snapshot() const {
    return m_snapshot;
}

void RollingTranscriptionTelemetryStore::record(int elapsedMs, bool wasSuccessful) {
    m_samples.append({std::max(0, elapsedMs), wasSuccessful});
    if (m_samples.size() > m_sampleLimit) {
        m_samples.remove(0, m_samples.size() - m_sampleLimit);
    }
    m_snapshot = TranscriptionTelemetrySnapshot(m_samples);
}

}  // namespace quorvelle
