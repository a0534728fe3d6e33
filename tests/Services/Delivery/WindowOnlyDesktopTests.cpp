// Delivery into windows that show no accessibility tree: a terminal and a Qt program with its
// accessibility switched off receive the text by a paste; a password prompt is refused. Driven the
// way a dictation delivers: inspect, choose the strategy, write the clipboard, paste, verify.
#include "DesktopInput.h"
#include "FixtureApp.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "TestEventLoop.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FixtureApp;

class WindowOnlyDelivery : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") {
            GTEST_SKIP() << "needs the desktop test environment (scripts/desktop-test-env)";
        }
        m_services = std::make_unique<LinuxTextDeliveryServices>();
    }

    // Brings the process's window to the front and inspects until the inspector sees it there.
    FocusedTargetSnapshot inspectWindowOf(qint64 processIdentifier) {
        std::optional<FocusedTargetSnapshot> found;
        test::waitUntil(
            [&] {
                test::activateWindowOf(processIdentifier);
                try {
                    FocusedTargetSnapshot snapshot = m_services->inspector().inspect();
                    if (snapshot.app.processIdentifier == processIdentifier) found = std::move(snapshot);
                } catch (const FocusedTargetInspectionError&) {
                }
                return found.has_value();
            },
            10000);
        if (!found) throw std::runtime_error("the window never came to the front");
        return *found;
    }

    // The clipboard road of a delivery; nothing can be read back from such a window.
    void pasteInto(const FocusedTargetSnapshot& target, const QString& text) {
        ASSERT_EQ(m_services->strategyResolver().resolve(target), TextInsertionStrategy::clipboardPaste);
        m_services->clipboard().writeString(text);
        m_services->pastePerformer().performPaste(target);
        EXPECT_EQ(m_services->insertionVerifier().verifyInsertion(text, target), std::nullopt);
    }

    std::unique_ptr<LinuxTextDeliveryServices> m_services;
};

TEST_F(WindowOnlyDelivery, PastesWithControlVIntoAQtWindowWithoutAccessibility) {
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("No accessibility"),
                       test::environmentWithoutAccessibility());
    fixture.focus(QStringLiteral("single"));
    const FocusedTargetSnapshot target = inspectWindowOf(fixture.processId());
    EXPECT_TRUE(target.isWindowOnly);
    EXPECT_EQ(target.terminalLikeReason(), std::nullopt);
    EXPECT_TRUE(target.isClipboardPasteCandidate());

    const QString text = QStringLiteral("dictated into a window without a tree, çğış");
    pasteInto(target, text);
    // The fixture fetches the text from this process: serve it before asking the fixture anything
    // (the fixture answers only once its paste is done).
    std::optional<QString> received;
    test::waitUntil(
        [&] {
            test::waitUntil([] { return false; }, 300);
            received = fixture.texts().value(QStringLiteral("single")).toString();
            return received == text;
        },
        10000);
    EXPECT_EQ(received, text);
}

// Alacritty pastes with Control+Shift+V, xterm the primary selection with Shift+Insert.
TEST_F(WindowOnlyDelivery, PastesIntoTerminalsWithTheirOwnChord) {
    struct Terminal {
        const char* program;
        const char* windowClass;
    };
    int ran = 0;
    for (const Terminal& t : {Terminal{"alacritty", "Alacritty"}, Terminal{"xterm", "XTerm"}}) {
        SCOPED_TRACE(t.program);
        const QString program = QStandardPaths::findExecutable(QString::fromUtf8(t.program));
        if (program.isEmpty()) continue;
        ++ran;
        QTemporaryDir directory;
        ASSERT_TRUE(directory.isValid());
        const QString received = directory.filePath(QStringLiteral("received"));
        QProcess terminal;
        // The shell hands every byte typed (or pasted) straight to the file.
        terminal.start(program, {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                                 QStringLiteral("stty -icanon -echo; exec cat > \"$0\""), received});
        ASSERT_TRUE(terminal.waitForStarted());
        const auto stop = qScopeGuard([&] {
            terminal.kill();
            terminal.waitForFinished(2000);
        });

        // The redirection makes the file once the shell is reading: text pasted sooner could be lost.
        ASSERT_TRUE(test::waitUntil([&] { return QFile::exists(received); }, 10000));
        const FocusedTargetSnapshot target = inspectWindowOf(terminal.processId());
        EXPECT_TRUE(target.isWindowOnly);
        EXPECT_EQ(target.app.bundleIdentifier, QString::fromUtf8(t.windowClass));
        ASSERT_TRUE(target.terminalLikeReason().has_value());

        const QString text = QStringLiteral("ls -la ~/projeler # üçüncü");
        pasteInto(target, text);
        QString contents;
        test::waitUntil(
            [&] {
                QFile file(received);
                if (file.open(QIODevice::ReadOnly)) contents = QString::fromUtf8(file.readAll());
                return contents == text;
            },
            10000);
        EXPECT_EQ(contents, text);
    }
    if (ran == 0) GTEST_SKIP() << "neither alacritty nor xterm is installed (scripts/install-deps installs both)";
}

TEST_F(WindowOnlyDelivery, RefusesAPasswordPromptItCannotLookInto) {
    FixtureApp prompt(FixtureApp::Toolkit::Qt, QStringLiteral("Passphrase"),
                      test::environmentWithoutAccessibility(QStringLiteral("pinentry-qt")));
    prompt.focus(QStringLiteral("password"));
    const FocusedTargetSnapshot target = inspectWindowOf(prompt.processId());
    EXPECT_TRUE(target.isWindowOnly);
    EXPECT_EQ(target.blockReason(), SessionBlockReason::secureField);
    EXPECT_FALSE(target.isClipboardPasteCandidate());
    EXPECT_NE(m_services->strategyResolver().resolve(target), TextInsertionStrategy::clipboardPaste);
}

}  // namespace
}  // namespace quorvelle
