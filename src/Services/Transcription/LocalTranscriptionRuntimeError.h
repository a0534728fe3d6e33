// LocalTranscriptionRuntimeError: how an on-device transcription fails, with the catalogue title of
// the model and, for an empty result, what the engine saw (LocalTranscriptionDiagnostics), which the
// dictation session shows and records.
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <optional>

namespace quorvelle {

struct LocalDecodedSegment {
    QString text;
    double noSpeechProbability = 0;

    bool operator==(const LocalDecodedSegment&) const = default;
};

struct LocalTranscriptionDiagnostics {
    int segmentCount = 0;
    std::optional<double> maxNoSpeechProbability;
    std::optional<int> detectedLanguageID;
    std::optional<QString> detectedLanguageLabel;

    bool operator==(const LocalTranscriptionDiagnostics&) const = default;
};

// Declaration order is the order of the cases.
enum class LocalTranscriptionRuntimeErrorCase {
    runtimeUnavailable,
    modelMissing,
    modelLoadFailed,
    transcriptionFailed,
    noSpeechDetected,
    emptyTranscript,
};

class LocalTranscriptionRuntimeError : public std::exception {
public:
    static LocalTranscriptionRuntimeError runtimeUnavailable(const QString& reason);
    static LocalTranscriptionRuntimeError modelMissing(const QString& modelTitle);
    static LocalTranscriptionRuntimeError modelLoadFailed(const QString& modelTitle);
    static LocalTranscriptionRuntimeError transcriptionFailed(const QString& modelTitle);
    static LocalTranscriptionRuntimeError noSpeechDetected(const QString& modelTitle,
                                                           const LocalTranscriptionDiagnostics& diagnostics);
    static LocalTranscriptionRuntimeError emptyTranscript(const QString& modelTitle,
                                                          const LocalTranscriptionDiagnostics& diagnostics);

    LocalTranscriptionRuntimeErrorCase errorCase() const { return m_case; }
    // The reason of runtimeUnavailable; empty for the other cases.
    const QString& reason() const { return m_reason; }
    // The model's title; empty for runtimeUnavailable.
    const QString& modelTitle() const { return m_modelTitle; }
    // Present for noSpeechDetected and emptyTranscript only.
    const std::optional<LocalTranscriptionDiagnostics>& diagnostics() const { return m_diagnostics; }

    // The case and its payload, for logs.
    const char* what() const noexcept override { return m_what.constData(); }

    friend bool operator==(const LocalTranscriptionRuntimeError& a, const LocalTranscriptionRuntimeError& b) {
        return a.m_case == b.m_case && a.m_reason == b.m_reason && a.m_modelTitle == b.m_modelTitle &&
               a.m_diagnostics == b.m_diagnostics;
    }

private:
    LocalTranscriptionRuntimeError(LocalTranscriptionRuntimeErrorCase errorCase, QString reason, QString modelTitle,
                                   std::optional<LocalTranscriptionDiagnostics> diagnostics);

    LocalTranscriptionRuntimeErrorCase m_case;
    QString m_reason;
    QString m_modelTitle;
    std::optional<LocalTranscriptionDiagnostics> m_diagnostics;
    QByteArray m_what;
};

}  // namespace quorvelle
