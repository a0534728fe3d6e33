// A real-application test as ctest's time-out finds it: started from a clean desktop as every desktop
// test is, Firefox open on the test page, the hot key held and the recording running. It prints
// "recording" and waits to be killed; any other end is a failure (exit code).
#include "CleanDesktop.h"
#include "RealAppDictation.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"

#include <QApplication>
#include <QDebug>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace quorvelle;
    QApplication application(argc, argv);
    if (const QStringList failures = test::startFromCleanDesktop(); !failures.isEmpty()) {
        qWarning().noquote() << "the desktop is not clean:" << failures.join(u"; ");
        return 2;
    }
    test::RealAppDictation dictation;
    if (!dictation.isReady()) return 3;
    const auto firefox = test::RealApp::firefox(dictation.folder.path());
    if (!firefox || dictation.focusedTextElement().isEmpty()) return 4;
    test::sendKeys(test::RealAppDictation::hotkey(), true);
    const SessionViewModel& session = *dictation.vm->session();
    if (!test::waitUntil([&] { return session.runtimeState().kind() == SessionState::Kind::recording; }, 60000))
        return 5;
    std::printf("recording\n");
    std::fflush(stdout);
    // Killed long before this ends.
    test::waitUntil([] { return false; }, 600000);
    return 6;
}
