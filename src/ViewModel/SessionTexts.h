#pragma once

#include "Models/AppStrings.h"
#include "Models/QuorvelleError.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/SessionBlockReason.h"
#include "Services/Audio/AudioCaptureDebugSnapshot.h"
#include "Services/Audio/AudioCaptureError.h"
#include "Services/Delivery/SyntheticPasteError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "Services/Delivery/TextInsertionResult.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"

#include <QString>

#include <exception>
#include <optional>

// The texts and event codes of one dictation. Some exist in Turkish only and are shown in every
// interface language; the failure reasons kept for diagnostics are English only.
namespace quorvelle::SessionTexts {

struct Failure {
    QuorvelleError error;
    QString message;
};

// A thrown error as the session shows it.
Failure sessionFailure(std::exception_ptr thrown, const AppStrings& strings);
QString captureErrorMessage(AudioCaptureErrorCase errorCase, const AppStrings& strings);
QString signInRequired(const AppStrings& strings);
QString soundServerUnreachable(const AppStrings& strings);
QString recordingTooShortMessage(RecordingTriggerMode mode, double durationSeconds, const AppStrings& strings);
QString noAudioDetectedMessage(const AudioCaptureDebugSnapshot& snapshot, const AppStrings& strings);
QString unexpectedError(const AppStrings& strings);
// Turkish in every language.
QString cooldownMessage(int seconds);
// The cooldown text for the two rate-limit errors when the seconds are known, else the error's text.
QString rateLimitedMessage(const QuorvelleError& error, std::optional<int> seconds, const AppStrings& strings);
QString maximumDurationMessage(double seconds, const AppStrings& strings);
QString localNotReadyMessage(bool runtimeAvailable, const AppStrings& strings);
QString hotkeyStartFailed(const AppStrings& strings);
// A paste's keys went out and a password field, not the target, holds the focus: a key moved it in
// the last instant before them.
QString wordsMayBeInSecureField(const AppStrings& strings);

struct Block {
    QString message;
    QString code;
};
Block blocked(SessionBlockReason reason);

// What a failed on-device run tells the user, and what it leaves in the session.
struct LocalRunFailure {
    QString message;
    bool keepsMessageAsLastError = true;
    QuorvelleError sessionError;
    QString eventCode;
};
LocalRunFailure localRuntimeFailure(const LocalTranscriptionRuntimeError& error, const AppStrings& strings);

// Status line and event code of a delivered text.
struct Insertion {
    QString message;
    QString code;
};
Insertion insertionResult(TextInsertionOutcome outcome);
// A paste sent, not checked, whose words are not on the clipboard afterwards: the user's clipboard
// came back, or another application's copy took their place.
Insertion pasteSentNotOnClipboard();
QString insertionFailureReason(TextInsertionError::Case errorCase);
QString pasteFailureReason(SyntheticPasteError::Case errorCase);

}  // namespace quorvelle::SessionTexts
