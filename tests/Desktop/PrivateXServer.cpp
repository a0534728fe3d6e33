#include "PrivateXServer.h"

#include "TestEventLoop.h"

namespace quorvelle::test {

namespace {

constexpr int kLong = 30000;

}  // namespace

PrivateXServer::PrivateXServer() {
    m_process.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     QStringLiteral("-noreset")});
    if (!waitUntil([&] { return m_process.canReadLine(); }, kLong)) {
        m_failure = QStringLiteral("Xvfb did not start");
        return;
    }
    const QString display = QLatin1Char(':') + QString::fromLatin1(m_process.readLine().trimmed());
    // On a loaded machine the server may name its display before it takes connections; without
    // -noreset it would also reset, refusing connections a moment, when the probe below leaves.
    if (!waitUntil([&] {
            QProcess probe;
            probe.start(QStringLiteral("xdpyinfo"), {QStringLiteral("-display"), display});
            return probe.waitForFinished(kLong) && probe.exitCode() == 0;
        })) {
        m_failure = QStringLiteral("Xvfb %1 takes no connections").arg(display);
        return;
    }
    m_display = display;
}

PrivateXServer::~PrivateXServer() {
    stop();
}

void PrivateXServer::stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

}  // namespace quorvelle::test
