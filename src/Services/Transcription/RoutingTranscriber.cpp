#include "Services/Transcription/RoutingTranscriber.h"

#include "Services/Storage/SettingsKeys.h"

namespace quorvelle {

RoutingTranscriber::RoutingTranscriber(std::shared_ptr<Transcribing> cloudTranscriber,
                                       std::shared_ptr<LocalTranscribing> localTranscriber, SettingsStore settingsStore)
    : m_cloudTranscriber(std::move(cloudTranscriber)),
      m_localTranscriber(std::move(localTranscriber)),
      m_settingsStore(std::move(settingsStore)) {}

std::optional<RoutingTranscriber::LocalChoice> RoutingTranscriber::localChoice() const {
    const UserDefaults& defaults = *m_settingsStore.userDefaults();
    // Exact matches only: any other text, letter case included, means the cloud and the processor.
    if (defaults.string(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend)) != QStringLiteral("local"))
        return std::nullopt;
    const bool accelerated = defaults.string(QString::fromLatin1(SettingsKeys::selectedLocalWhisperAccelerationMode)) ==
                             QStringLiteral("accelerated");
    return LocalChoice{m_settingsStore.selectedLocalModelID(),
                       accelerated ? LocalWhisperAccelerationMode::accelerated : LocalWhisperAccelerationMode::cpu};
}

QCoro::Task<QString> RoutingTranscriber::transcribe(CapturedAudioClip clip, std::optional<QString> prompt,
                                                    std::optional<QString> languageCode, std::stop_token stopToken) {
    if (const std::optional<LocalChoice> local = localChoice()) {
        QCoro::Task<QString> onDevice =
            m_localTranscriber->transcribe(std::move(clip), local->modelID, std::move(languageCode),
                                           local->accelerationMode, std::move(prompt), stopToken);
        co_return co_await onDevice;
    }
    QCoro::Task<QString> inCloud =
        m_cloudTranscriber->transcribe(std::move(clip), std::move(prompt), std::move(languageCode), stopToken);
    co_return co_await inCloud;
}

QCoro::Task<QString> RoutingTranscriber::transcribeWithContext(CapturedAudioClip clip,
                                                               TranscriptionPromptContext context,
                                                               TranscriptionPostProcessingMode cleanupMode,
                                                               std::optional<QString> languageCode,
                                                               std::stop_token stopToken) {
    if (const std::optional<LocalChoice> local = localChoice()) {
        QCoro::Task<QString> onDevice =
            m_localTranscriber->transcribe(std::move(clip), local->modelID, std::move(languageCode),
                                           local->accelerationMode, context.prompt, stopToken);
        co_return co_await onDevice;
    }
    if (auto* contextual = dynamic_cast<ContextualTranscribing*>(m_cloudTranscriber.get())) {
        QCoro::Task<QString> inCloud = contextual->transcribeWithContext(
            std::move(clip), std::move(context), cleanupMode, std::move(languageCode), stopToken);
        co_return co_await inCloud;
    }
    QCoro::Task<QString> inCloud =
        m_cloudTranscriber->transcribe(std::move(clip), context.prompt, std::move(languageCode), stopToken);
    co_return co_await inCloud;
}

}  // namespace quorvelle
