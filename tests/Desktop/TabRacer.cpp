#include "TabRacer.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvelle::test {

namespace {

TabRacer::Clock::time_point fromNs(const QByteArray& field) {
    return TabRacer::Clock::time_point(std::chrono::nanoseconds(field.toLongLong()));
}

}  // namespace

TabRacer::TabRacer() {
    const QByteArray fifo = QFile::encodeName(m_folder.filePath(u"trigger"_qs));
    if (!m_folder.isValid() || mkfifo(fifo.constData(), 0600) != 0) return;
    // Read and write: opening never waits for the other end.
    m_fifo = open(fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fifo < 0) return;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QUORVELLE_TAB_RACER_PATH), {QFile::decodeName(fifo)});
    m_ready = m_process.waitForStarted(10000) && nextLine(10000) == "ready";
}

TabRacer::~TabRacer() {
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000)) m_process.kill(), m_process.waitForFinished(5000);
    if (m_fifo >= 0) close(m_fifo);
}

bool TabRacer::arm(std::chrono::nanoseconds offset) {
    if (!m_ready) return false;
    m_process.write("arm " + QByteArray::number(qint64(offset.count())) + '\n');
    m_process.waitForBytesWritten(1000);
    return nextLine(10000) == "armed";
}

void TabRacer::trigger() {
    const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
    [[maybe_unused]] const ssize_t written = write(m_fifo, &now, sizeof now);
}

std::optional<TabRacer::Race> TabRacer::end() {
    if (!m_ready) return std::nullopt;
    m_process.write("end\n");
    m_process.waitForBytesWritten(1000);
    const std::optional<QByteArray> line = nextLine(10000);
    const QList<QByteArray> fields = line ? line->split(' ') : QList<QByteArray>{};
    if (fields.size() != 4 || fields.at(0) != "race") return std::nullopt;
    Race race;
    const QByteArray& order = fields.at(1);
    race.order = order == "tab-first"       ? Race::Order::tabFirst
                 : order == "control-first" ? Race::Order::controlFirst
                 : order == "no-control"    ? Race::Order::noControl
                                            : Race::Order::noTrigger;
    race.triggered = fromNs(fields.at(2));
    race.tabSent = fromNs(fields.at(3));
    return race;
}

std::optional<QByteArray> TabRacer::nextLine(int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!m_process.canReadLine()) {
        if (waited.elapsed() >= timeoutMs || m_process.state() != QProcess::Running) return std::nullopt;
        m_process.waitForReadyRead(int(timeoutMs - waited.elapsed()));
    }
    return m_process.readLine().trimmed();
}

}  // namespace quorvelle::test
