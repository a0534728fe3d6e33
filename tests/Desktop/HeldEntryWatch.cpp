#include "HeldEntryWatch.h"

#include <QDir>
#include <QFile>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

namespace quorvelle::test {

HeldEntryWatch::HeldEntryWatch(const QString& historyFolder, std::function<void()> onHeld)
    : m_onHeld(std::move(onHeld)) {
    QDir().mkpath(historyFolder);
    m_notify = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_notify < 0 || m_wake < 0 ||
        ::inotify_add_watch(m_notify, QFile::encodeName(historyFolder).constData(), IN_CREATE | IN_MOVED_TO) < 0)
        return;
    m_thread = std::thread([this] { watch(); });
}

HeldEntryWatch::~HeldEntryWatch() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
        m_thread.join();
    }
    if (m_notify >= 0) ::close(m_notify);
    if (m_wake >= 0) ::close(m_wake);
}

void HeldEntryWatch::watch() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        pollfd descriptors[] = {{m_notify, POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (::poll(descriptors, 2, -1) < 0 && errno != EINTR) return;
        if (descriptors[1].revents) return;
        const ssize_t size = ::read(m_notify, buffer, sizeof buffer);
        for (ssize_t at = 0; at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->len == 0 || !std::strstr(event->name, ".held-")) continue;
            m_onHeld();
            m_held = true;
            return;
        }
    }
}

}  // namespace quorvelle::test
