#include "PulseAudioCaptureEngine.h"

#include <pulse/rtclock.h>

#include <stdexcept>

namespace quorvelle {

namespace {

constexpr int kServerTimeoutMs = 2000;
constexpr pa_usec_t kFragmentUsec = 10'000;

// Locks the main loop for a scope (callbacks run with it held).
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) { pa_threaded_mainloop_lock(m_loop); }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

// The encodings the converter reads as they are; the server converts any other into Float32.
pa_sample_spec recordableSampleFormat(pa_sample_spec sampleFormat) {
    if (sampleFormat.format != PA_SAMPLE_S16NE && sampleFormat.format != PA_SAMPLE_S32NE &&
        sampleFormat.format != PA_SAMPLE_FLOAT32NE) {
        sampleFormat.format = PA_SAMPLE_FLOAT32NE;
    }
    return sampleFormat;
}

AudioStreamFormat toStreamFormat(const pa_sample_spec& sampleFormat) {
    AudioStreamFormat format;
    switch (sampleFormat.format) {
        case PA_SAMPLE_S16NE: format.commonFormat = AudioCommonFormat::int16; break;
        case PA_SAMPLE_S32NE: format.commonFormat = AudioCommonFormat::int32; break;
        default: format.commonFormat = AudioCommonFormat::float32; break;
    }
    format.sampleRate = sampleFormat.rate;
    format.channelCount = sampleFormat.channels;
    format.interleaved = true;
    return format;
}

std::string reason(pa_context* context) {
    return context ? pa_strerror(pa_context_errno(context)) : "no connection";
}

struct SourceQuery {
    pa_threaded_mainloop* loop = nullptr;
    bool done = false;
    bool found = false;
    std::string name;
    pa_sample_spec sampleFormat{};
    pa_channel_map channels{};
};

void onSourceInfo(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    auto* query = static_cast<SourceQuery*>(userdata);
    if (eol == 0 && info && info->name) {
        try {
            query->name = info->name;
            query->found = true;
        } catch (...) {
        }
        query->sampleFormat = info->sample_spec;
        query->channels = info->channel_map;
    } else if (eol != 0) {
        query->done = true;
    }
    pa_threaded_mainloop_signal(query->loop, 0);
}

struct Deadline {
    pa_threaded_mainloop* loop = nullptr;
    bool passed = false;
};

void onDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) {
    auto* deadline = static_cast<Deadline*>(userdata);
    deadline->passed = true;
    pa_threaded_mainloop_signal(deadline->loop, 0);
}

}  // namespace

PulseAudioCaptureEngine::PulseAudioCaptureEngine() {
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop) return;
    pa_threaded_mainloop_set_name(m_loop, "quorvelle-audio");
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        return;
    }
    // Connecting now spares the first dictation the handshake; a failure here is retried at start.
    LoopLock lock(m_loop);
    try {
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Quorvelle");
        if (m_context) {
            pa_context_set_state_callback(m_context, &PulseAudioCaptureEngine::onContextState, this);
            pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
        }
    } catch (...) {
    }
}

