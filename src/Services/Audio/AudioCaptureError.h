#pragma once

#include <exception>
#include <string>

namespace quorvelle {

enum class AudioCaptureErrorCase {
    captureAlreadyRunning,
    captureNotRunning,
    targetFormatUnavailable,
    converterUnavailable,
    engineStartFailed,
    inputDeviceSelectionFailed,
};

// Why a capture could not start or stop. The case is what callers act on; the detail, when the
// engine gave one, only makes the message clearer for logs.
class AudioCaptureError : public std::exception {
public:
    explicit AudioCaptureError(AudioCaptureErrorCase errorCase, const std::string& detail = {});
    AudioCaptureErrorCase errorCase() const { return m_case; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    AudioCaptureErrorCase m_case;
    std::string m_message;
};

}  // namespace quorvelle
