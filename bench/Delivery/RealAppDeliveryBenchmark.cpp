// Release of the hot key to the words in the field of real applications, with the running app (the
// real executable) dictating and a backend that answers at once. The field itself tells when the
// words arrive: an AT-SPI listener for object:text-changed:insert in this process takes the time as
// the event comes in, and a Firefox page also keeps its own input event's time. The floors beside
// each figure: the same words pasted by a plain Ctrl+V sent from outside, to the idle application
// and the moment a keyboard grab like the hot key's ends (what the application itself spends on
// taking the focus back).
//
// Run inside the test desktop, with the build's executable or any other:
//   export QUORVELLE_DESKTOP_ENV_DIR=$(mktemp -d)
//   scripts/desktop-test-env start && eval "$(scripts/desktop-test-env env)"
//   build/bench/Delivery/realapp_delivery_benchmark [path/to/quorvelle [dictations]]
//   scripts/desktop-test-env stop
// Prints the median and the slowest per application: Firefox ESR, Chromium (when installed),
// LibreOffice Writer and the Qt 6 and GTK 3 fixtures' fields, whose focus never moves (target: 30 ms),
// xterm once the GTK 3 fixture had the focus before it and Konsole (their shells' files tell the
// arrival); for each dictation also the release to the upload's arrival at the backend.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "Platform/Linux/AtspiConnection.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <atspi/atspi.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

const QStringList kHotkey{u"Control_L"_qs, u"Alt_L"_qs, u"space"_qs};
const QStringList kPaste{u"Control_L"_qs, u"v"_qs};

double nowMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Waits for an inserted text holding the expected words, from any application on the bus, and
// keeps the time it came in. The event loop sleeps in between, so the time is the arrival's.
class TextInsertProbe {
public:
    TextInsertProbe() {
        AtspiConnection::ensureInitialised();
        m_listener = atspi_event_listener_new(&TextInsertProbe::onEvent, this, nullptr);
        atspi_event_listener_register(m_listener, "object:text-changed:insert", nullptr);
    }
    ~TextInsertProbe() {
        atspi_event_listener_deregister(m_listener, "object:text-changed:insert", nullptr);
        g_object_unref(m_listener);
    }
    TextInsertProbe(const TextInsertProbe&) = delete;
    TextInsertProbe& operator=(const TextInsertProbe&) = delete;

    // Insertions by `ignoredProcess` (the dictation app's own windows) do not count.
    void expect(const QString& words, qint64 ignoredProcess) {
        m_words = words, m_ignoredProcess = ignoredProcess, m_arrivedAt = -1;
    }
    // The monotonic time the words came in, -1 when they did not within the time.
    double wait(int timeoutMs) {
        QEventLoop loop;
        m_loop = &loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        if (m_arrivedAt < 0) loop.exec();
        m_loop = nullptr;
        return m_arrivedAt;
    }

private:
    static void onEvent(AtspiEvent* event, void* data) {
        auto* self = static_cast<TextInsertProbe*>(data);
        const double at = nowMs(CLOCK_MONOTONIC);
        if (self->m_arrivedAt < 0 && G_VALUE_HOLDS_STRING(&event->any_data) &&
            QString::fromUtf8(g_value_get_string(&event->any_data)).contains(self->m_words) &&
            qint64(atspi_accessible_get_process_id(event->source, nullptr)) != self->m_ignoredProcess) {
            self->m_arrivedAt = at;
            if (self->m_loop) self->m_loop->quit();
        }
        g_boxed_free(ATSPI_TYPE_EVENT, event);
    }

    AtspiEventListener* m_listener = nullptr;
    QString m_words;
    qint64 m_ignoredProcess = 0;
    double m_arrivedAt = -1;
    QEventLoop* m_loop = nullptr;
};

// Milliseconds from each release (or Ctrl+V) to the words, by the probe and by the page, and from each
// release to the upload's arrival at the backend.
struct Samples {
    std::vector<double> probe, page, upload;
};

void print(const char* target, const char* how, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    std::printf("%-9s %-37s median %6.1f ms   slowest %6.1f ms   (%zu)\n", target, how, ms[ms.size() / 2], ms.back(),
                ms.size());
    std::fflush(stdout);
}

QString xdotool(const QStringList& arguments) {
    QProcess process;
    process.start(u"xdotool"_qs, arguments);
    process.waitForFinished(30000);
    return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput()).trimmed() : QString();
}

