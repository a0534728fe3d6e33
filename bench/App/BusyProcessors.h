#pragma once

#include <QByteArray>
#include <QFile>

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace quorvelle::test {

// Endless loops, `perProcessor` on each processor this process may run on, each a process of its
// own, for as long as the object lives: the benchmarks that drive the app measure it on a machine
// with every processor busy.
class BusyProcessors {
public:
    explicit BusyProcessors(int perProcessor = 1) {
        cpu_set_t processors;
        CPU_ZERO(&processors);
        const int count = ::sched_getaffinity(0, sizeof(processors), &processors) == 0 ? CPU_COUNT(&processors) : 1;
        const pid_t parent = ::getpid();
        for (int i = 0; i < count * perProcessor; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                // Gone with the benchmark, and in any case after the bound.
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent) ::_exit(0);
                ::alarm(kBoundSeconds);
                volatile unsigned long turns = 0;
                for (;;)
                    turns = turns + 1;
            }
            if (child > 0) m_children.push_back(child);
        }
    }
    ~BusyProcessors() {
        for (const pid_t child : m_children)
            ::kill(child, SIGKILL);
        for (const pid_t child : m_children)
            ::waitpid(child, nullptr, 0);
    }
    BusyProcessors(const BusyProcessors&) = delete;
    BusyProcessors& operator=(const BusyProcessors&) = delete;
    int count() const { return int(m_children.size()); }

private:
    // The loops end by themselves after this, should the benchmark not end them.
    static constexpr unsigned kBoundSeconds = 3600;
    std::vector<pid_t> m_children;
};

// /proc/loadavg as it reads now.
inline QByteArray loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("unknown");
}

}  // namespace quorvelle::test
