#include "PulseAudioDeviceService.h"

#include <pulse/pulseaudio.h>

#include <QElapsedTimer>
#include <QMediaDevices>

namespace quorvelle {

namespace {

constexpr int kServerTimeoutMs = 500;
// Ids of devices the server did not number stay clear of its small indexes.
constexpr std::uint32_t kUnnumberedBase = 0x40000000;

struct QueryState {
    PulseAudioDeviceService::ServerView view;
    int pending = 0;
    bool failed = false;
};

void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
    auto* state = static_cast<QueryState*>(userdata);
    if (info && info->default_source_name) state->view.defaultSourceName = QString::fromUtf8(info->default_source_name);
    state->pending -= 1;
}

void onSourceInfo(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    auto* state = static_cast<QueryState*>(userdata);
    if (eol != 0) {
        if (eol < 0) state->failed = true;
        state->pending -= 1;
        return;
    }
    if (info && info->name) state->view.sourceIndexByName.insert(QString::fromUtf8(info->name), info->index);
}

}  // namespace

std::optional<PulseAudioDeviceService::ServerView> PulseAudioDeviceService::queryServer() {
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop) return std::nullopt;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Quorvelle device list");
    std::optional<ServerView> result;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        QueryState state;
        bool asked = false;
        QElapsedTimer timer;
        timer.start();
        // Drive the loop by hand with short polls so a silent server cannot hang the caller.
        while (timer.elapsed() < kServerTimeoutMs) {
            const pa_context_state_t contextState = pa_context_get_state(context);
            if (contextState == PA_CONTEXT_FAILED || contextState == PA_CONTEXT_TERMINATED) break;
            if (contextState == PA_CONTEXT_READY && !asked) {
                asked = true;
                state.pending = 2;
                pa_operation* a = pa_context_get_server_info(context, onServerInfo, &state);
                pa_operation* b = pa_context_get_source_info_list(context, onSourceInfo, &state);
                if (a) pa_operation_unref(a);
                if (b) pa_operation_unref(b);
                if (!a || !b) break;
            }
            if (asked && state.pending <= 0) {
                if (!state.failed) result = state.view;
                break;
            }
            if (pa_mainloop_prepare(loop, 20000) < 0 || pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0) {
                break;
            }
        }
        pa_context_disconnect(context);
    }
    if (context) pa_context_unref(context);
    pa_mainloop_free(loop);
    return result;
}

QList<AudioDeviceInfo> PulseAudioDeviceService::makeList(const QList<QAudioDevice>& devices,
                                                         const std::optional<ServerView>& server) {
    QList<AudioDeviceInfo> list;
    std::uint32_t position = 0;
    for (const QAudioDevice& device : devices) {
        AudioDeviceInfo info;
        const QString name = QString::fromUtf8(device.id());
        if (server && server->sourceIndexByName.contains(name))
            info.id = server->sourceIndexByName.value(name);
        else
            info.id = kUnnumberedBase + position;
        info.uid = name.isEmpty() ? QStringLiteral("audio-device-%1").arg(info.id) : name;
        info.name = device.description().isEmpty() ? QStringLiteral("Bilinmeyen Cihaz") : device.description();
        info.isDefault =
            server && !server->defaultSourceName.isEmpty() ? name == server->defaultSourceName : device.isDefault();
        list.append(info);
        ++position;
    }
    return list;
}

QList<AudioDeviceInfo> PulseAudioDeviceService::inputDevices() const {
    return makeList(QMediaDevices::audioInputs(), queryServer());
}

}  // namespace quorvelle