PulseAudioCaptureEngine::~PulseAudioCaptureEngine() {
    if (!m_loop) return;
    {
        LoopLock lock(m_loop);
        closeStream();
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

template <typename Done>
bool PulseAudioCaptureEngine::waitFor(Done done, int timeoutMs) {
    if (done()) return true;
    Deadline deadline{m_loop, false};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    pa_time_event* event = pa_context_rttime_new(
        m_context, pa_rtclock_now() + static_cast<pa_usec_t>(timeoutMs) * PA_USEC_PER_MSEC, &onDeadline, &deadline);
    if (!event) return false;
    while (!done() && !deadline.passed)
        pa_threaded_mainloop_wait(m_loop);
    api->time_free(event);
    return done();
}

void PulseAudioCaptureEngine::ensureConnected() {
    if (!m_loop) throw std::runtime_error("cannot run the sound server's main loop");
    if (m_context) {
        const pa_context_state_t state = pa_context_get_state(m_context);
        if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
    }
    if (!m_context) {
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Quorvelle");
        if (!m_context) throw std::runtime_error("cannot make a sound server connection");
        pa_context_set_state_callback(m_context, &PulseAudioCaptureEngine::onContextState, this);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            throw std::runtime_error("no sound server: " + reason(m_context));
        }
    }
    const auto settled = [this] {
        const pa_context_state_t state = pa_context_get_state(m_context);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    };
    waitFor(settled, kServerTimeoutMs);
    if (pa_context_get_state(m_context) != PA_CONTEXT_READY) {
        throw std::runtime_error("no sound server: " + reason(m_context));
    }
}

PulseAudioCaptureEngine::Source PulseAudioCaptureEngine::lookUpSource(const char* name,
                                                                      std::optional<std::uint32_t> index) {
    ensureConnected();
    SourceQuery query;
    query.loop = m_loop;
    pa_operation* operation = index ? pa_context_get_source_info_by_index(m_context, *index, &onSourceInfo, &query)
                                    : pa_context_get_source_info_by_name(m_context, name, &onSourceInfo, &query);
    if (!operation) throw std::runtime_error("the sound server refused the question: " + reason(m_context));
    const bool answered = waitFor([&] { return query.done; }, kServerTimeoutMs);
    if (!answered) pa_operation_cancel(operation);
    pa_operation_unref(operation);
    if (!answered) throw std::runtime_error("the sound server did not answer");
    if (!query.found) throw std::runtime_error("no such microphone on the sound server");
    return Source{query.name, query.sampleFormat, query.channels};
}

void PulseAudioCaptureEngine::setInputDevice(std::uint32_t deviceId) {
    if (!m_loop) throw std::runtime_error("cannot run the sound server's main loop");
    LoopLock lock(m_loop);
    m_chosen = lookUpSource(nullptr, deviceId);
}

AudioStreamFormat PulseAudioCaptureEngine::inputFormat(int) {
    std::optional<LoopLock> lock;
    if (m_loop) lock.emplace(m_loop);  // the stream's callbacks read the source too
    m_recordFrom = m_chosen;
    if (m_loop && !m_recordFrom) {
        try {
            m_recordFrom = lookUpSource("@DEFAULT_SOURCE@", std::nullopt);
        } catch (const std::exception&) {
            // Without a server there is no format to report; start() says why it cannot record.
        }
    }
    if (!m_recordFrom) return AudioStreamFormat{AudioCommonFormat::int16, 16000, 1, true};
    return toStreamFormat(recordableSampleFormat(m_recordFrom->sampleFormat));
}

void PulseAudioCaptureEngine::installTap(int, std::uint32_t bufferSize, const AudioStreamFormat& format,
                                         TapBlock block) {
    std::lock_guard guard(m_tapMutex);
    m_tap = std::move(block);
    m_tapFormat = format;
    m_tapFrames = bufferSize > 0 ? bufferSize : 1024;
}

void PulseAudioCaptureEngine::removeTap(int) {
    std::lock_guard guard(m_tapMutex);
    m_tap = nullptr;
}

void PulseAudioCaptureEngine::prepare() {
    if (!m_loop) throw std::runtime_error("cannot run the sound server's main loop");
    LoopLock lock(m_loop);
    ensureConnected();
}

void PulseAudioCaptureEngine::start() {
    if (!m_loop) throw std::runtime_error("cannot run the sound server's main loop");
    LoopLock lock(m_loop);
    closeStream();
    m_runFailure.reset();
    ensureConnected();

    // The stream must carry what the tap was told: the format reported by inputFormat().
    const pa_sample_spec sampleFormat =
        m_recordFrom ? recordableSampleFormat(m_recordFrom->sampleFormat) : pa_sample_spec{PA_SAMPLE_S16NE, 16000, 1};
    {
        std::lock_guard guard(m_tapMutex);
        if (toStreamFormat(sampleFormat) != m_tapFormat) throw std::runtime_error("the tap expects another format");
    }
    const pa_channel_map* channels = m_recordFrom ? &m_recordFrom->channels : nullptr;
    m_stream = pa_stream_new(m_context, "Dictation", &sampleFormat, channels);
    if (!m_stream) throw std::runtime_error("cannot make a record stream: " + reason(m_context));
    pa_stream_set_state_callback(m_stream, &PulseAudioCaptureEngine::onStreamState, this);
    pa_stream_set_read_callback(m_stream, &PulseAudioCaptureEngine::onStreamRead, this);

    pa_buffer_attr attributes;
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(kFragmentUsec, &sampleFormat));
    // A vanished device ends the stream instead of moving it to another microphone unasked.
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    const char* device = m_recordFrom ? m_recordFrom->name.c_str() : nullptr;
    if (pa_stream_connect_record(m_stream, device, &attributes, flags) < 0) {
        const std::string why = reason(m_context);
        closeStream();
        throw std::runtime_error("the microphone did not open: " + why);
    }
    const auto settled = [this] {
        const pa_stream_state_t state = pa_stream_get_state(m_stream);
        return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
    };
    const bool answered = waitFor(settled, kServerTimeoutMs);
    if (!answered || pa_stream_get_state(m_stream) != PA_STREAM_READY) {
        const std::string why = answered ? reason(m_context) : "the sound server did not answer";
        closeStream();
        m_runFailure.reset();
        throw std::runtime_error("the microphone did not open: " + why);
    }
}

