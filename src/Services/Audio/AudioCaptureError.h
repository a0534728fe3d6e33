#pragma once

#include <exception>

namespace quorvelle {

enum class AudioCaptureErrorCase {
    captureAlreadyRunning,
    captureNotRunning,
    targetFormatUnavailable,
    converterUnavailable,
    engineStartFailed,
    inputDeviceSelectionFailed,
};

// Why a capture could not start or stop. The platform's own error is not kept.
class AudioCaptureError : public std::exception {
public:
    explicit AudioCaptureError(AudioCaptureErrorCase errorCase) : m_case(errorCase) {}
    AudioCaptureErrorCase errorCase() const { return m_case; }
    const char* what() const noexcept override;

private:
    AudioCaptureErrorCase m_case;
};

}  // namespace quorvelle
