// The quit signals: each one heard with the process that sent it, then the application's quit.
#include "Platform/Linux/UnixSignalQuit.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>
#include <csignal>

namespace quorvelle {
namespace {

// Runs the event loop while `send` delivers signals; returns whether the loop was quit (not timed out).
bool quitsWhile(const std::function<void()>& send) {
    QTimer::singleShot(0, send);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    limit.start(20000);
    return QCoreApplication::exec() == 0;
}

TEST(UnixSignalQuit, EachQuitSignalIsHeardWithItsSenderAndQuitsTheEventLoop) {
    QList<QuitSignal> heard;
    qint64 killer = 0;
    {
        const UnixSignalQuit watch([&](const QuitSignal& signal) { heard.append(signal); });
        ASSERT_TRUE(watch.isInstalled());
        // From another process, known by its id, which stays until the test is done with it.
        QProcess sender;
        EXPECT_TRUE(quitsWhile([&] {
            sender.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("kill -TERM \"$0\"; sleep 60"),
                                                QString::number(::getpid())});
            ASSERT_TRUE(sender.waitForStarted());
            killer = sender.processId();
        }));
        sender.kill();
        sender.waitForFinished();
        ASSERT_EQ(heard.size(), 1);
        EXPECT_EQ(heard[0].number, SIGTERM);
        EXPECT_EQ(heard[0].senderProcess, killer);
        EXPECT_EQ(heard[0].senderUser, ::getuid());
        EXPECT_EQ(heard[0].senderName, "sh");

        // Two signals before the loop runs: both heard, in order, and one quit.
        EXPECT_TRUE(quitsWhile([] {
            ::raise(SIGHUP);
            ::kill(::getpid(), SIGINT);
        }));
        ASSERT_EQ(heard.size(), 3);
        EXPECT_EQ(heard[1].number, SIGHUP);
        EXPECT_EQ(heard[2].number, SIGINT);
        EXPECT_EQ(heard[2].senderProcess, ::getpid());
        QFile ownName(QStringLiteral("/proc/self/comm"));
        ASSERT_TRUE(ownName.open(QIODevice::ReadOnly));
        EXPECT_EQ(heard[2].senderName, QString::fromLocal8Bit(ownName.readAll()).trimmed());
    }
    EXPECT_EQ(UnixSignalQuit::signalName(SIGTERM), "SIGTERM");
    EXPECT_EQ(UnixSignalQuit::signalName(SIGHUP), "SIGHUP");
}

}  // namespace
}  // namespace quorvelle
