#include "Platform/Linux/AtspiFocusChangeAwaiter.h"

#include "Platform/Linux/AtspiFocusTracker.h"
#include "Platform/Linux/ProcessAncestry.h"
#include "Support/CancellableSleep.h"

#include <QHash>

namespace quorvelle {

namespace {

using Clock = std::chrono::steady_clock;

WakeableSleeps waiting;
// When each process last reported a focus gain.
QHash<qint32, Clock::time_point> lastReport;
AtspiFocusChangeAwaiter::KeyPressCatchUp catchUpKeyPresses;

// Told by the focus tracker, after it took the event in.
void onFocusGained() {
    if (const std::optional<qint32> process = AtspiFocusTracker::processOfNewestGain()) {
        // A Tab read only after this would pass for one the report answered.
        if (catchUpKeyPresses) catchUpKeyPresses();
        lastReport.insert(*process, Clock::now());
    }
    waiting.wakeAll();
}

bool listen() {
    static const bool observing = [] {
        AtspiFocusTracker::observeGains(&onFocusGained);
        return true;
    }();
    return observing && AtspiFocusTracker::start();
}

}  // namespace

AtspiFocusChangeAwaiter::AtspiFocusChangeAwaiter(FrontProcessReader frontProcess, KeyPressCatchUp catchUp)
    : m_frontProcess(std::move(frontProcess)) {
    catchUpKeyPresses = std::move(catchUp);
    listen();
}

AtspiFocusChangeAwaiter::~AtspiFocusChangeAwaiter() {
    // What it reads belongs to the services that go with it.
    catchUpKeyPresses = {};
}

bool AtspiFocusChangeAwaiter::isFocusAway() const {
    return AtspiFocusTracker::isFocusAway(m_frontProcess ? m_frontProcess() : std::nullopt);
}

QCoro::Task<void> AtspiFocusChangeAwaiter::nextFocusChange(double timeoutSeconds, std::stop_token stopToken) {
    // Without the bus no event comes: the timeout alone ends the wait.
    listen();
    return waiting.sleep(timeoutSeconds, std::move(stopToken));
}

std::optional<Clock::time_point> AtspiFocusChangeAwaiter::lastReportOf(qint32 processIdentifier) const {
    std::optional<Clock::time_point> newest;
    for (auto it = lastReport.cbegin(); it != lastReport.cend(); ++it) {
        // A browser's field may report from its content process.
        if (newest && it.value() <= *newest) continue;
        if (it.key() == processIdentifier || ProcessAncestry::isPartOfApplication(processIdentifier, it.key()))
            newest = it.value();
    }
    return newest;
}

std::optional<std::chrono::milliseconds> AtspiFocusChangeAwaiter::sinceFocusReport(qint32 processIdentifier) {
    // Reports already on the bus are taken in first.
    listen();
    AtspiFocusTracker::catchUp();
    const std::optional<Clock::time_point> report = lastReportOf(processIdentifier);
    if (!report) return std::nullopt;
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *report);
}

QCoro::Task<bool> AtspiFocusChangeAwaiter::nextFocusReport(qint32 processIdentifier, double timeoutSeconds,
                                                           std::stop_token stopToken) {
    listen();
    const Clock::time_point start = Clock::now();
    const auto deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeoutSeconds));
    while (true) {
        const std::optional<Clock::time_point> report = lastReportOf(processIdentifier);
        if (report && *report >= start) co_return true;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) co_return false;
        co_await waiting.sleep(std::chrono::duration<double>(deadline - now).count(), stopToken);
    }
}

}  // namespace quorvelle
