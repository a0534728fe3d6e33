#pragma once

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <optional>

namespace quorvelle::test {

// A user's Tab from another X client (the quorvelle_tab_racer program), sent a set time after a
// trigger and judged by the X server's order of raw presses against the first Control press since the
// arming: armed once the caller's own keys are done, the one that begins the app's paste chord. One
// race armed at a time.
class TabRacer {
public:
    using Clock = std::chrono::steady_clock;
    struct Race {
        // Which of the Tab and that Control press the server handled first; no Control came; no Tab
        // went (no trigger).
        enum class Order { tabFirst, controlFirst, noControl, noTrigger } order = Order::noTrigger;
        Clock::time_point triggered, tabSent;
    };

    TabRacer();
    ~TabRacer();
    TabRacer(const TabRacer&) = delete;
    TabRacer& operator=(const TabRacer&) = delete;

    // The program runs and has its display.
    bool isReady() const { return m_ready; }
    // Arms the next race, its Tab `offset` after the trigger; true once the racer is armed.
    bool arm(std::chrono::nanoseconds offset);
    // The moment the armed race's Tab counts from: now. From any thread, one write.
    void trigger();
    // Ends the armed race: what happened in it; none when the racer did not answer.
    std::optional<Race> end();

private:
    std::optional<QByteArray> nextLine(int timeoutMs);

    QTemporaryDir m_folder;
    QProcess m_process;
    int m_fifo = -1;
    bool m_ready = false;
};

}  // namespace quorvelle::test
