#include "Views/Overlay/RuntimeOverlayPresentation.h"

namespace quorvelle {

namespace {

QString symbolOf(SessionState::Kind kind, TranscriptionBackend backend) {
    switch (kind) {
        case SessionState::Kind::idle: return QStringLiteral("mic");
        case SessionState::Kind::recording: return QStringLiteral("waveform");
        // Nothing goes up on this computer: its own processor does the work.
        case SessionState::Kind::uploading:
            return backend == TranscriptionBackend::local ? QStringLiteral("cpu") : QStringLiteral("arrow.up.circle");
        case SessionState::Kind::injecting: return QStringLiteral("text.cursor");
        case SessionState::Kind::fallbackCopied: return QStringLiteral("doc.on.doc");
        case SessionState::Kind::success: return QStringLiteral("checkmark.circle");
        case SessionState::Kind::blocked:
        case SessionState::Kind::error: return QStringLiteral("exclamationmark.triangle");
    }
    return QStringLiteral("mic");
}

}  // namespace

RuntimeOverlayPresentation RuntimeOverlayPresentation::make(const SessionState& state, const AppStrings& strings,
                                                            const std::optional<QString>& inlineMessage,
                                                            const std::optional<QString>& lastCaptureSummary,
                                                            RecordingTriggerMode triggerMode,
                                                            TranscriptionBackend backend) {
    return RuntimeOverlayPresentation{
        strings.sessionStateTitle(state, inlineMessage, backend),
        strings.sessionDetail(state, inlineMessage, lastCaptureSummary, triggerMode, backend),
        symbolOf(state.kind(), backend),
        statusStyleOf(state),
    };
}

}  // namespace quorvelle
