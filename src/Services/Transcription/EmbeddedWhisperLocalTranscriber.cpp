#include "Services/Transcription/EmbeddedWhisperLocalTranscriber.h"

#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"

#include <QDir>
#include <QFileInfo>

namespace quorvelle {

EmbeddedWhisperLocalTranscriber::EmbeddedWhisperLocalTranscriber(std::shared_ptr<LocalModelManaging> modelManager,
                                                                 std::shared_ptr<EmbeddedWhisperRuntime> runtime)
    : m_modelManager(std::move(modelManager)), m_runtime(std::move(runtime)) {}

QCoro::Task<QString> EmbeddedWhisperLocalTranscriber::transcribe(
    CapturedAudioClip clip, LocalTranscriptionModelID modelID, std::optional<QString> languageCode,
    LocalWhisperAccelerationMode accelerationMode, std::optional<QString> prompt, std::stop_token stopToken) {
    const LocalTranscriptionModelDescriptor descriptor = localModelDescriptor(modelID);
    if (!m_modelManager->loadRecords().contains(modelID))
        throw LocalTranscriptionRuntimeError::modelMissing(descriptor.title);
    const QString modelPath = QDir(m_modelManager->modelsDirectoryPath()).filePath(descriptor.filename);
    if (!QFileInfo::exists(modelPath)) throw LocalTranscriptionRuntimeError::modelMissing(descriptor.title);

    QCoro::Task<QString> job = m_runtime->transcribe(std::move(clip), modelID, modelPath, std::move(languageCode),
                                                     accelerationMode, std::move(prompt), std::move(stopToken));
    co_return co_await job;
}

}  // namespace quorvelle