// Takes the whole keyboard as a hot key's grab does while the key is down, or gives it back.
void holdKeyboard(bool hold) {
    xcb_connection_t* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (hold) {
        std::free(xcb_grab_keyboard_reply(
            connection,
            xcb_grab_keyboard(connection, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr));
    } else {
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
}

// A desktop application started for the run, and ended with it; its window's process is brought to
// the front with the focus in its field.
class Application {
public:
    Application(const QString& program, const QStringList& arguments, const QString& titlePattern) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, arguments);
        // These start slowly under load; the window's process may be another than the one started.
        if (waitUntil([&] { return !xdotool({u"search"_qs, u"--name"_qs, titlePattern}).isEmpty(); }, 90000))
            m_windowProcess = xdotool({u"search"_qs, u"--name"_qs, titlePattern, u"getwindowpid"_qs}).toLongLong();
    }
    ~Application() {
        if (m_windowProcess > 0) ::kill(pid_t(m_windowProcess), SIGTERM);
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill(), m_process.waitForFinished(5000);
    }
    bool focus(const char* name) const {
        if (m_windowProcess > 0 && bringToFront(m_windowProcess)) return true;
        std::printf("%-9s did not show with its field focused\n", name);
        return false;
    }

    // For a window whose focus no text field takes (a terminal on the accessibility bus): in front by
    // the window manager's word.
    bool activate(const char* name, const QString& titlePattern) const {
        const bool inFront =
            m_windowProcess > 0 &&
            waitUntil(
                [&] {
                    if (xdotool({u"getactivewindow"_qs, u"getwindowpid"_qs}).toLongLong() == m_windowProcess)
                        return true;
                    xdotool({u"search"_qs, u"--name"_qs, titlePattern, u"windowactivate"_qs});
                    return false;
                },
                30000);
        if (!inFront) std::printf("%-9s did not come to the front\n", name);
        return inFront;
    }

private:
    QProcess m_process;
    qint64 m_windowProcess = 0;
};

