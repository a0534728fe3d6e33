#include "FixtureApp.h"

#include "TestEventLoop.h"

#include <QFileInfo>
#include <QJsonDocument>

#include <stdexcept>

namespace quorvelle::test {

namespace {

QString programPath(FixtureApp::Toolkit toolkit) {
    return QString::fromUtf8(toolkit == FixtureApp::Toolkit::Qt ? QUORVELLE_QT_FIXTURE_PATH
                                                                : QUORVELLE_GTK_FIXTURE_PATH);
}

}  // namespace

FixtureApp::FixtureApp(Toolkit toolkit, const QString& title, const QProcessEnvironment& environment)
    : m_toolkit(toolkit) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!environment.isEmpty()) m_process.setProcessEnvironment(environment);
    m_process.start(programPath(toolkit), {title});
    const QByteArray first = readLine("fixture app never got ready");
    if (first != "ready") throw std::runtime_error("fixture app said: " + first.toStdString());
}

FixtureApp::~FixtureApp() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.write("quit\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QProcessEnvironment FixtureApp::namedAsChatApplication() {
    QProcessEnvironment named = QProcessEnvironment::systemEnvironment();
    named.insert(QStringLiteral("RESOURCE_NAME"), QStringLiteral("slack"));
    return named;
}

QString FixtureApp::applicationName() const {
    return QFileInfo(programPath(m_toolkit)).fileName();
}

QByteArray FixtureApp::readLine(const char* failure) {
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(30000)) throw std::runtime_error(failure);
    }
    return m_process.readLine().trimmed();
}

QString FixtureApp::command(const QString& line) {
    m_process.write((line + QLatin1Char('\n')).toUtf8());
    return QString::fromUtf8(readLine("fixture app did not answer"));
}

void FixtureApp::expectOk(const QString& line) {
    if (command(line) != QLatin1String("ok")) throw std::runtime_error("refused: " + line.toStdString());
}

bool FixtureApp::openPasswordWindow(int timeoutMs) {
    m_process.write("prompt\n");
    // Whoever waits for the window here (a dictation's session) keeps running.
    return waitUntil([this] { return m_process.canReadLine(); }, timeoutMs) && m_process.readLine().trimmed() == "ok";
}

QJsonObject FixtureApp::texts() {
    return QJsonDocument::fromJson(command(QStringLiteral("text")).toUtf8()).object();
}

}  // namespace quorvelle::test
