#include "Services/Backend/BackendTranscriptionRequest.h"

#include "Processing/PromptNormalization.h"
#include "Services/Backend/BackendRequestPayloads.h"

#include <QJsonDocument>

#include <cmath>

namespace quorvelle {

namespace {

const QByteArray kCrlf = "\r\n";

QByteArray audioContentType(const QString& lowerExtension) {
    if (lowerExtension == QLatin1String("wav")) return "audio/wav";
    if (lowerExtension == QLatin1String("m4a")) return "audio/mp4";
    return "application/octet-stream";
}

FocusedTargetPayload focusedTargetPayload(const std::optional<FocusedTargetSnapshot>& snapshot) {
    if (!snapshot) return {};
    return {snapshot->app.bundleIdentifier, snapshot->element.role,
            snapshot->element.subrole == QLatin1String("AXSecureTextField")};
}

}  // namespace

QString makeTranscriptionMetadataJSON(const BackendTranscriptionRequest& request) {
    TranscriptionMetadataPayload payload;
    payload.idempotencyKey = request.idempotencyKey;
    payload.clientDurationMs = static_cast<qint64>(std::trunc(request.clip.duration * 1000));
    payload.language = request.languageCode.value_or(QStringLiteral("auto"));
    payload.customInstructions = normalizedPromptText(request.prompt);
    payload.vocabularyHints = normalizedVocabularyHints(request.vocabularyHints);
    payload.cleanupMode = rawValue(request.cleanupMode);
    payload.focusedTarget = focusedTargetPayload(request.focusedTarget);

    // Qt writes JSON as valid UTF-8 and cannot fail on these values.
    return QString::fromUtf8(QJsonDocument(payload.toJson()).toJson(QJsonDocument::Compact));
}

QByteArray makeTranscriptionBody(const BackendTranscriptionRequest& request, const QString& boundary) {
    const QByteArray boundaryBytes = boundary.toUtf8();
    const QString extension = request.clip.fileExtension.toLower();
    QByteArray body;
    body += "--" + boundaryBytes + kCrlf;
    body += "Content-Disposition: form-data; name=\"metadata\"" + kCrlf + kCrlf;
    body += makeTranscriptionMetadataJSON(request).toUtf8() + kCrlf;
    body += "--" + boundaryBytes + kCrlf;
    body += "Content-Disposition: form-data; name=\"audio\"; filename=\"recording." + extension.toUtf8() + "\"" + kCrlf;
    body += "Content-Type: " + audioContentType(extension) + kCrlf + kCrlf;
    body += request.clip.data;
    body += kCrlf;
    body += "--" + boundaryBytes + "--" + kCrlf;
    return body;
}

}  // namespace quorvelle