// The page's own time of its last input event, as its title carries it ("at:<ms since the epoch>").
double pageInputTime() {
    const QString title = xdotool({u"search"_qs, u"--name"_qs, u"^at:"_qs, u"getwindowname"_qs});
    const QRegularExpressionMatch match = QRegularExpression(u"^at:([0-9.]+) "_qs).match(title);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

class Run {
public:
    Run(AppUnderTest& app, FakeBackendServer& server, int dictations)
        : m_app(app), m_server(server), m_dictations(dictations), m_speech(TestMicrophone::speech()) {
        // What the app does between the release and the upload (the last look at the focus) shows here.
        QObject::connect(&m_server, &FakeBackendServer::requestReceived, [this](const RecordedRequest& request) {
            if (request.path == u"/v1/transcriptions"_qs && m_uploadAt < 0) m_uploadAt = nowMs(CLOCK_MONOTONIC);
        });
    }

    // Dictates into the focused field, then pastes the same way from outside, and prints both.
    void measure(const char* target, bool pageKeepsTime) {
        Samples dictated, pasted, pastedAfterGrab;
        dictate(pageKeepsTime, dictated);
        for (int round = 0; round < m_dictations; ++round) {
            const QString words = QStringLiteral("probe%1 pasted %2").arg(++m_serial).arg(round);
            QGuiApplication::clipboard()->setText(words);
            waitUntil([] { return false; }, 200);
            record(
                words, pageKeepsTime, [] { sendKeys(kPaste, true), sendKeys(kPaste, false); }, pasted);
        }
        // The hot key holds the keyboard while it is down: toolkits take the focus away from the field
        // and give it back on the release, work the application does before it pastes. This floor
        // grabs the keyboard the same way, then sends Ctrl+V from outside at once.
        for (int round = 0; round < m_dictations; ++round) {
            const QString words = QStringLiteral("probe%1 after grab %2").arg(++m_serial).arg(round);
            QGuiApplication::clipboard()->setText(words);
            holdKeyboard(true);
            waitUntil([] { return false; }, 300);
            record(
                words, pageKeepsTime, [] { holdKeyboard(false), sendKeys(kPaste, true), sendKeys(kPaste, false); },
                pastedAfterGrab);
            waitUntil([] { return false; }, 300);
        }
        print(target, "release to upload arrival", dictated.upload);
        print(target, "release to text (text-changed)", dictated.probe);
        print(target, "release to text (page's input event)", dictated.page);
        print(target, "Ctrl+V to text (text-changed)", pasted.probe);
        print(target, "Ctrl+V to text (page's input event)", pasted.page);
        print(target, "grab ends, Ctrl+V: text (text-changed)", pastedAfterGrab.probe);
        print(target, "grab ends, Ctrl+V: text (page's input)", pastedAfterGrab.page);
    }

    // Dictates into a terminal whose shell writes what it receives to `received`: the file tells when
    // the words arrived (a terminal shows nothing on the accessibility bus).
    void measureTerminal(const char* target, const QString& received) {
        Samples dictated;
        m_terminalFile = received;
        dictate(false, dictated);
        m_terminalFile.clear();
        print(target, "release to upload arrival", dictated.upload);
        print(target, "release to text (terminal's file)", dictated.probe);
    }

private:
    void dictate(bool pageKeepsTime, Samples& dictated) {
        for (int round = 0; round < m_dictations; ++round) {
            const QString words = QStringLiteral("probe%1 dictated %2").arg(++m_serial).arg(round);
            m_server.clearScript();
            m_server.respond(
                "POST", u"/v1/transcriptions"_qs,
                FakeResponse::json(200, QStringLiteral(R"({"request_id":"bench","text":"%1"})").arg(words).toUtf8()));
            m_microphone.drain();
            sendKeys(kHotkey, true);
            m_microphone.speak(m_speech);
            m_microphone.finish();
            record(
                words, pageKeepsTime, [] { sendKeys(kHotkey, false); }, dictated);
            if (m_uploadAt >= 0) dictated.upload.push_back(m_uploadAt - m_releasedAt);
            // The session ends (the clipboard it used given back) before the next one starts.
            waitUntil([] { return false; }, 1500);
        }
    }

    // The monotonic time the terminal's file first held the words, looked at every few milliseconds
    // while the event loop runs (the fake backend answers from it); -1 when they did not come in time.
    double waitForTerminal(const QString& words, int timeoutMs) const {
        double arrivedAt = -1;
        waitUntil(
            [&] {
                QFile file(m_terminalFile);
                if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(words))
                    arrivedAt = nowMs(CLOCK_MONOTONIC);
                return arrivedAt >= 0;
            },
            timeoutMs);
        return arrivedAt;
    }

    void record(const QString& words, bool pageKeepsTime, const std::function<void()>& act, Samples& samples) {
        m_probe.expect(words, m_app.processId());
        m_uploadAt = -1;
        act();
        const double sentAt = nowMs(CLOCK_MONOTONIC), sentAtWall = nowMs(CLOCK_REALTIME);
        m_releasedAt = sentAt;
        const double arrivedAt = m_terminalFile.isEmpty() ? m_probe.wait(10000) : waitForTerminal(words, 10000);
        if (arrivedAt < 0) {
            std::fprintf(stderr, "\"%s\" never showed (%s)\n%s\n", qPrintable(words),
                         qPrintable(m_app.standardError().right(300)), m_app.eventLog().c_str());
            return;
        }
        samples.probe.push_back(arrivedAt - sentAt);
        if (const double page = pageKeepsTime ? pageInputTime() : -1; page > 0)
            samples.page.push_back(page - sentAtWall);
    }

    AppUnderTest& m_app;
    FakeBackendServer& m_server;
    const int m_dictations;
    const QByteArray m_speech;
    TestMicrophone m_microphone;
    TextInsertProbe m_probe;
    QString m_terminalFile;
    int m_serial = 0;
    double m_uploadAt = -1, m_releasedAt = 0;
};

// A page whose text area puts its input events' own time into the window title.
QString writePage(const QString& folder) {
    const QString path = folder + u"/page.html"_qs;
    QFile page(path);
    if (page.open(QIODevice::WriteOnly))
        page.write(
            "<!doctype html><title>ready</title><textarea autofocus oninput=\"document.title='at:'+"
            "(performance.timeOrigin+event.timeStamp).toFixed(1)+' '+this.value.length\"></textarea>");
    return QUrl::fromLocalFile(path).toString();
}

