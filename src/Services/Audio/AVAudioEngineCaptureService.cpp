#include "AVAudioEngineCaptureService.h"

#include "Services/Audio/AudioCaptureError.h"

#include <cmath>
#include <limits>

namespace quorvelle {

namespace {

constexpr int kBus = 0;
constexpr std::uint32_t kTapBufferFrames = 1024;

}  // namespace

AVAudioEngineCaptureService::AVAudioEngineCaptureService(AudioCaptureEngineRunning& engine,
                                                         AudioCaptureConfiguration configuration,
                                                         const AudioDeviceListing& devices,
                                                         const WAVFileEncoding& wavEncoder,
                                                         PCMBufferConverterFactory converterFactory,
                                                         CaptureDiagnosticLog diagnosticLog)
    : engine_(engine),
      configuration_(std::move(configuration)),
      devices_(devices),
      wavEncoder_(wavEncoder),
      converterFactory_(std::move(converterFactory)),
      diagnosticLog_(std::move(diagnosticLog)) {}

AVAudioEngineCaptureService::~AVAudioEngineCaptureService() {
    // The tap refers to this object: take it down before the object goes.
    if (isCapturing_) {
        endSession();
        engine_.removeTap(kBus);
        engine_.stop();
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
        std::lock_guard guard(lock_);
        uid = preferredInputDeviceUid_;
    }
    std::optional<AudioInputDevicePreference> preference;
    if (uid) preference = AudioInputDevicePreference{*uid, QString()};
    const auto selection = ResolvedAudioInputDeviceSelection::resolve(preference, devices_.inputDevices());
    if (const auto device = selection.deviceToApply()) {
        try {
            engine_.setInputDevice(device->id);
        } catch (...) {
            throw AudioCaptureError(AudioCaptureErrorCase::inputDeviceSelectionFailed);
        }
    }
    return selection;
}

void AVAudioEngineCaptureService::startCapture() {
    if (isCapturing_) throw AudioCaptureError(AudioCaptureErrorCase::captureAlreadyRunning);

    const ResolvedAudioInputDeviceSelection selection = selectInputDevice();
    const AudioStreamFormat inputFormat = engine_.inputFormat(kBus);

    AudioStreamFormat converterInputFormat = inputFormat;
    if (inputFormat.channelCount >= 2) {
        converterInputFormat = AudioStreamFormat{AudioCommonFormat::float32, inputFormat.sampleRate, 1, false};
        if (!converterInputFormat.isUsable()) throw AudioCaptureError(AudioCaptureErrorCase::converterUnavailable);
    }
    const AudioStreamFormat targetFormat{AudioCommonFormat::int16, configuration_.sampleRate,
                                         configuration_.channelCount, true};
    if (!targetFormat.isUsable()) throw AudioCaptureError(AudioCaptureErrorCase::targetFormatUnavailable);
    std::shared_ptr<PCMBufferConverting> converter =
        converterFactory_ ? converterFactory_(converterInputFormat, targetFormat) : nullptr;
    if (!converter) throw AudioCaptureError(AudioCaptureErrorCase::converterUnavailable);

    auto conversion = std::make_shared<const Conversion>(Conversion{converter, targetFormat, converterInputFormat});
    std::uint64_t sessionId = 0;
    std::optional<QString> preferredUid;
    {
        std::lock_guard guard(lock_);
        sessionId = ++nextCaptureSessionId_;
        activeCaptureSessionId_ = sessionId;
        pcmData_.clear();
        capturedFrameCount_ = 0;
        conversion_ = conversion;
        preferredUid = preferredInputDeviceUid_;
    }

    diagnosticLog_.append(QStringLiteral("[startCapture] sessionID=%1 inputFormat=%2 targetFormat=%3 "
                                         "converterInputFormat=%4")
                              .arg(sessionId)
                              .arg(formatSummary(inputFormat), formatSummary(targetFormat),
                                   formatSummary(converterInputFormat)));

    levelSubject_.send(AudioLevelSnapshot::silent(levelSampler_.bucketCount()));
    AudioCaptureDebugSnapshot snapshot;
    snapshot.requestedDeviceLabel = requestedDeviceDebugLabel(preferredUid, selection);
    snapshot.resolvedDeviceLabel = resolvedDeviceDebugLabel(selection);
    snapshot.inputFormatSummary = formatSummary(inputFormat);
    snapshot.targetFormatSummary = formatSummary(targetFormat);
    {
        std::lock_guard guard(lock_);
        debugSnapshot_ = snapshot;
    }
    debugSubject_.send(snapshot);

    engine_.removeTap(kBus);
    engine_.installTap(kBus, kTapBufferFrames, inputFormat,
                       [this, sessionId](const AudioPcmBuffer& buffer) { handleTapBuffer(buffer, sessionId); });
    try {
        engine_.prepare();
        engine_.start();
    } catch (...) {
        engine_.removeTap(kBus);
        endSession();
        throw AudioCaptureError(AudioCaptureErrorCase::engineStartFailed);
    }
    isCapturing_ = true;
}

void AVAudioEngineCaptureService::endSession() {
    std::lock_guard guard(lock_);
    activeCaptureSessionId_.reset();
    conversion_.reset();
}

void AVAudioEngineCaptureService::handleTapBuffer(const AudioPcmBuffer& buffer, std::uint64_t sessionId) {
    std::shared_ptr<const Conversion> conversion;
    {
        std::lock_guard guard(lock_);
        if (!activeCaptureSessionId_ || *activeCaptureSessionId_ != sessionId) return;
        conversion = conversion_;
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

    const std::uint32_t capacity = outputCapacity(converterInput->frameLength, converterInput->format.sampleRate,
                                                  configuration_.sampleRate);
    const auto output = conversion->converter->convert(*converterInput, conversion->targetFormat, capacity);
    if (!output) return;
    diagnosticLog_.append(QStringLiteral("[consume] inputFrames=%1 outputFrames=%2 outputBytes=%3 sessionID=%4")
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
    const AudioLevelSnapshot levels = levelSampler_.sample(samples, static_cast<std::size_t>(bytes / 2));
    {
        std::lock_guard guard(lock_);
        pcmData_.append(block.constData(), bytes);
        capturedFrameCount_ += output.frameLength;
    }
    levelSubject_.send(levels);
    recordConvertedObservation(output.frameLength, levels.peakPower > 0);
}

void AVAudioEngineCaptureService::recordInputObservation(std::uint32_t frameLength, const std::vector<double>& peaks) {
    std::optional<AudioCaptureDebugSnapshot> toPublish;
    {
        std::lock_guard guard(lock_);
        const auto hadSignal = [](const std::vector<double>& values) {
            for (double v : values) {
                if (v > 0) return true;
            }
            return false;
        };
        const bool hadSignalBefore = hadSignal(debugSnapshot_.observedInputChannelPeakMagnitudes);
        debugSnapshot_.observedInputChannelPeakMagnitudes =
            mergeChannelPeaks(debugSnapshot_.observedInputChannelPeakMagnitudes, peaks);
        debugSnapshot_.observedInputBufferCount += 1;
        debugSnapshot_.lastObservedFrameLength = static_cast<int>(frameLength);
        debugSnapshot_.didObserveAudioFrames = true;
        if (debugSnapshot_.observedInputBufferCount == 1 ||
            (!hadSignalBefore && hadSignal(debugSnapshot_.observedInputChannelPeakMagnitudes))) {
            toPublish = debugSnapshot_;
        }
    }
    if (toPublish) debugSubject_.send(*toPublish);
}

void AVAudioEngineCaptureService::recordConvertedObservation(std::uint32_t frameLength, bool nonSilent) {
    std::optional<AudioCaptureDebugSnapshot> toPublish;
    {
        std::lock_guard guard(lock_);
        const bool firstNonSilent = nonSilent && !debugSnapshot_.didObserveNonSilentAudio;
        debugSnapshot_.observedConvertedBufferCount += 1;
        debugSnapshot_.lastObservedFrameLength = static_cast<int>(frameLength);
        debugSnapshot_.didObserveNonSilentAudio = debugSnapshot_.didObserveNonSilentAudio || nonSilent;
        if (debugSnapshot_.observedConvertedBufferCount == 1 || firstNonSilent) toPublish = debugSnapshot_;
    }
    if (toPublish) debugSubject_.send(*toPublish);
}

void AVAudioEngineCaptureService::publishRestingState() {
    levelSubject_.send(AudioLevelSnapshot::silent(levelSampler_.bucketCount()));
    debugSubject_.send(debugSnapshot());
}

CapturedAudioClip AVAudioEngineCaptureService::stopCapture() {
    if (!isCapturing_) throw AudioCaptureError(AudioCaptureErrorCase::captureNotRunning);
    {
        std::lock_guard guard(lock_);
        activeCaptureSessionId_.reset();
    }
    engine_.removeTap(kBus);
    engine_.stop();
    isCapturing_ = false;
    QByteArray pcm;
    std::int64_t frames = 0;
    {
        std::lock_guard guard(lock_);
        conversion_.reset();
        pcm = pcmData_;
        frames = capturedFrameCount_;
    }
    CapturedAudioClip clip;
    clip.data = wavEncoder_.encode(pcm, configuration_.sampleRate);
    clip.duration = static_cast<double>(frames) / configuration_.sampleRate;
    clip.sampleRate = configuration_.sampleRate;
    clip.channelCount = configuration_.channelCount;
    clip.bitsPerSample = configuration_.bitsPerSample;
    clip.fileExtension = configuration_.containerFileExtension;

    if (diagnosticLog_.enabled()) {
        diagnosticLog_.append(QStringLiteral("[stopCapture] pcmDataBytes=%1 capturedFrameCount=%2 duration=%3 "
                                             "sampleRate=%4")
                                  .arg(pcm.size())
                                  .arg(frames)
                                  .arg(clip.duration, 0, 'f', 3)
                                  .arg(configuration_.sampleRate, 0, 'f', 1));
        const AudioCaptureDebugSnapshot snapshot = debugSnapshot();
        const auto flag = [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); };
        diagnosticLog_.append(QStringLiteral("[stopCapture] inputBuffers=%1 convertedBuffers=%2 didObserveFrames=%3 "
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
        std::lock_guard guard(lock_);
        activeCaptureSessionId_.reset();
    }
    engine_.removeTap(kBus);
    engine_.stop();
    isCapturing_ = false;
    {
        std::lock_guard guard(lock_);
        conversion_.reset();
        pcmData_.clear();
        capturedFrameCount_ = 0;
    }
    publishRestingState();
}

void AVAudioEngineCaptureService::setPreferredInputDevice(const std::optional<QString>& uid) {
    std::lock_guard guard(lock_);
    preferredInputDeviceUid_ = uid;
}

AudioCaptureDebugSnapshot AVAudioEngineCaptureService::debugSnapshot() const {
    std::lock_guard guard(lock_);
    return debugSnapshot_;
}

}  // namespace quorvelle