void PulseAudioCaptureEngine::stop() {
    if (!m_loop) return;
    LoopLock lock(m_loop);
    closeStream();
}

std::optional<std::string> PulseAudioCaptureEngine::runFailure() const {
    if (!m_loop) return std::nullopt;
    LoopLock lock(m_loop);
    return m_runFailure;
}

void PulseAudioCaptureEngine::closeStream() {
    if (!m_stream) return;
    pa_stream_set_read_callback(m_stream, nullptr, nullptr);
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream))) pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
    m_pending.clear();
}

void PulseAudioCaptureEngine::onContextState(pa_context* context, void* userdata) {
    auto* self = static_cast<PulseAudioCaptureEngine*>(userdata);
    const pa_context_state_t state = pa_context_get_state(context);
    if (!PA_CONTEXT_IS_GOOD(state) && self->m_stream) {
        try {
            self->m_runFailure = "the sound server went away during the recording (" + reason(context) + ")";
        } catch (...) {
        }
    }
    pa_threaded_mainloop_signal(self->m_loop, 0);
}

void PulseAudioCaptureEngine::onStreamState(pa_stream* stream, void* userdata) {
    auto* self = static_cast<PulseAudioCaptureEngine*>(userdata);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (!PA_STREAM_IS_GOOD(state) && stream == self->m_stream && !self->m_runFailure) {
        try {
            const std::string device = self->m_recordFrom ? self->m_recordFrom->name : "in use";
            self->m_runFailure = "the microphone " + device + " went away during the recording (" +
                                 reason(pa_stream_get_context(stream)) + ")";
        } catch (...) {
        }
    }
    pa_threaded_mainloop_signal(self->m_loop, 0);
}

void PulseAudioCaptureEngine::onStreamRead(pa_stream* stream, std::size_t, void* userdata) {
    auto* self = static_cast<PulseAudioCaptureEngine*>(userdata);
    while (pa_stream_readable_size(stream) > 0) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) return;
        // A hole (no data) means the server lost audio; what follows is still delivered.
        if (data) self->deliver(data, bytes);
        pa_stream_drop(stream);
    }
}

void PulseAudioCaptureEngine::deliver(const void* data, std::size_t bytes) noexcept {
    std::lock_guard guard(m_tapMutex);
    if (!m_tap) return;
    try {
        m_pending.append(static_cast<const char*>(data), static_cast<qsizetype>(bytes));
        const qsizetype frameBytes = m_tapFormat.bytesPerFrameInBlock();
        if (frameBytes <= 0) {
            m_pending.clear();
            return;
        }
        const qsizetype chunkBytes = frameBytes * m_tapFrames;
        qsizetype offset = 0;
        while (m_pending.size() - offset >= frameBytes) {
            const qsizetype take = std::min(chunkBytes, (m_pending.size() - offset) / frameBytes * frameBytes);
            AudioPcmBuffer buffer;
            buffer.format = m_tapFormat;
            buffer.frameLength = static_cast<std::uint32_t>(take / frameBytes);
            buffer.blocks.push_back(m_pending.mid(offset, take));
            offset += take;
            // A buffer the tap could not take is dropped; the recording goes on.
            try {
                m_tap(buffer);
            } catch (...) {
            }
        }
        m_pending.remove(0, offset);
    } catch (...) {
        m_pending.clear();
    }
}

}  // namespace quorvelle
