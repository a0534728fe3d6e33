// A dictation that has landed in a field must be in the history even when the app is killed with
// SIGKILL soon after (a logout that does not wait, the OOM killer). The real app runs over a seeded
// history of 20,000 and of 100,000 entries; each run dictates once into a text field and kills the
// app a set time after the text is seen there, the times spread evenly from 0 to 150 ms over the
// runs; then it reads the history as the next start would and counts the landed dictations it
// lacks. The kill times of those lost show how long a dictation stays at risk. Two roads: a direct
// write into a Qt field, and the checked paste into a Qt field named as a chat application's.
// Prints its figures and the load average. Run inside scripts/desktop-test-env. Arguments: the
// number of runs per history size and road (30), and the executable to run (this build's), to
// measure another version of the app with the same rig. Options: --busy keeps every processor
// busy for the whole run (one endless loop a processor, each ended with the benchmark and in any
// case after an hour); --road=direct or --road=paste measures one road; --entries=N,M the sizes
// of the seeded histories.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "BusyProcessors.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "SeededHistory.h"
#include "Services/Storage/SettingsKeys.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kWords = QStringLiteral("killed right after these words");
const QString kField = QStringLiteral("single");
constexpr int kKillSpreadMs = 150;

// Where the words go: the field and how the app puts them there.
struct Road {
    const char* name;
    bool paste;
};

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Tally {
    int runs = 0;
    int landed = 0;
    int lost = 0;
    int damaged = 0;  // the seeded entries did not all come back
    std::vector<double> releaseToLandedMs;
    QStringList lostAfterMs;  // how long after landing each lost dictation was killed
};

// One run: a fresh app over the seeded history, one dictation, SIGKILL `delayMs` after the text is
// seen in the field.
void killAfterLanding(FakeBackendServer& server, const QString& program, const SeededHistory& history,
                      FixtureApp& fixture, const Road& road, TestMicrophone& microphone, int delayMs, Tally& tally) {
    AppUnderTest app(server.baseUrl());
    if (!program.isEmpty()) app.setProgram(program);
    // A chat application's field takes the words by the checked paste, which needs the clipboard.
    if (road.paste) app.defaults().setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), true);
    if (!history.writeInto(app)) return;
    app.start();
    if (!app.waitUntilHotkeyRegistered() || !waitUntilSettled(app.processId(), 400, 60000)) {
        std::printf("the app did not get ready: %s\n", qPrintable(app.standardError()));
        return;
    }
    ++tally.runs;
    fixture.setText(kField, QString());
    bringToFront(fixture.processId());
    speakWithHotkeyDown(microphone, kHotkey);
    sendKeys(kHotkey, false);
    QElapsedTimer timer;
    timer.start();
    bool landed = false;
    // No sleep between looks: the landing is seen as soon as the fixture can tell it.
    while (!landed && timer.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        landed = fixture.texts().value(kField).toString() == kWords;
    }
    const double landedMs = double(timer.nsecsElapsed()) / 1e6;
    QElapsedTimer sinceLanding;
    sinceLanding.start();
    while (sinceLanding.nsecsElapsed() < qint64(delayMs) * 1'000'000) {
    }
    ::kill(pid_t(app.processId()), SIGKILL);
    const double killedAfterMs = double(sinceLanding.nsecsElapsed()) / 1e6;
    waitUntil([&] { return !app.isRunning(); }, 10000);
    if (!landed) return;
    ++tally.landed;
    tally.releaseToLandedMs.push_back(landedMs);
    const QList<TranscriptHistoryEntry> entries = app.historyEntries();
    const bool kept = std::any_of(entries.cbegin(), entries.cend(),
                                  [](const TranscriptHistoryEntry& entry) { return entry.transcript == kWords; });
    if (!kept) {
        ++tally.lost;
        tally.lostAfterMs << QString::number(killedAfterMs, 'f', 1);
    }
    if (entries.size() < history.count()) ++tally.damaged;
}

void measure(FakeBackendServer& server, const QString& program, int entries, const Road& road, int runs) {
    const QByteArray loadBefore = loadAverage();
    const SeededHistory history(entries);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (road.paste) environment.insert(QStringLiteral("RESOURCE_NAME"), QStringLiteral("slack"));
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Kill target"), environment);
    fixture.focus(kField);
    TestMicrophone microphone;
    Tally tally;
    for (int run = 0; run < runs; ++run)
        killAfterLanding(server, program, history, fixture, road, microphone, run * kKillSpreadMs / runs, tally);
    std::printf(
        "%6dk history, %s: %d runs, %d landed, %d landed dictations missing after kill -9 0 to %d ms after "
        "landing, %d histories damaged; release to text landed median %.1f ms; load average %s -> %s\n",
        entries / 1000, road.name, tally.runs, tally.landed, tally.lost, kKillSpreadMs, tally.damaged,
        median(tally.releaseToLandedMs), loadBefore.constData(), loadAverage().constData());
    std::printf("        lost when killed this many ms after landing: %s\n",
                qPrintable(tally.lostAfterMs.join(QStringLiteral(", "))));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!insideDesktopTestEnvironment()) return 1;
    QStringList positional;
    bool busy = false;
    std::vector<Road> roads{{"direct write", false}, {"paste", true}};
    std::vector<int> sizes{20'000, 100'000};
    for (const QString& argument : application.arguments().mid(1)) {
        if (argument == u"--busy") {
            busy = true;
        } else if (argument.startsWith(u"--road=")) {
            const bool paste = argument.endsWith(u"paste");
            roads.erase(
                std::remove_if(roads.begin(), roads.end(), [&](const Road& road) { return road.paste != paste; }),
                roads.end());
        } else if (argument.startsWith(u"--entries=")) {
            sizes.clear();
            for (const QString& size : argument.section(u'=', 1).split(u','))
                sizes.push_back(std::max(1, size.toInt()));
        } else {
            positional << argument;
        }
    }
    const int runs = positional.size() > 0 ? std::max(1, positional[0].toInt()) : 30;
    const QString program = positional.value(1);
    FakeBackendServer server;
    answerTranscriptionsWith(server, kWords);
    seedSignedInSession();
    {
        std::optional<BusyProcessors> busyProcessors;
        if (busy) busyProcessors.emplace();
        std::printf("%d processes keep the processors busy\n", busyProcessors ? busyProcessors->count() : 0);
        std::fflush(stdout);
        for (const int entries : sizes)
            for (const Road& road : roads)
                measure(server, program, entries, road, runs);
    }
    clearStoredSession();
    return 0;
}
