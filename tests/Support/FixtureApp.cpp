#include "FixtureApp.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>

#include <stdexcept>

namespace quorvelle::test {

namespace {

constexpr int kAnswerTimeoutMs = 10000;

QString programPath(FixtureApp::Toolkit toolkit) {
    return QString::fromUtf8(toolkit == FixtureApp::Toolkit::Qt ? QUORVELLE_QT_FIXTURE_PATH
                                                                : QUORVELLE_GTK_FIXTURE_PATH);
}

}  // namespace

FixtureApp::FixtureApp(Toolkit toolkit, const QString& title, const QProcessEnvironment& environment)
    : m_toolkit(toolkit), m_title(title) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!environment.isEmpty()) m_process.setProcessEnvironment(environment);
    m_process.start(programPath(toolkit), {title});
    if (!m_process.waitForStarted(kAnswerTimeoutMs)) {
        throw std::runtime_error("fixture app did not start: " + programPath(toolkit).toStdString());
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(kAnswerTimeoutMs)) throw std::runtime_error("fixture app never got ready");
    }
    const QByteArray first = m_process.readLine().trimmed();
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

QString FixtureApp::applicationName() const {
    return QFileInfo(programPath(m_toolkit)).fileName();
}

QString FixtureApp::command(const QString& line) {
    m_process.write((line + QLatin1Char('\n')).toUtf8());
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(kAnswerTimeoutMs)) {
            throw std::runtime_error("fixture app did not answer: " + line.toStdString());
        }
    }
    return QString::fromUtf8(m_process.readLine().trimmed());
}

void FixtureApp::focus(const QString& field) {
    if (command(QStringLiteral("focus ") + field) != QLatin1String("ok")) throw std::runtime_error("focus refused");
}

void FixtureApp::setText(const QString& field, const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    if (command(QStringLiteral("set %1 %2").arg(field, escaped)) != QLatin1String("ok")) {
        throw std::runtime_error("set refused");
    }
}

void FixtureApp::select(const QString& field, int start, int length) {
    if (command(QStringLiteral("select %1 %2 %3").arg(field).arg(start).arg(length)) != QLatin1String("ok")) {
        throw std::runtime_error("select refused");
    }
}

void FixtureApp::showRows(int count) {
    if (command(QStringLiteral("rows %1").arg(count)) != QLatin1String("ok")) throw std::runtime_error("rows refused");
}

QJsonObject FixtureApp::texts() {
    return QJsonDocument::fromJson(command(QStringLiteral("text")).toUtf8()).object();
}

}  // namespace quorvelle::test
