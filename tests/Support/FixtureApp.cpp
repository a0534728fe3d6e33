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

FixtureApp::FixtureApp(Toolkit toolkit, const QString& title) : toolkit_(toolkit), title_(title) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(programPath(toolkit), {title});
    if (!process_.waitForStarted(kAnswerTimeoutMs)) {
        throw std::runtime_error("fixture app did not start: " + programPath(toolkit).toStdString());
    }
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(kAnswerTimeoutMs)) throw std::runtime_error("fixture app never got ready");
    }
    const QByteArray first = process_.readLine().trimmed();
    if (first != "ready") throw std::runtime_error("fixture app said: " + first.toStdString());
}

FixtureApp::~FixtureApp() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.write("quit\n");
    process_.closeWriteChannel();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

QString FixtureApp::applicationName() const { return QFileInfo(programPath(toolkit_)).fileName(); }

QString FixtureApp::command(const QString& line) {
    process_.write((line + QLatin1Char('\n')).toUtf8());
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(kAnswerTimeoutMs)) {
            throw std::runtime_error("fixture app did not answer: " + line.toStdString());
        }
    }
    return QString::fromUtf8(process_.readLine().trimmed());
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
