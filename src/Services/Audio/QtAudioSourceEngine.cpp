#include "QtAudioSourceEngine.h"

#include <QAudioSource>
#include <QMediaDevices>
#include <QMetaObject>

#include <stdexcept>

namespace quorvelle {

// Owns the QAudioSource on the audio thread.
class QtAudioSourceWorker : public QObject {
public:
    explicit QtAudioSourceWorker(QtAudioSourceEngine& engine) : engine_(engine) {}

    bool open(const QAudioDevice& device, const QAudioFormat& format) {
        close();
        source_ = new QAudioSource(device, format, this);
        // About 20 ms of audio per read keeps the first buffer early.
        source_->setBufferSize(format.bytesForDuration(20000));
        io_ = source_->start();
        if (!io_ || source_->error() != QAudio::NoError) {
            close();
            return false;
        }
        QObject::connect(io_, &QIODevice::readyRead, this, [this] {
            if (io_) engine_.deliver(io_->readAll());
        });
        return true;
    }

    void close() {
        if (!source_) return;
        source_->stop();
        delete source_;
        source_ = nullptr;
        io_ = nullptr;
    }

    ~QtAudioSourceWorker() override { close(); }

private:
    QtAudioSourceEngine& engine_;
    QAudioSource* source_ = nullptr;
    QIODevice* io_ = nullptr;
};

namespace {

AudioStreamFormat fromQt(const QAudioFormat& format) {
    AudioStreamFormat result;
    switch (format.sampleFormat()) {
        case QAudioFormat::Int16: result.commonFormat = AudioCommonFormat::int16; break;
        case QAudioFormat::Int32: result.commonFormat = AudioCommonFormat::int32; break;
        case QAudioFormat::Float: result.commonFormat = AudioCommonFormat::float32; break;
        default: result.commonFormat = AudioCommonFormat::other; break;
    }
    result.sampleRate = format.sampleRate();
    result.channelCount = format.channelCount();
    result.interleaved = true;  // Qt always hands over interleaved frames
    return result;
}

QAudioFormat toQt(const AudioStreamFormat& format) {
    QAudioFormat result;
    result.setSampleRate(static_cast<int>(format.sampleRate));
    result.setChannelCount(format.channelCount);
    switch (format.commonFormat) {
        case AudioCommonFormat::int16: result.setSampleFormat(QAudioFormat::Int16); break;
        case AudioCommonFormat::int32: result.setSampleFormat(QAudioFormat::Int32); break;
        case AudioCommonFormat::float32: result.setSampleFormat(QAudioFormat::Float); break;
        default: result.setSampleFormat(QAudioFormat::Unknown); break;
    }
    return result;
}

}  // namespace

QtAudioSourceEngine::QtAudioSourceEngine(std::function<std::optional<QAudioDevice>(std::uint32_t)> deviceForId)
    : deviceForId_(std::move(deviceForId)) {
    thread_.setObjectName(QStringLiteral("quorvelle-audio"));
    thread_.start();
    worker_ = new QtAudioSourceWorker(*this);
    worker_->moveToThread(&thread_);
}

QtAudioSourceEngine::~QtAudioSourceEngine() {
    stop();
    QMetaObject::invokeMethod(worker_, [this] { delete worker_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

QAudioDevice QtAudioSourceEngine::currentDevice() const {
    return device_ ? *device_ : QMediaDevices::defaultAudioInput();
}

void QtAudioSourceEngine::setInputDevice(std::uint32_t deviceId) {
    auto device = deviceForId_ ? deviceForId_(deviceId) : std::nullopt;
    if (!device || device->isNull()) throw std::runtime_error("input device not available");
    device_ = device;
}

AudioStreamFormat QtAudioSourceEngine::inputFormat(int) { return fromQt(currentDevice().preferredFormat()); }

void QtAudioSourceEngine::installTap(int, std::uint32_t bufferSize, const AudioStreamFormat& format, TapBlock block) {
    std::lock_guard guard(tapMutex_);
    tap_ = std::move(block);
    tapFormat_ = format;
    tapFrames_ = bufferSize > 0 ? bufferSize : 1024;
}

void QtAudioSourceEngine::removeTap(int) {
    std::lock_guard guard(tapMutex_);
    tap_ = nullptr;
}

void QtAudioSourceEngine::start() {
    const QAudioDevice device = currentDevice();
    AudioStreamFormat format;
    {
        std::lock_guard guard(tapMutex_);
        format = tapFormat_;
    }
    if (device.isNull() || !format.isUsable()) throw std::runtime_error("no usable input");
    bool opened = false;
    QMetaObject::invokeMethod(
        worker_, [&] { opened = worker_->open(device, toQt(format)); }, Qt::BlockingQueuedConnection);
    if (!opened) throw std::runtime_error("audio source did not start");
}

void QtAudioSourceEngine::stop() {
    QMetaObject::invokeMethod(worker_, [this] { worker_->close(); pending_.clear(); }, Qt::BlockingQueuedConnection);
}

void QtAudioSourceEngine::deliver(const QByteArray& bytes) {
    std::lock_guard guard(tapMutex_);
    if (!tap_) return;
    pending_.append(bytes);
    const qsizetype frameBytes = tapFormat_.bytesPerFrameInBlock();
    if (frameBytes <= 0) return;
    const qsizetype chunkBytes = frameBytes * tapFrames_;
    qsizetype offset = 0;
    while (pending_.size() - offset >= frameBytes) {
        const qsizetype take = std::min(chunkBytes, (pending_.size() - offset) / frameBytes * frameBytes);
        AudioPcmBuffer buffer;
        buffer.format = tapFormat_;
        buffer.frameLength = static_cast<std::uint32_t>(take / frameBytes);
        buffer.blocks.push_back(pending_.mid(offset, take));
        offset += take;
        // This runs in a slot of the audio thread, where an exception would end the process and
        // the recording with it: a buffer the tap could not take is dropped instead.
        try {
            tap_(buffer);
        } catch (...) {
        }
    }
    pending_.remove(0, offset);
}

}  // namespace quorvelle
