// Dictation into windows that show no accessibility tree, over the desktop's own delivery services:
// the text arrives by a paste that cannot be read back, and a password prompt is refused.
#include "DesktopDeliveryWiring.h"
#include "DictationRig.h"
#include "FixtureApp.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Services/Delivery/DesktopInput.h"
#include "TestEventLoop.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

class WindowOnlyDictation : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
    }

    // Brings the window to the front, then dictates "hello world" with the clipboard fallback on.
    DictationRig& dictateInto(qint64 processIdentifier) {
        waitUntil(
            [&] {
                activateWindowOf(processIdentifier);
                try {
                    return m_services->inspector().inspect().app.processIdentifier == processIdentifier;
                } catch (const std::exception&) {
                    return false;
                }
            },
            10000);
        const auto services = m_services;
        m_rig = std::make_unique<DictationRig>(
            [&](FakeBootstrap& fakes, AppBootstrap& s) {
                fakes.userDefaults->setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), true);
                useDesktopDelivery(s, services);
            },
            [](ViewModelEnvironment& environment) { environment.clipboardPasteVerificationSleep = &sleepFor; });
        m_rig->dictate();
        // The target fetches the text from this process: keep serving it until the session settles.
        waitUntil([&] { return m_rig->session().runtimeState().kind() != SessionState::Kind::injecting; }, 10000);
        return *m_rig;
    }

    void expectUnverifiedPaste(const DictationRig& rig) {
        EXPECT_EQ(rig.state(), SessionState::success()) << rig.message().toStdString();
        ASSERT_EQ(rig.fakes.history->entries.size(), 1);
        EXPECT_EQ(rig.fakes.history->entries.first().completionKind,
                  TranscriptHistoryCompletionKind::pasteSentUnverified);
    }

    std::shared_ptr<LinuxTextDeliveryServices> m_services = std::make_shared<LinuxTextDeliveryServices>();
    std::unique_ptr<DictationRig> m_rig;
};

TEST_F(WindowOnlyDictation, PastesIntoATerminalAndAQtWindowWithoutAccessibility) {
    const QString alacritty = QStandardPaths::findExecutable(QStringLiteral("alacritty"));
    if (alacritty.isEmpty()) GTEST_SKIP() << "alacritty is not installed (scripts/install-deps installs it)";
    QTemporaryDir directory;
    const QString received = directory.filePath(QStringLiteral("received"));
    QProcess terminal;
    terminal.start(alacritty, {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                               QStringLiteral("stty -icanon -echo; exec cat > \"$0\""), received});
    ASSERT_TRUE(terminal.waitForStarted());
    const auto stop = qScopeGuard([&] {
        terminal.kill();
        terminal.waitForFinished(2000);
    });
    // The redirection makes the file once the shell is reading: text pasted sooner could be lost.
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(received); }, 10000));
    expectUnverifiedPaste(dictateInto(terminal.processId()));
    QString contents;
    waitUntil(
        [&] {
            QFile file(received);
            if (file.open(QIODevice::ReadOnly)) contents = QString::fromUtf8(file.readAll());
            return contents.contains(QStringLiteral("hello world"));
        },
        10000);
    EXPECT_EQ(contents.trimmed(), QStringLiteral("hello world"));

    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("No accessibility"), environmentWithoutAccessibility());
    fixture.focus(QStringLiteral("single"));
    expectUnverifiedPaste(dictateInto(fixture.processId()));
    EXPECT_EQ(fixture.texts().value(QStringLiteral("single")).toString().trimmed(), QStringLiteral("hello world"));
}

TEST_F(WindowOnlyDictation, RefusesAPasswordPrompt) {
    FixtureApp prompt(FixtureApp::Toolkit::Qt, QStringLiteral("Passphrase"),
                      environmentWithoutAccessibility(QStringLiteral("pinentry-qt")));
    prompt.focus(QStringLiteral("password"));
    const DictationRig& rig = dictateInto(prompt.processId());
    EXPECT_EQ(rig.state().kind(), SessionState::Kind::blocked);
    EXPECT_TRUE(rig.fakes.history->entries.isEmpty());
    EXPECT_TRUE(prompt.texts().value(QStringLiteral("password")).toString().isEmpty());
}

}  // namespace
}  // namespace quorvelle::test
