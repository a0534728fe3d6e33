#include "AudioCaptureError.h"

namespace quorvelle {

namespace {

const char* caseText(AudioCaptureErrorCase errorCase) {
    switch (errorCase) {
        case AudioCaptureErrorCase::captureAlreadyRunning: return "capture already running";
        case AudioCaptureErrorCase::captureNotRunning: return "capture not running";
        case AudioCaptureErrorCase::targetFormatUnavailable: return "target audio format unavailable";
        case AudioCaptureErrorCase::converterUnavailable: return "audio converter unavailable";
        case AudioCaptureErrorCase::engineStartFailed: return "audio engine failed";
        case AudioCaptureErrorCase::inputDeviceSelectionFailed: return "input device could not be selected";
    }
    return "audio capture error";
}

}  // namespace

AudioCaptureError::AudioCaptureError(AudioCaptureErrorCase errorCase, const std::string& detail)
    : m_case(errorCase),
      m_message(detail.empty() ? std::string(caseText(errorCase)) : caseText(errorCase) + (": " + detail)) {}

}  // namespace quorvelle
