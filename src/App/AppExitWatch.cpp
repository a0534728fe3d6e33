#include "App/AppExitWatch.h"

#include "App/AppExitLog.h"
#include "Platform/Linux/X11Connection.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QStringList>
#include <QThread>

#include <cxxabi.h>
#include <execinfo.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

namespace quorvelle {

namespace {

AppExitWatch* g_watch = nullptr;
QtMessageHandler g_previousHandler = nullptr;
std::terminate_handler g_previousTerminate = nullptr;
// Xlib found a connection to the X server broken: the display is gone, whatever Qt's connection says yet.
std::atomic<bool> g_connectionBroken = false;
std::once_flag g_lossLogged;
std::atomic<bool> g_ending = false;

// "libQt6Core.so.6(_ZN16QCoreApplication4quitEv+0x1f) [0x7f...]" as "libQt6Core.so.6
// QCoreApplication::quit()+0x1f"; a function the program does not export keeps its offset in the
// module, which addr2line turns into a line of this build.
QString frameText(const char* symbol) {
    const QString text = QString::fromLocal8Bit(symbol);
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype close = text.indexOf(QLatin1Char(')'), open);
    if (open < 0 || close < 0) return text;
    const QString module = text.left(open).section(QLatin1Char('/'), -1);
    const QString inside = text.mid(open + 1, close - open - 1);
    const qsizetype plus = inside.lastIndexOf(QLatin1Char('+'));
    QString function = plus < 0 ? inside : inside.left(plus);
    const QString offset = plus < 0 ? QString() : inside.mid(plus);
    int status = -1;
    char* demangled = abi::__cxa_demangle(function.toLatin1().constData(), nullptr, nullptr, &status);
    if (status == 0 && demangled) function = QString::fromLatin1(demangled);
    std::free(demangled);
    return module + QLatin1Char(' ') + function + offset;
}

// The calls that led to the event being delivered, innermost first.
QString callChain() {
    void* frames[24];
    const int count = ::backtrace(frames, 24);
    char** symbols = ::backtrace_symbols(frames, count);
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << (symbols ? frameText(symbols[i]) : QString::number(quintptr(frames[i]), 16));
    std::free(symbols);
    // The delivery itself, down to Qt's entry point for sending, tells nothing.
    const auto delivery = std::find_if(texts.cbegin(), texts.cend(), [](const QString& text) {
        return text.contains(QLatin1String("QCoreApplication::notifyInternal2"));
    });
    return texts.mid(delivery == texts.cend() ? 0 : delivery - texts.cbegin() + 1).join(QStringLiteral(" < "));
}

}  // namespace

AppExitWatch::AppExitWatch(AppExitLog& log, std::function<void()> flush, std::function<bool()> displayLost,
                           std::function<void()> prepareForEnd, QObject* parent)
    : QObject(parent),
      m_log(log),
      m_flush(std::move(flush)),
      m_displayLost(std::move(displayLost)),
      m_prepareForEnd(std::move(prepareForEnd)) {
    g_watch = this;
    // On the application object it sees every event of the process; it only looks at the type.
    QCoreApplication::instance()->installEventFilter(this);
    g_previousHandler = qInstallMessageHandler(&AppExitWatch::handleMessage);
    g_previousTerminate = std::set_terminate(&AppExitWatch::handleTermination);
    // Registered once, after the start was logged: what logging uses was made before, so it is
    // still there when the handler runs (exit() destroys in reverse order of registration).
    static const bool exitHandled = std::atexit(&AppExitWatch::handleExit) == 0;
    Q_UNUSED(exitHandled);
    X11Connection::setLossHandler(&AppExitWatch::handleConnectionLoss);
}

AppExitWatch::~AppExitWatch() {
    X11Connection::setLossHandler(nullptr);
    std::set_terminate(g_previousTerminate);
    qInstallMessageHandler(g_previousHandler);
    g_watch = nullptr;
}

void AppExitWatch::eventLoopEnded(int code) {
    if (!m_log.hasCause())
        m_log.recordUnexplainedQuit(QStringLiteral("the event loop ended with code %1 and no quit request").arg(code));
}

bool AppExitWatch::eventFilter(QObject* watched, QEvent* event) {
    // A posted quit (Qt's own, when it thinks nothing keeps the app) shows the event loop's calls;
    // a direct one, its caller's.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() && !m_log.hasCause())
        m_log.recordUnexplainedQuit(QStringLiteral("a quit request reached the application; calls: ") + callChain());
    return false;
}

bool AppExitWatch::displayGone() const {
    return g_connectionBroken.load() || (m_displayLost && m_displayLost());
}

bool AppExitWatch::logDisplayLoss() {
    if (!displayGone()) return false;
    // Once, by whichever thread comes first; one that comes meanwhile waits until it is stored.
    std::call_once(g_lossLogged, [this] {
        m_log.recordDisplayLost();
        m_flush();
    });
    return true;
}

void AppExitWatch::endForLostDisplay() {
    logDisplayLoss();
    if (!m_prepareForEnd) return;
    // What it prepares belongs to the main thread.
    if (QThread::currentThread() == thread()) endPrepared();
    // This thread must not go on into exit(): the main thread ends the process, asked here unless
    // it finds the loss itself first.
    QMetaObject::invokeMethod(
        this, [this] { endPrepared(); }, Qt::QueuedConnection);
    std::this_thread::sleep_for(mainThreadWait);
    // Still here: the main thread is held, most likely waiting on this one, outside the history's calls.
    endPrepared();
}

void AppExitWatch::endPrepared() {
    if (g_ending.exchange(true)) {
        for (;;)
            ::pause();
    }
    m_prepareForEnd();
    std::fflush(nullptr);
    ::_exit(1);
}

void AppExitWatch::handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // Printed first: the log must not hold up the message a fatal end leaves on standard error.
    if (g_previousHandler) g_previousHandler(type, context, message);
    if (!g_watch) return;
    if (type == QtFatalMsg) {
        g_watch->m_log.recordFatalError(message);
        g_watch->m_flush();
    } else if (type == QtWarningMsg) {
        // Qt warns that the X connection broke, then calls exit(1): the app ends here instead, while
        // everything still runs. Any warning will do to look; the connection's own state says what
        // happened.
        if (!g_watch->m_log.hasCause()) g_watch->logDisplayLoss();
        // Qt's own warning comes from its event processing, outside any call of ours; another one may
        // come from inside one (a store's, holding its lock), so it leaves the end to the exit.
        if (message.startsWith(QLatin1String("The X11 connection broke")) && g_watch->displayGone())
            g_watch->endForLostDisplay();
    }
}

