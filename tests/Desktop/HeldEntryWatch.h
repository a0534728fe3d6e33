#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

namespace quorvelle::test {

// The moment the app holds a delivery's history entry: right before a direct write or a paste's
// keys it writes `transcript-history.journal.held-…` into its history folder. A thread of this
// watch's own waits for that file with inotify and runs `onHeld` there, at once, for the first such
// file only, whatever the test's thread is doing.
class HeldEntryWatch {
public:
    // Watching once constructed; the folder is made when it does not exist yet.
    HeldEntryWatch(const QString& historyFolder, std::function<void()> onHeld);
    ~HeldEntryWatch();
    HeldEntryWatch(const HeldEntryWatch&) = delete;
    HeldEntryWatch& operator=(const HeldEntryWatch&) = delete;

    bool isWatching() const { return m_thread.joinable(); }
    // The held file showed (and `onHeld` has run).
    bool sawHold() const { return m_held; }

private:
    void watch();

    std::function<void()> m_onHeld;
    int m_notify = -1;
    int m_wake = -1;
    std::atomic<bool> m_held = false;
    std::thread m_thread;
};

}  // namespace quorvelle::test
