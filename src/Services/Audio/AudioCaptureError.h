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
    explicit AudioCaptureError(AudioCaptureErrorCase errorCase) : case_(errorCase) {}
    AudioCaptureErrorCase errorCase() const { return case_; }
    const char* what() const noexcept override;

private:
    AudioCaptureErrorCase case_;
};

}  // namespace quorvelle
