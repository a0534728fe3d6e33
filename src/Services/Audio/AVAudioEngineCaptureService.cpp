#include "AVAudioEngineCaptureService.h"

#include "Services/Audio/AudioCaptureError.h"

#include <cmath>
#include <limits>

namespace quorvelle {

namespace {

constexpr int kBus = 0;
constexpr std::uint32_t kTapBufferFrames = 1024;

}  // namespace

AVAudioEngineCaptureService::AVAudioEngineCaptureService(
    AudioCaptureEngineRunning& engine, AudioCaptureConfiguration configuration, const AudioDeviceListing& devices,
    const WAVFileEncoding& wavEncoder, PCMBufferConverterFactory converterFactory, CaptureDiagnosticLog diagnosticLog)
    : m_engine(engine),
      m_configuration(std::move(configuration)),
      m_devices(devices),
      m_wavEncoder(wavEncoder),
      m_converterFactory(std::move(converterFactory)),
      m_diagnosticLog(std::move(diagnosticLog)) {}

AVAudioEngineCaptureService::~AVAudioEngineCaptureService() {
    // The tap refers to this object: take it down before the object goes.
    if (m_isCapturing) {
        endSession();
        m_engine.removeTap(kBus);
        m_engine.stop();
    }
}

std::uint32_t AVAudioEngineCaptureService::outputCapacity(std::uint32_t inputFrames, double inputRate,
                                                          double targetRate) {
    if (!(inputRate > 0) || !(targetRate > 0)) return 1;
    const double frames = std::ceil(static_cast<double>(inputFrames) * (targetRate / inputRate));
    if (!(frames >= 1)) return 1;
    if (frames > static_cast<double>(std::numeric_limits<std::uint32_t>::max())) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(frames);
}

QString AVAudioEngineCaptureService::requestedDeviceDebugLabel(const std::optional<QString>& preferredUid,
                                                               const ResolvedAudioInputDeviceSelection& selection) {
    if (!preferredUid) return QStringLiteral("System Default");
    if (selection.preferredDevice) {
        return selection.preferredDevice->name + QStringLiteral(" [uid ") + selection.preferredDevice->uid +
               QLatin1Char(']');
    }
    return QStringLiteral("Custom UID ") + *preferredUid;
}

QString AVAudioEngineCaptureService::resolvedDeviceDebugLabel(const ResolvedAudioInputDeviceSelection& selection) {
    const auto device = selection.deviceToApply();
    if (!device) return QStringLiteral("Bilinmiyor");
    return QStringLiteral("%1 [id %2, uid %3]").arg(device->name).arg(device->id).arg(device->uid);
}

ResolvedAudioInputDeviceSelection AVAudioEngineCaptureService::selectInputDevice() {
    std::optional<QString> uid;
    {
        std::lock_guard guard(m_lock);
        uid = m_preferredInputDeviceUid;
    }
    std::optional<AudioInputDevicePreference> preference;
    if (uid) preference = AudioInputDevicePreference{*uid, QString()};
    const auto selection = ResolvedAudioInputDeviceSelection::resolve(preference, m_devices.inputDevices());
    if (const auto device = selection.deviceToApply()) {
        try {
            m_engine.setInputDevice(device->id);
        } catch (const std::exception& error) {
            throw AudioCaptureError(AudioCaptureErrorCase::inputDeviceSelectionFailed, error.what());
        } catch (...) {
            throw AudioCaptureError(AudioCaptureErrorCase::inputDeviceSelectionFailed);
        }
    }
    return selection;
}

void AVAudioEngineCaptureService::startCapture() {
    if (m_isCapturing) throw AudioCaptureError(AudioCaptureErrorCase::captureAlreadyRunning);

    const ResolvedAudioInputDeviceSelection selection = selectInputDevice();
    const AudioStreamFormat inputFormat = m_engine.inputFormat(kBus);

    AudioStreamFormat converterInputFormat = inputFormat;
    if (inputFormat.channelCount >= 2) {
        converterInputFormat = AudioStreamFormat{AudioCommonFormat::float32, inputFormat.sampleRate, 1, false};
        if (!converterInputFormat.isUsable()) throw AudioCaptureError(AudioCaptureErrorCase::converterUnavailable);
    }
    const AudioStreamFormat targetFormat{AudioCommonFormat::int16, m_configuration.sampleRate,
                                         m_configuration.channelCount, true};
    if (!targetFormat.isUsable()) throw AudioCaptureError(AudioCaptureErrorCase::targetFormatUnavailable);
    std::shared_ptr<PCMBufferConverting> converter =
        m_converterFactory ? m_converterFactory(converterInputFormat, targetFormat) : nullptr;
    if (!converter) throw AudioCaptureError(AudioCaptureErrorCase::converterUnavailable);

    auto conversion = std::make_shared<const Conversion>(Conversion{converter, targetFormat, converterInputFormat});
    std::uint64_t sessionId = 0;
    std::optional<QString> preferredUid;
    {
        std::lock_guard guard(m_lock);
        sessionId = ++m_nextCaptureSessionId;
        m_activeCaptureSessionId = sessionId;
        m_pcmData.clear();
        m_capturedFrameCount = 0;
        m_conversion = conversion;
        preferredUid = m_preferredInputDeviceUid;
    }

    m_diagnosticLog.append(
        QStringLiteral("[startCapture] sessionID=%1 inputFormat=%2 targetFormat=%3 "
                       "converterInputFormat=%4")
            .arg(sessionId)
            .arg(formatSummary(inputFormat), formatSummary(targetFormat), formatSummary(converterInputFormat)));

    m_levelSubject.send(AudioLevelSnapshot::silent(m_levelSampler.bucketCount()));
    AudioCaptureDebugSnapshot snapshot;
    snapshot.requestedDeviceLabel = requestedDeviceDebugLabel(preferredUid, selection);
    snapshot.resolvedDeviceLabel = resolvedDeviceDebugLabel(selection);
    snapshot.inputFormatSummary = formatSummary(inputFormat);
    snapshot.targetFormatSummary = formatSummary(targetFormat);
    {
        std::lock_guard guard(m_lock);
        m_debugSnapshot = snapshot;
    }
    m_debugSubject.send(snapshot);

    m_engine.removeTap(kBus);
    m_engine.installTap(kBus, kTapBufferFrames, inputFormat,
                        [this, sessionId](const AudioPcmBuffer& buffer) { handleTapBuffer(buffer, sessionId); });
    std::string failure;
    try {
        m_engine.prepare();
        m_engine.start();
    } catch (const std::exception& error) {
        failure = error.what();
        if (failure.empty()) failure = "no reason given";
    } catch (...) {
        failure = "no reason given";
    }
    if (!failure.empty()) {
        m_engine.removeTap(kBus);
        endSession();
        throw AudioCaptureError(AudioCaptureErrorCase::engineStartFailed, failure);
    }
    m_isCapturing = true;
}

void AVAudioEngineCaptureService::endSession() {
    std::lock_guard guard(m_lock);
    m_activeCaptureSessionId.reset();
    m_conversion.reset();
}

void AVAudioEngineCaptureService::handleTapBuffer(const AudioPcmBuffer& buffer, std::uint64_t sessionId) {
    std::shared_ptr<const Conversion> conversion;
    {
        std::lock_guard guard(m_lock);
        if (!m_activeCaptureSessionId || *m_activeCaptureSessionId != sessionId) return;
        conversion = m_conversion;
    }
    if (!conversion || !conversion->converter) return;

    const std::vector<double> peaks = channelPeakMagnitudes(buffer);
    std::optional<AudioPcmBuffer> mono;
    const AudioPcmBuffer* converterInput = &buffer;
    if (buffer.format.channelCount > 1) {
        const int channel = loudestChannel(peaks, buffer.format.channelCount);
        mono = extractMonoChannel(buffer, channel, conversion->converterInputFormat);
        if (!mono) return;
        converterInput = &*mono;
    }
    recordInputObservation(buffer.frameLength, peaks);

    const std::uint32_t capacity =
        outputCapacity(converterInput->frameLength, converterInput->format.sampleRate, m_configuration.sampleRate);
    const auto output = conversion->converter->convert(*converterInput, conversion->targetFormat, capacity);
    if (!output) return;
    m_diagnosticLog.append(QStringLiteral("[consume] inputFrames=%1 outputFrames=%2 outputBytes=%3 sessionID=%4")
                               .arg(converterInput->frameLength)
                               .arg(output->frameLength)
                               .arg(output->firstBlockByteSize())
                               .arg(sessionId));
    consumeConvertedBuffer(*output);
}

void AVAudioEngineCaptureService::consumeConvertedBuffer(const AudioPcmBuffer& output) {
    const qsizetype bytes = output.firstBlockByteSize();
    if (bytes <= 0) return;
    const QByteArray& block = output.blocks.front();
    const auto* samples = reinterpret_cast<const std::int16_t*>(block.constData());
    const AudioLevelSnapshot levels = m_levelSampler.sample(samples, static_cast<std::size_t>(bytes / 2));
    {
        std::lock_guard guard(m_lock);
        m_pcmData.append(block.constData(), bytes);
        m_capturedFrameCount += output.frameLength;
    }
    m_levelSubject.send(levels);
    recordConvertedObservation(output.frameLength, levels.peakPower > 0);
}

void AVAudioEngineCaptureService::recordInputObservation(std::uint32_t frameLength, const std::vector<double>& peaks) {
    std::optional<AudioCaptureDebugSnapshot> toPublish;
    {
        std::lock_guard guard(m_lock);
        const auto hadSignal = [](const std::vector<double>& values) {
            for (double v : values) {
                if (v > 0) return true;
            }
            return false;
        };
        const bool hadSignalBefore = hadSignal(m_debugSnapshot.observedInputChannelPeakMagnitudes);
        m_debugSnapshot.observedInputChannelPeakMagnitudes =
            mergeChannelPeaks(m_debugSnapshot.observedInputChannelPeakMagnitudes, peaks);
        m_debugSnapshot.observedInputBufferCount += 1;
        m_debugSnapshot.lastObservedFrameLength = static_cast<int>(frameLength);
        m_debugSnapshot.didObserveAudioFrames = true;
        if (m_debugSnapshot.observedInputBufferCount == 1 ||
            (!hadSignalBefore && hadSignal(m_debugSnapshot.observedInputChannelPeakMagnitudes))) {
            toPublish = m_debugSnapshot;
        }
    }
    if (toPublish) m_debugSubject.send(*toPublish);
}

void AVAudioEngineCaptureService::recordConvertedObservation(std::uint32_t frameLength, bool nonSilent) {
    std::optional<AudioCaptureDebugSnapshot> toPublish;
    {
        std::lock_guard guard(m_lock);
        const bool firstNonSilent = nonSilent && !m_debugSnapshot.didObserveNonSilentAudio;
        m_debugSnapshot.observedConvertedBufferCount += 1;
        m_debugSnapshot.lastObservedFrameLength = static_cast<int>(frameLength);
        m_debugSnapshot.didObserveNonSilentAudio = m_debugSnapshot.didObserveNonSilentAudio || nonSilent;
        if (m_debugSnapshot.observedConvertedBufferCount == 1 || firstNonSilent) toPublish = m_debugSnapshot;
    }
    if (toPublish) m_debugSubject.send(*toPublish);
}

void AVAudioEngineCaptureService::publishRestingState() {
    m_levelSubject.send(AudioLevelSnapshot::silent(m_levelSampler.bucketCount()));
    m_debugSubject.send(debugSnapshot());
}

CapturedAudioClip AVAudioEngineCaptureService::stopCapture() {
    if (!m_isCapturing) throw AudioCaptureError(AudioCaptureErrorCase::captureNotRunning);
    {
        std::lock_guard guard(m_lock);
        m_activeCaptureSessionId.reset();
    }
    m_engine.removeTap(kBus);
    m_engine.stop();
    m_isCapturing = false;
    // The device went away or the sound server quit while recording: the clip would end early
    // without saying why, so the stop fails instead.
    if (const auto failure = m_engine.runFailure()) {
        endSession();
        m_diagnosticLog.append(
            QStringLiteral("[stopCapture] recording ended early: %1").arg(QString::fromStdString(*failure)));
        publishRestingState();
        throw AudioCaptureError(AudioCaptureErrorCase::engineStartFailed, *failure);
    }
    QByteArray pcm;
    std::int64_t frames = 0;
    {
        std::lock_guard guard(m_lock);
        m_conversion.reset();
        pcm = m_pcmData;
        frames = m_capturedFrameCount;
    }
    CapturedAudioClip clip;
    clip.data = m_wavEncoder.encode(pcm, m_configuration.sampleRate);
    clip.duration = static_cast<double>(frames) / m_configuration.sampleRate;
    clip.sampleRate = m_configuration.sampleRate;
    clip.channelCount = m_configuration.channelCount;
    clip.bitsPerSample = m_configuration.bitsPerSample;
    clip.fileExtension = m_configuration.containerFileExtension;

    if (m_diagnosticLog.enabled()) {
        m_diagnosticLog.append(QStringLiteral("[stopCapture] pcmDataBytes=%1 capturedFrameCount=%2 duration=%3 "
                                              "sampleRate=%4")
                                   .arg(pcm.size())
                                   .arg(frames)
                                   .arg(clip.duration, 0, 'f', 3)
                                   .arg(m_configuration.sampleRate, 0, 'f', 1));
        const AudioCaptureDebugSnapshot snapshot = debugSnapshot();
        const auto flag = [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); };
        m_diagnosticLog.append(QStringLiteral("[stopCapture] inputBuffers=%1 convertedBuffers=%2 didObserveFrames=%3 "
                                              "didObserveNonSilent=%4")
                                   .arg(snapshot.observedInputBufferCount)
                                   .arg(snapshot.observedConvertedBufferCount)
                                   .arg(flag(snapshot.didObserveAudioFrames), flag(snapshot.didObserveNonSilentAudio)));
    }
    publishRestingState();
    return clip;
}

void AVAudioEngineCaptureService::cancelCapture() {
    {
        std::lock_guard guard(m_lock);
        m_activeCaptureSessionId.reset();
    }
    m_engine.removeTap(kBus);
    m_engine.stop();
    m_isCapturing = false;
    {
        std::lock_guard guard(m_lock);
        m_conversion.reset();
        m_pcmData.clear();
        m_capturedFrameCount = 0;
    }
    publishRestingState();
}

void AVAudioEngineCaptureService::setPreferredInputDevice(const std::optional<QString>& uid) {
    std::lock_guard guard(m_lock);
    m_preferredInputDeviceUid = uid;
}

AudioCaptureDebugSnapshot AVAudioEngineCaptureService::debugSnapshot() const {
    std::lock_guard guard(m_lock);
    return m_debugSnapshot;
}

}  // namespace quorvelle