void AppExitWatch::handleExit() {
    // A watch still in place means the process is ending without main() having returned.
    if (!g_watch) return;
    if (!g_watch->m_log.hasCause() && !g_watch->logDisplayLoss()) {
        g_watch->m_log.recordUnexplainedQuit(
            QStringLiteral("exit() was called before the event loop returned; calls: ") + callChain());
        g_watch->m_flush();
        return;
    }
    if (g_watch->displayGone()) g_watch->endForLostDisplay();
}

void AppExitWatch::handleConnectionLoss() {
    g_connectionBroken.store(true);
    if (g_watch) g_watch->endForLostDisplay();
}

void AppExitWatch::handleTermination() {
    if (g_watch) {
        QString what = QStringLiteral("std::terminate");
        if (const std::exception_ptr thrown = std::current_exception()) {
            try {
                std::rethrow_exception(thrown);
            } catch (const std::exception& error) {
                what = QStringLiteral("an exception nobody caught: ") + QString::fromUtf8(error.what());
            } catch (...) {
                what = QStringLiteral("an exception nobody caught");
            }
        }
        g_watch->m_log.recordFatalError(what);
        g_watch->m_flush();
    }
    if (g_previousTerminate) g_previousTerminate();
    std::abort();
}

}  // namespace quorvelle
