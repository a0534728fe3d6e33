#include "AudioCaptureError.h"

namespace quorvelle {

const char* AudioCaptureError::what() const noexcept {
    switch (m_case) {
        case AudioCaptureErrorCase::captureAlreadyRunning: return "capture already running";
        case AudioCaptureErrorCase::captureNotRunning: return "capture not running";
        case AudioCaptureErrorCase::targetFormatUnavailable: return "target audio format unavailable";
        case AudioCaptureErrorCase::converterUnavailable: return "audio converter unavailable";
        case AudioCaptureErrorCase::engineStartFailed: return "audio engine did not start";
        case AudioCaptureErrorCase::inputDeviceSelectionFailed: return "input device could not be selected";
    }
    return "audio capture error";
}

}  // namespace quorvelle