QString writeDocument(const QString& folder) {
    const QString path = folder + u"/note.fodt"_qs;
    QFile document(path);
    if (document.open(QIODevice::WriteOnly))
        document.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.text">
<office:body><office:text><text:p>Notes </text:p></office:text></office:body></office:document>
)");
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") {
        std::fprintf(stderr, "run inside scripts/desktop-test-env\n");
        return 1;
    }
    const QStringList arguments = QCoreApplication::arguments();
    const int dictations = arguments.size() > 2 ? arguments.at(2).toInt() : 10;
    // A third argument picks the applications whose names hold it, or one of its comma-separated
    // parts: "Firefox", "Qt,Konsole", ...
    const QStringList only = arguments.value(3).split(u',');
    const auto wanted = [&](const char* name) {
        return std::any_of(only.begin(), only.end(), [name](const QString& part) {
            return QString::fromLatin1(name).contains(part, Qt::CaseInsensitive);
        });
    };
    FakeBackendServer server;
    seedSignedInSession();
    AppUnderTest app(server.baseUrl());
    if (arguments.size() > 1) app.setProgram(arguments.at(1));
    app.start();
    if (!app.waitUntilHotkeyRegistered()) {
        std::fprintf(stderr, "the app did not register its hot key: %s\n", qPrintable(app.standardError()));
        return 1;
    }
    QFile load(u"/proc/loadavg"_qs);
    load.open(QIODevice::ReadOnly);
    std::printf("%s; load average %s\n", qPrintable(arguments.value(1, u"the build's quorvelle"_qs)),
                load.readAll().left(14).constData());
    Run run(app, server, dictations);
    // Profiles and documents in the test desktop's private folders.
    const QTemporaryDir folder(qEnvironmentVariable("XDG_CACHE_HOME", QDir::tempPath()) + u"/apps-XXXXXX"_qs);
    const QString page = writePage(folder.path());
    for (const char* profile : {"/firefox", "/chromium"})
        QDir().mkpath(folder.path() + QLatin1String(profile));

    if (!wanted("Firefox")) {
    } else if (const Application firefox(
                   u"firefox-esr"_qs,
                   {u"-profile"_qs, folder.path() + u"/firefox"_qs, u"-no-remote"_qs, u"--new-instance"_qs, page},
                   u"^ready"_qs);
               firefox.focus("Firefox"))
        run.measure("Firefox", true);
    const QString chromium = QStandardPaths::findExecutable(u"chromium"_qs);
    if (chromium.isEmpty()) std::printf("Chromium  not installed\n");
    if (!chromium.isEmpty() && wanted("Chromium")) {
        if (const Application browser(chromium,
                                      {u"--no-sandbox"_qs, u"--force-renderer-accessibility"_qs, u"--no-first-run"_qs,
                                       u"--user-data-dir="_qs + folder.path() + u"/chromium"_qs, page},
                                      u"^ready"_qs);
            browser.focus("Chromium"))
            // Chromium's event times stand on a clock of its own, not the wall clock: the event probe only.
            run.measure("Chromium", false);
    }
    qputenv("SAL_USE_VCLPLUGIN", "gtk3");
    if (!wanted("Writer")) {
    } else if (const Application writer(
                   u"soffice"_qs,
                   {u"--writer"_qs, u"--norestore"_qs, u"--nologo"_qs,
                    u"-env:UserInstallation="_qs + QUrl::fromLocalFile(folder.path() + u"/writer"_qs).toString(),
                    writeDocument(folder.path())},
                   u"^note.fodt"_qs);
               writer.focus("Writer"))
        run.measure("Writer", false);
    for (const auto& [name, toolkit] :
         {std::pair{"Qt 6", FixtureApp::Toolkit::Qt}, std::pair{"GTK 3", FixtureApp::Toolkit::Gtk}}) {
        if (!wanted(name)) continue;
        FixtureApp fixture(toolkit, u"Benchmark target"_qs);
        fixture.focus(u"single"_qs);
        if (bringToFront(fixture.processId())) run.measure(name, false);
    }
    // A terminal, once an accessible application had the focus before it (and lost it to the terminal).
    const QString xterm = QStandardPaths::findExecutable(u"xterm"_qs);
    if (!xterm.isEmpty() && wanted("Terminal after GTK 3")) {
        FixtureApp before(FixtureApp::Toolkit::Gtk, u"Benchmark first"_qs);
        before.focus(u"single"_qs);
        bringToFront(before.processId());
        const QString received = folder.path() + u"/received"_qs;
        // The shell hands every byte pasted straight to the file.
        const Application terminal(xterm,
                                   {u"-T"_qs, u"Benchmark terminal"_qs, u"-e"_qs, u"sh"_qs, u"-c"_qs,
                                    u"stty -icanon -echo; exec cat > \"$0\""_qs, received},
                                   u"^Benchmark terminal$"_qs);
        if (terminal.focus("xterm")) run.measureTerminal("xterm after GTK 3", received);
    }
    // Konsole, on the accessibility bus with a tree of its own, its shell handing what it gets to a file.
    const QString konsole = QStandardPaths::findExecutable(u"konsole"_qs);
    if (!konsole.isEmpty() && wanted("Konsole")) {
        const QString received = folder.path() + u"/konsole-received"_qs;
        const Application terminal(konsole,
                                   {u"--separate"_qs, u"-p"_qs, u"LocalTabTitleFormat=qvbench"_qs, u"-e"_qs, u"sh"_qs,
                                    u"-c"_qs, u"stty raw -echo; exec cat > \"$0\""_qs, received},
                                   u"^qvbench"_qs);
        if (terminal.activate("Konsole", u"^qvbench"_qs)) run.measureTerminal("Konsole", received);
    }
    clearStoredSession();
    return 0;
}
