#include "QtAudioSourceEngine.h"

#include <QAudioSource>
#include <QMediaDevices>
#include <QMetaObject>

#include <stdexcept>

namespace quorvelle {

// Owns the QAudioSource on the audio thread.
class QtAudioSourceWorker : public QObject {
public:
    explicit QtAudioSourceWorker(QtAudioSourceEngine& engine) : m_engine(engine) {}

    bool open(const QAudioDevice& device, const QAudioFormat& format) {
        close();
        m_source = new QAudioSource(device, format, this);
        // About 20 ms of audio per read keeps the first buffer early.
        m_source->setBufferSize(format.bytesForDuration(20000));
        m_io = m_source->start();
        if (!m_io || m_source->error() != QAudio::NoError) {
            close();
            return false;
        }
        QObject::connect(m_io, &QIODevice::readyRead, this, [this] {
            if (m_io) m_engine.deliver(m_io->readAll());
        });
        return true;
    }

    void close() {
        if (!m_source) return;
        m_source->stop();
        delete m_source;
        m_source = nullptr;
        m_io = nullptr;
    }

    ~QtAudioSourceWorker() override { close(); }

private:
    QtAudioSourceEngine& m_engine;
    QAudioSource* m_source = nullptr;
    QIODevice* m_io = nullptr;
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
    : m_deviceForId(std::move(deviceForId)) {
    m_thread.setObjectName(QStringLiteral("quorvelle-audio"));
    m_thread.start();
    m_worker = new QtAudioSourceWorker(*this);
    m_worker->moveToThread(&m_thread);
}

QtAudioSourceEngine::~QtAudioSourceEngine() {
    stop();
    QMetaObject::invokeMethod(
        m_worker, [this] { delete m_worker; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

QAudioDevice QtAudioSourceEngine::currentDevice() const {
    return m_device ? *m_device : QMediaDevices::defaultAudioInput();
}

void QtAudioSourceEngine::setInputDevice(std::uint32_t deviceId) {
    auto device = m_deviceForId ? m_deviceForId(deviceId) : std::nullopt;
    if (!device || device->isNull()) throw std::runtime_error("input device not available");
    m_device = device;
}

AudioStreamFormat QtAudioSourceEngine::inputFormat(int) {
    return fromQt(currentDevice().preferredFormat());
}

void QtAudioSourceEngine::installTap(int, std::uint32_t bufferSize, const AudioStreamFormat& format, TapBlock block) {
    std::lock_guard guard(m_tapMutex);
    m_tap = std::move(block);
    m_tapFormat = format;
    m_tapFrames = bufferSize > 0 ? bufferSize : 1024;
}

void QtAudioSourceEngine::removeTap(int) {
    std::lock_guard guard(m_tapMutex);
    m_tap = nullptr;
}

void QtAudioSourceEngine::start() {
    const QAudioDevice device = currentDevice();
    AudioStreamFormat format;
    {
        std::lock_guard guard(m_tapMutex);
        format = m_tapFormat;
    }
    if (device.isNull() || !format.isUsable()) throw std::runtime_error("no usable input");
    bool opened = false;
    QMetaObject::invokeMethod(
        m_worker, [&] { opened = m_worker->open(device, toQt(format)); }, Qt::BlockingQueuedConnection);
    if (!opened) throw std::runtime_error("audio source did not start");
}

void QtAudioSourceEngine::stop() {
    QMetaObject::invokeMethod(
        m_worker,
        [this] {
            m_worker->close();
            m_pending.clear();
        },
        Qt::BlockingQueuedConnection);
}

void QtAudioSourceEngine::deliver(const QByteArray& bytes) {
    std::lock_guard guard(m_tapMutex);
    if (!m_tap) return;
    m_pending.append(bytes);
    const qsizetype frameBytes = m_tapFormat.bytesPerFrameInBlock();
    if (frameBytes <= 0) return;
    const qsizetype chunkBytes = frameBytes * m_tapFrames;
    qsizetype offset = 0;
    while (m_pending.size() - offset >= frameBytes) {
        const qsizetype take = std::min(chunkBytes, (m_pending.size() - offset) / frameBytes * frameBytes);
        AudioPcmBuffer buffer;
        buffer.format = m_tapFormat;
        buffer.frameLength = static_cast<std::uint32_t>(take / frameBytes);
        buffer.blocks.push_back(m_pending.mid(offset, take));
        offset += take;
        // This runs in a slot of the audio thread, where an exception would end the process and
        // the recording with it: a buffer the tap could not take is dropped instead.
        try {
            m_tap(buffer);
        } catch (...) {
        }
    }
    m_pending.remove(0, offset);
}

}  // namespace quorvelle
