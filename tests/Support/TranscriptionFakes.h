#pragma once

#include "HeldCalls.h"
#include "Scripted.h"
#include "Services/Transcription/LocalModelManaging.h"
#include "Services/Transcription/Transcribing.h"

#include <QList>
#include <QStringList>

namespace quorvelle::test {

// A transcriber of either kind; holds its calls while `held` holds them.
class FakeTranscriber final : public ContextualTranscribing {
public:
    struct Request {
        CapturedAudioClip clip;
        std::optional<QString> prompt;
        std::optional<TranscriptionPromptContext> context;
        std::optional<TranscriptionPostProcessingMode> cleanupMode;
        std::optional<QString> languageCode;
    };
    QList<Request> requests;
    HeldCalls held;
    Scripted<QString> answer{QStringLiteral("hello world")};

    QCoro::Task<QString> transcribe(CapturedAudioClip clip, std::optional<QString> prompt,
                                    std::optional<QString> languageCode, std::stop_token stopToken = {}) override;
    QCoro::Task<QString> transcribeWithContext(CapturedAudioClip clip, TranscriptionPromptContext context,
                                               TranscriptionPostProcessingMode cleanupMode,
                                               std::optional<QString> languageCode,
                                               std::stop_token stopToken = {}) override;
};

class FakeLocalModelManager final : public LocalModelManaging {
public:
    QStringList calls;
    HeldCalls held;
    LocalRuntimeAvailability availability = LocalRuntimeAvailability::ready();
    QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> records;
    // Installed (and recorded) when the download succeeds; a queued failure is thrown instead.
    ScriptedOutcome downloadOutcome;
    ScriptedOutcome deleteOutcome;
    mutable int recordReads = 0;

    LocalRuntimeAvailability runtimeAvailability() const override { return availability; }
    QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> loadRecords() const override;
    QCoro::Task<LocalModelInstallationRecord> download(LocalTranscriptionModelID modelID,
                                                       DownloadProgress progress = {},
                                                       std::stop_token stopToken = {}) override;
    void deleteModel(LocalTranscriptionModelID modelID) override;
    QString modelsDirectoryPath() const override { return QStringLiteral("/nonexistent/models"); }

    void install(LocalTranscriptionModelID modelID);
};

}  // namespace quorvelle::test
