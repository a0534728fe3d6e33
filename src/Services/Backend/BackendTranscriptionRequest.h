#pragma once

#include "Models/CapturedAudioClip.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorvelle {

// Everything one transcription upload sends.
struct BackendTranscriptionRequest {
    CapturedAudioClip clip;
    std::optional<QString> prompt;
    QStringList vocabularyHints;
    TranscriptionPostProcessingMode cleanupMode = TranscriptionPostProcessingMode::off;
    std::optional<QString> languageCode;
    QString idempotencyKey;
    std::optional<FocusedTargetSnapshot> focusedTarget;
};

// The "metadata" part of the upload as compact JSON text.
QString makeTranscriptionMetadataJSON(const BackendTranscriptionRequest& request);

// The multipart/form-data body of the upload: the metadata part, then the audio part, with CRLF
// line ends and the given boundary.
QByteArray makeTranscriptionBody(const BackendTranscriptionRequest& request, const QString& boundary);

}  // namespace quorvelle
