#include "TranscriptionFakes.h"

#include "Models/RawValueEnum.h"

namespace quorvelle::test {

QCoro::Task<QString> FakeTranscriber::transcribe(CapturedAudioClip clip, std::optional<QString> prompt,
                                                 std::optional<QString> languageCode, std::stop_token stopToken) {
    requests.append({std::move(clip), std::move(prompt), std::nullopt, std::nullopt, std::move(languageCode)});
    co_await held.pass(stopToken);
    co_return answer.next();
}

QCoro::Task<QString> FakeTranscriber::transcribeWithContext(CapturedAudioClip clip, TranscriptionPromptContext context,
                                                            TranscriptionPostProcessingMode cleanupMode,
                                                            std::optional<QString> languageCode,
                                                            std::stop_token stopToken) {
    requests.append({std::move(clip), context.prompt, std::move(context), cleanupMode, std::move(languageCode)});
    co_await held.pass(stopToken);
    co_return answer.next();
}

QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> FakeLocalModelManager::loadRecords() const {
    ++recordReads;
    return records;
}

QCoro::Task<LocalModelInstallationRecord> FakeLocalModelManager::download(LocalTranscriptionModelID modelID,
                                                                          DownloadProgress progress,
                                                                          std::stop_token stopToken) {
    calls << QStringLiteral("download(%1)").arg(rawValue(modelID));
    co_await held.pass(stopToken);
    downloadOutcome.next();
    if (progress) progress(100, 100);
    install(modelID);
    co_return records.value(modelID);
}

void FakeLocalModelManager::deleteModel(LocalTranscriptionModelID modelID) {
    calls << QStringLiteral("deleteModel(%1)").arg(rawValue(modelID));
    deleteOutcome.next();
    records.remove(modelID);
}

void FakeLocalModelManager::install(LocalTranscriptionModelID modelID) {
    LocalModelInstallationRecord record;
    record.modelID = modelID;
    record.checksumSHA256 = QStringLiteral("00").repeated(32);
    record.installedAt = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    record.fileSizeBytes = 1024;
    records.insert(modelID, record);
}

}  // namespace quorvelle::test
