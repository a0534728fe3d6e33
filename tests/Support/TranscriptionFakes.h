#pragma once

#include "HeldCalls.h"
#include "Models/RawValueEnum.h"
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
                                    std::optional<QString> languageCode, std::stop_token stopToken = {}) override {
        requests.append({std::move(clip), std::move(prompt), std::nullopt, std::nullopt, std::move(languageCode)});
        co_await held.pass(stopToken);
        co_return answer.next();
    }
    QCoro::Task<QString> transcribeWithContext(CapturedAudioClip clip, TranscriptionPromptContext context,
                                               TranscriptionPostProcessingMode cleanupMode,
                                               std::optional<QString> languageCode,
                                               std::stop_token stopToken = {}) override {
        requests.append({std::move(clip), context.prompt, context, cleanupMode, std::move(languageCode)});
        co_await held.pass(stopToken);
        co_return answer.next();
    }
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

    LocalRuntimeAvailability runtimeAvailability() const override { return availability; }
    QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> loadRecords() const override { return records; }
    QCoro::Task<LocalModelInstallationRecord> download(LocalTranscriptionModelID modelID,
                                                       DownloadProgress progress = {},
                                                       std::stop_token stopToken = {}) override {
        calls << QStringLiteral("download(%1)").arg(rawValue(modelID));
        co_await held.pass(stopToken);
        downloadOutcome.next();
        if (progress) progress(100, 100);
        install(modelID);
        co_return records.value(modelID);
    }
    void deleteModel(LocalTranscriptionModelID modelID) override {
        calls << QStringLiteral("deleteModel(%1)").arg(rawValue(modelID));
        deleteOutcome.next();
        records.remove(modelID);
    }
    QString modelsDirectoryPath() const override { return QStringLiteral("/nonexistent/models"); }

    void install(LocalTranscriptionModelID modelID) {
        records.insert(modelID, {modelID, QStringLiteral("00").repeated(32),
                                 QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC), 1024, std::nullopt});
    }
};

}  // namespace quorvelle::test
