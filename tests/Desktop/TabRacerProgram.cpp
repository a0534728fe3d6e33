// A user's Tab from another X client, timed against the paste keys of the app under test, and each race
// judged by the X server's own order: the XInput 2 raw presses it hands out follow the order in which it
// handled the keys, whichever client sent them.
//
// Commands on standard input, one a line:
//   arm <offset ns>   the next Tab goes that long after the moment written to the trigger FIFO (the
//                     program's argument) as 8 bytes of CLOCK_MONOTONIC nanoseconds
//   end               the race is over: its outcome as far as it went
// Each arming is answered "armed", each race once with
//   race <order> <trigger ns> <tab sent ns>
// where order is tab-first or control-first (which of the Tab and the first Control press since the
// arming the server handled first), no-control (no Control came) or no-trigger (no Tab went). Armed
// once the caller's own keys are done, the first Control press is the app's.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

std::int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

class Racer {
public:
    Racer(Display* display, int triggerFd) : m_display(display), m_trigger(triggerFd) {}

    bool start() {
        int event = 0, error = 0, major = 2, minor = 2;
        if (!XQueryExtension(m_display, "XInputExtension", &m_xiOpcode, &event, &error) ||
            XIQueryVersion(m_display, &major, &minor) != Success)
            return false;
        m_tab = XKeysymToKeycode(m_display, XK_Tab);
        // The app's paste chord begins with this key.
        m_control = XKeysymToKeycode(m_display, XK_Control_L);
        // Raw presses come to every client that asks, in the order the server handled them.
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawKeyPress);
        XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
        XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1);
        XSync(m_display, False);
        return m_tab != 0 && m_control != 0;
    }

    // Until standard input closes.
    void run() {
        while (true) {
            pollfd fds[3] = {
                {STDIN_FILENO, POLLIN, 0}, {ConnectionNumber(m_display), POLLIN, 0}, {m_trigger, POLLIN, 0}};
            // Armed, it spins: a process woken from a wait starts late, or on the very processor of
            // the app that woke it, which then waits for it. Events may sit in Xlib's queue already,
            // where poll cannot see them.
            const bool spin = m_state == State::armed || XPending(m_display) > 0;
            if (poll(fds, 3, spin ? 0 : -1) < 0) continue;
            if (m_state == State::armed && (fds[2].revents & POLLIN)) readTrigger();
            readEvents();
            if ((fds[0].revents & (POLLIN | POLLHUP)) && !readCommands()) return;
        }
    }

private:
    enum class State { idle, armed, sent };

    bool readCommands() {
        char buffer[256];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) return false;
        m_input.append(buffer, std::size_t(got));
        for (std::size_t end; (end = m_input.find('\n')) != std::string::npos;) {
            const std::string line = m_input.substr(0, end);
            m_input.erase(0, end + 1);
            command(line);
        }
        return true;
    }

    void command(const std::string& line) {
        long long offset = 0;
        if (std::sscanf(line.c_str(), "arm %lld", &offset) == 1) {
            m_offset = offset;
            // What came before the arming is not this race's: presses, a stale trigger.
            m_state = State::idle;
            XSync(m_display, False);
            readEvents();
            std::int64_t stale = 0;
            while (read(m_trigger, &stale, sizeof stale) > 0) {
            }
            m_tabSeen = m_controlSeen = false;
            m_triggerNs = m_sentNs = 0;
            m_state = State::armed;
            say("armed");
        } else if (line == "end") {
            if (m_state == State::armed) report("no-trigger");
            if (m_state == State::sent) report(m_controlSeen ? "control-first" : "no-control");
        }
    }

    // The Tab goes at the trigger's moment plus the offset, spun for: a sleep may oversleep by more
    // than the whole band.
    void readTrigger() {
        std::int64_t at = 0;
        if (read(m_trigger, &at, sizeof at) != sizeof at) return;
        m_triggerNs = at;
        while (monotonicNs() < at + m_offset) {
        }
        m_sentNs = monotonicNs();
        XTestFakeKeyEvent(m_display, m_tab, True, CurrentTime);
        XTestFakeKeyEvent(m_display, m_tab, False, CurrentTime);
        XFlush(m_display);
        m_state = State::sent;
        // The app's Control came while this process was not running: it was first.
        if (m_controlSeen) report("control-first");
    }

    void readEvents() {
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.xcookie.type != GenericEvent || event.xcookie.extension != m_xiOpcode ||
                event.xcookie.evtype != XI_RawKeyPress || !XGetEventData(m_display, &event.xcookie))
                continue;
            const int key = static_cast<const XIRawEvent*>(event.xcookie.data)->detail;
            XFreeEventData(m_display, &event.xcookie);
            if (m_state == State::idle) continue;
            if (key == m_tab && m_state == State::sent) m_tabSeen = true;
            if (key != m_control || m_controlSeen) continue;
            m_controlSeen = true;
            if (m_state == State::sent) report(m_tabSeen ? "tab-first" : "control-first");
        }
    }

    void report(const char* order) {
        char line[128];
        std::snprintf(line, sizeof line, "race %s %lld %lld", order, static_cast<long long>(m_triggerNs),
                      static_cast<long long>(m_sentNs));
        say(line);
        m_state = State::idle;
    }

    Display* m_display;
    int m_trigger;
    int m_xiOpcode = 0;
    KeyCode m_tab = 0, m_control = 0;
    State m_state = State::idle;
    std::int64_t m_offset = 0, m_triggerNs = 0, m_sentNs = 0;
    bool m_tabSeen = false, m_controlSeen = false;
    std::string m_input;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <trigger fifo>\n", argv[0]);
        return 2;
    }
    // Opened for reading and writing: a FIFO with no writer yet would read as ended at once.
    const int trigger = open(argv[1], O_RDWR | O_NONBLOCK | O_CLOEXEC);
    Display* display = XOpenDisplay(nullptr);
    if (trigger < 0 || !display) {
        std::fprintf(stderr, "tab racer: no %s\n", trigger < 0 ? "trigger FIFO" : "display");
        return 3;
    }
    // A key on the keyboard comes when it is pressed, however busy the machine: ahead of the busy
    // processes where the system allows it (as root), so that the Tab goes on time.
    [[maybe_unused]] const int keptNice = setpriority(PRIO_PROCESS, 0, -20);
    Racer racer(display, trigger);
    if (!racer.start()) {
        std::fprintf(stderr, "tab racer: the display lacks XInput 2.2, or a Tab or a Control key\n");
        return 4;
    }
    say("ready");
    racer.run();
    XCloseDisplay(display);
    return 0;
}
