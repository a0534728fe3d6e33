#pragma once

#include "TestEventLoop.h"

#include <atspi/atspi.h>

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace quorvelle::test {

// Asks the app's own accessibility object a question again and again from a thread of its own while
// measuring: the app answers it on its main thread, so the slowest answer is the longest that thread
// was held. Between measurements nothing is asked, so the app can be seen at rest.
class MainThreadProbe {
public:
    explicit MainThreadProbe(qint64 processId) {
        const QString address = QDBusInterface(u"org.a11y.Bus"_qs, u"/org/a11y/bus"_qs, u"org.a11y.Bus"_qs)
                                    .call(u"GetAddress"_qs)
                                    .arguments()
                                    .value(0)
                                    .toString();
        // A copy just started joins the bus a moment after it shows.
        QString name;
        waitUntil([&] { return !(name = busNameOf(processId)).isEmpty(); }, 10000);
        if (address.isEmpty() || name.isEmpty()) return;
        m_thread = std::thread([this, address, name] {
            const QDBusConnection bus = QDBusConnection::connectToBus(address, u"main-thread-probe"_qs);
            QDBusMessage question = QDBusMessage::createMethodCall(name, u"/org/a11y/atspi/accessible/root"_qs,
                                                                   u"org.freedesktop.DBus.Properties"_qs, u"Get"_qs);
            question << u"org.a11y.atspi.Accessible"_qs << u"ChildCount"_qs;
            while (!m_stop) {
                if (m_answered && !m_measuring) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    continue;
                }
                QElapsedTimer timer;
                timer.start();
                const QDBusMessage answer = bus.call(question, QDBus::Block, 10000);
                if (answer.type() == QDBusMessage::ReplyMessage) m_answered = true;
                const double ms = double(timer.nsecsElapsed()) / 1e6;
                if (m_measuring) m_longest = std::max(m_longest.load(), ms);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        waitUntil([this] { return m_answered.load(); }, 10000);
    }
    ~MainThreadProbe() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        QDBusConnection::disconnectFromBus(u"main-thread-probe"_qs);
    }
    MainThreadProbe(const MainThreadProbe&) = delete;
    MainThreadProbe& operator=(const MainThreadProbe&) = delete;

    bool isAnswered() const { return m_answered; }
    void start() { m_longest = 0, m_measuring = true; }
    // The slowest answer since `start`, in milliseconds.
    double stop() { return m_measuring = false, m_longest.load(); }

private:
    static QString busNameOf(qint64 processId) {
        atspi_init();
        AtspiAccessible* desktop = atspi_get_desktop(0);
        QString name;
        for (int i = 0; desktop && name.isEmpty() && i < atspi_accessible_get_child_count(desktop, nullptr); ++i) {
            AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
            if (app && atspi_accessible_get_process_id(app, nullptr) == guint(processId) && ATSPI_OBJECT(app)->app)
                name = QString::fromUtf8(ATSPI_OBJECT(app)->app->bus_name);
            if (app) g_object_unref(app);
        }
        if (desktop) g_object_unref(desktop);
        return name;
    }

    std::thread m_thread;
    std::atomic<bool> m_stop = false, m_measuring = false, m_answered = false;
    std::atomic<double> m_longest = 0;
};

}  // namespace quorvelle::test
