// Many dictations in a row into one running app over a large history, to run a sanitized build
// under a user's load: whole dictations, some of them refused by the backend, presses let go at
// once, and presses that come while the last session's end is still shown. After each it checks
// that the app still runs. Then it opens the dashboard as a second start does and visits every
// section (--visits rounds), checks for updates from the settings, signs out, visits every
// section again signed out, and quits the app as a logout would, printing what the app wrote to its
// standard error. Exits 1 when the app ended early, quit with a failure, lost an entry or reported
// a fault (a sanitizer's report, a leak at exit above all). Run inside scripts/desktop-test-env.
// Arguments: --dictations N (300), --history N (300,000 entries), --visits N (1),
// --program PATH (this build's).
#include "AppControls.h"
#include "AppUnderTest.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "OverlayPanel.h"
#include "SeededHistory.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QApplication>

#include <signal.h>

#include <cstdio>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kWords = QStringLiteral("soak test words");
const QString kField = QStringLiteral("single");
constexpr int kDashboardWidth = 1270;

int option(const QStringList& arguments, const QString& name, int fallback) {
    const qsizetype at = arguments.indexOf(name);
    return at > 0 ? std::max(1, arguments.value(at + 1).toInt()) : fallback;
}

// The backend's answers: the transcription (or, refused, a server error) and, as a release service,
// a latest release no newer than this build and one release note.
void script(FakeBackendServer& server, bool refuseTranscription) {
    server.clearScript();
    if (refuseTranscription)
        server.respond("POST", QStringLiteral("/v1/transcriptions"),
                       FakeResponse::json(500, R"({"error":{"code":"internal","message":"soak"}})"));
    else
        answerTranscriptionsWith(server, kWords);
    server.respond(
        "GET", QStringLiteral("/v1/releases/latest"),
        FakeResponse::json(200, R"({"version":"0.0.1","build":"1","download_url":"https://example.test/"})"));
    server.respond("GET", QStringLiteral("/v1/releases"),
                   FakeResponse::json(200, R"({"releases":[{"channel":"stable","version":"0.0.1","build":"1",)"
                                           R"("released_at":"2026-03-01T10:00:00Z","notes_body":{"en":{"summary":)"
                                           R"("Soak","categories":[{"label":"Fixes","items":["one"]}]}}}]})"));
}

bool reportsFault(const QString& output) {
    return output.contains(QLatin1String("Sanitizer")) || output.contains(QLatin1String("runtime error:"));
}

// Says why the soak stops short; always false.
bool failed(const QString& why) {
    std::printf("%s\n", qPrintable(why));
    std::fflush(stdout);
    return false;
}

// Whether a push button of that name shows on the dashboard's page.
bool dashboardShows(qint64 app, const QString& button) {
    const QList<AppControl> controls = appControls(app, kDashboardWidth);
    return std::any_of(controls.begin(), controls.end(), [&](const AppControl& control) {
        return control.role == QLatin1String("push button") && control.name == button;
    });
}

// The dashboard's sections that can be opened, by the names its sidebar gives them.
QStringList sections(qint64 app) {
    QStringList names;
    for (const AppControl& control : appControls(app, kDashboardWidth))
        if (control.role == QLatin1String("page tab") && control.enabled) names << control.name;
    return names;
}

int g_visits = 0;

bool visit(qint64 app, const QString& section) {
    ++g_visits;
    if (!pressAppControl(app, kDashboardWidth, QStringLiteral("page tab"), section)) return false;
    return waitUntil(
        [&] {
            const QList<AppControl> controls = appControls(app, kDashboardWidth);
            return std::any_of(controls.begin(), controls.end(), [&](const AppControl& control) {
                return control.role == QLatin1String("page tab") && control.name == section && control.selected;
            });
        },
        15000);
}

// Every section that can be opened, once; false at the first one that does not open.
bool visitEverySection(qint64 app) {
    for (const QString& name : sections(app))
        if (!visit(app, name)) return failed(QStringLiteral("the section %1 did not open").arg(name));
    return true;
}

// The dashboard as a second start opens it; its sections visited `rounds` times, the update check
// on the way; then the sign-out and, signed out, every section again.
bool workTheDashboard(AppUnderTest& app, const FakeBackendServer& server, int rounds) {
    const qint64 pid = app.processId();
    if (app.runCopy() != 0) return failed(QStringLiteral("a second start did not reach the app"));
    if (!waitUntil([&] { return sections(pid).size() == 10; }, 30000))
        return failed(QStringLiteral("the dashboard did not show its ten sections"));
    const QStringList names = sections(pid);
    QString account;
    bool checked = false;
    for (int round = 0; round < rounds; ++round) {
        for (const QString& name : names) {
            if (!visit(pid, name)) return failed(QStringLiteral("the section %1 did not open").arg(name));
            if (dashboardShows(pid, QStringLiteral("Sign Out"))) account = name;
            if (!checked && dashboardShows(pid, QStringLiteral("Check for Updates"))) {
                checked = pressAppControl(pid, kDashboardWidth, QStringLiteral("push button"),
                                          QStringLiteral("Check for Updates"));
                waitUntil([&] { return !server.requestsTo(QStringLiteral("/v1/releases/latest")).isEmpty(); }, 15000);
            }
        }
    }
    if (!checked || server.requestsTo(QStringLiteral("/v1/releases/latest")).isEmpty())
        return failed(QStringLiteral("no update check reached the backend"));
    if (account.isEmpty() || !visit(pid, account) ||
        !pressAppControl(pid, kDashboardWidth, QStringLiteral("push button"), QStringLiteral("Sign Out")) ||
        !waitUntil([&] { return dashboardShows(pid, QStringLiteral("Connect This Computer")); }, 15000))
        return failed(QStringLiteral("the sign-out did not take place"));
    return visitEverySection(pid);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!insideDesktopTestEnvironment()) return 1;
    const QStringList arguments = QApplication::arguments();
    const int dictations = option(arguments, QStringLiteral("--dictations"), 300);
    const int historySize = option(arguments, QStringLiteral("--history"), 300'000);
    const int visits = option(arguments, QStringLiteral("--visits"), 1);

    FakeBackendServer server;
    script(server, false);
    seedSignedInSession();
    AppUnderTest app(server.baseUrl());
    // Not a test run: the update check and the release notes are live, against the fake backend.
    app.removeEnvironment(QStringLiteral("QUORVELLE_TEST_RUN"));
    app.setEnvironment(QStringLiteral("QUORVELLE_PUBLIC_WEB_URL"), server.baseUrl().toString());
    // Qt Quick's own software renderer: the test desktop's OpenGL is Mesa's, which keeps allocations
    // past unloading its driver, where a leak report can no longer name it. Our items paint the
    // same way on either.
    app.setEnvironment(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    const qsizetype programAt = arguments.indexOf(QStringLiteral("--program"));
    if (programAt > 0) app.setProgram(arguments.value(programAt + 1));
    if (!SeededHistory(historySize).writeInto(app)) return 1;
    app.start();
    if (!app.waitUntilHotkeyRegistered(120000)) {
        std::printf("the app did not register its hot key:\n%s\n", qPrintable(app.standardError()));
        return 1;
    }
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Soak target"));
    fixture.focus(kField);
    bringToFront(fixture.processId());
    TestMicrophone microphone;

    int landed = 0;
    int refused = 0;
    int done = 0;
    for (; done < dictations && app.isRunning(); ++done) {
        if (done > 0 && done % 50 == 0) {
            std::printf("%d presses, %d dictations landed\n", done, landed);
            std::fflush(stdout);
        }
        if (done % 5 == 4) {
            // Let go before anything was said: the session ends as too short.
            sendKeys(kHotkey, true);
            waitUntil([] { return false; }, 100);
            sendKeys(kHotkey, false);
            waitUntilIdle();
            continue;
        }
        // Every sixth upload the backend refuses: the session ends in its error, nothing is typed.
        const bool refuse = done % 6 == 5;
        script(server, refuse);
        fixture.setText(kField, QString());
        speakWithHotkeyDown(microphone, kHotkey);
        sendKeys(kHotkey, false);
        if (refuse) {
            ++refused;
        } else if (waitUntil([&] { return fixture.texts().value(kField).toString() == kWords; }, 20000)) {
            ++landed;
        }
        if (done % 7 == 6) {
            // Pressed again while this session's end is shown, and let go at once.
            sendKeys(kHotkey, true);
            waitUntil([] { return false; }, 150);
            sendKeys(kHotkey, false);
        }
        waitUntilIdle();
    }
    const bool worked = app.isRunning() && workTheDashboard(app, server, visits);
    const bool ranThrough = app.isRunning();
    ::kill(pid_t(app.processId()), SIGTERM);
    const bool quit = waitUntil([&] { return !app.isRunning(); }, 60000);
    const std::optional<int> exitCode = app.exitCode();
    const QString output = app.standardError();
    const qsizetype entries = app.historyEntries().size();
    clearStoredSession();
    std::printf(
        "%d presses, %d dictations landed, %d refused; dashboard %s (%d section visits); history %lld entries (seeded "
        "%d); "
        "app %s (exit code %s)\n",
        done, landed, refused, worked ? "worked through" : "not worked through", g_visits,
        static_cast<long long>(entries), historySize,
        !ranThrough ? "ended early" : (quit ? "quit on SIGTERM" : "did not quit on SIGTERM"),
        exitCode ? qPrintable(QString::number(*exitCode)) : "none");
    std::printf("--- app standard error ---\n%s\n", qPrintable(output));
    const bool complete = entries >= historySize + landed;
    return ranThrough && worked && quit && exitCode == 0 && complete && !reportsFault(output) ? 0 : 1;
}
