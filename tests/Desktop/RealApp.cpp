#include "RealApp.h"

#include "TestEventLoop.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <csignal>

namespace quorvelle::test {

namespace {

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

}  // namespace

bool xdotool(const QStringList& arguments, QString* output) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(30000)) return false;
    if (output) *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return process.exitCode() == 0;
}

RealApp::RealApp(const QString& program, const QStringList& arguments, QString titlePattern)
    : m_titlePattern(std::move(titlePattern)) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, arguments);
}

// The process that shows the window is ended too: Writer's starter leaves the window to another.
RealApp::~RealApp() {
    QString pid;
    if (xdotool({u"search"_qs, u"--name"_qs, m_titlePattern, u"getwindowpid"_qs}, &pid) && pid.toInt() > 0)
        ::kill(pid.toInt(), SIGTERM);
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) m_process.kill(), m_process.waitForFinished(5000);
}

bool RealApp::waitForTitle(const QString& pattern, int timeoutMs) {
    return waitUntil([&] { return xdotool({u"search"_qs, u"--name"_qs, pattern}); }, timeoutMs);
}

bool RealApp::pressKeys(const QString& keys) {
    return xdotool({u"key"_qs, u"--clearmodifiers"_qs, keys});
}

bool RealApp::bringToFront(const QString& titlePattern) {
    return xdotool({u"search"_qs, u"--onlyvisible"_qs, u"--name"_qs, titlePattern, u"windowactivate"_qs, u"--sync"_qs});
}

// These applications start slowly under load: the wait is generous.
bool RealApp::showsAndTakesFocus() {
    return waitForTitle(m_titlePattern) &&
           xdotool({u"search"_qs, u"--name"_qs, m_titlePattern, u"windowactivate"_qs, u"--sync"_qs});
}

std::unique_ptr<RealApp> RealApp::launch(const QString& program, const QStringList& arguments,
                                         const QString& titlePattern) {
    std::unique_ptr<RealApp> app(new RealApp(program, arguments, titlePattern));
    return app->showsAndTakesFocus() ? std::move(app) : nullptr;
}

std::unique_ptr<RealApp> RealApp::firefox(const QString& folder) {
    return firefoxOn(folder,
                     "<!doctype html><title>ready</title><textarea autofocus "
                     "oninput=\"document.title='area:'+this.value\"></textarea>"
                     "<input oninput=\"document.title='line:'+this.value\">");
}

std::unique_ptr<RealApp> RealApp::firefoxOn(const QString& folder, const QByteArray& contents) {
    const QString profile = folder + u"/firefox"_qs, page = folder + u"/page.html"_qs;
    QDir().mkpath(profile);
    // A fresh profile opens the privacy notice in a second tab, which fails to load offline: a Control
    // held with a Tab (a user's Tab racing the paste keys) would switch to it and away from the page.
    writeFile(profile + u"/user.js"_qs, "user_pref(\"datareporting.policy.firstRunURL\", \"\");\n");
    writeFile(page, contents);
    std::unique_ptr<RealApp> app(new RealApp(
        u"firefox-esr"_qs,
        {u"-profile"_qs, profile, u"-no-remote"_qs, u"--new-instance"_qs, QUrl::fromLocalFile(page).toString()},
        u"^ready"_qs));
    if (!app->showsAndTakesFocus()) return nullptr;
    app->m_titlePattern = u"Mozilla Firefox$"_qs;
    return app;
}

std::unique_ptr<RealApp> RealApp::chromiumOn(const QString& folder, const QByteArray& contents) {
    const QString chromium = QStandardPaths::findExecutable(u"chromium"_qs);
    if (chromium.isEmpty()) return nullptr;
    const QString profile = folder + u"/chromium"_qs, page = folder + u"/chromium-page.html"_qs;
    QDir().mkpath(profile);
    writeFile(page, contents);
    std::unique_ptr<RealApp> app(
        new RealApp(chromium,
                    {u"--no-sandbox"_qs, u"--force-renderer-accessibility"_qs, u"--no-first-run"_qs,
                     u"--user-data-dir="_qs + profile, QUrl::fromLocalFile(page).toString()},
                    u"^ready"_qs));
    if (!app->showsAndTakesFocus()) return nullptr;
    app->m_titlePattern = u"Chromium$"_qs;
    return app;
}

std::unique_ptr<RealApp> RealApp::writer(const QString& folder, QString* document, const QByteArray& body) {
    *document = folder + u"/note.fodt"_qs;
    writeFile(
        *document,
        R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles><style:style style:name="B" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style></office:automatic-styles>
<office:body><office:text>)" +
            (body.isEmpty() ? R"(<text:p>Plain <text:span text:style-name="B">bold</text:span> end</text:p>)" : body) +
            R"(</office:text></office:body></office:document>
)");
    qputenv("SAL_USE_VCLPLUGIN", "gtk3");
    std::unique_ptr<RealApp> app(
        new RealApp(u"soffice"_qs,
                    {u"--writer"_qs, u"--norestore"_qs, u"--nologo"_qs,
                     u"-env:UserInstallation="_qs + QUrl::fromLocalFile(folder + u"/writer"_qs).toString(), *document},
                    u"^note.fodt"_qs));
    if (!app->showsAndTakesFocus() || !pressKeys(u"ctrl+End"_qs)) return nullptr;
    return app;
}

qint64 RealApp::fileContentProcess() const {
    // Every content process names its browser's process in its command line (several browsers may
    // run on the machine), which Firefox rewrites as one line of words.
    const QByteArray parent = " -parentPid " + QByteArray::number(m_process.processId()) + ' ';
    for (const QString& entry : QDir(u"/proc"_qs).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number) continue;
        QFile name(u"/proc/%1/comm"_qs.arg(pid)), arguments(u"/proc/%1/cmdline"_qs.arg(pid));
        if (!name.open(QIODevice::ReadOnly) || name.readAll().trimmed() != "file:// Content") continue;
        if (arguments.open(QIODevice::ReadOnly) && arguments.readAll().replace('\0', ' ').contains(parent)) return pid;
    }
    return 0;
}

const QByteArray& RealApp::loginFormPage() {
    static const QByteArray page =
        "<!doctype html><title>ready</title>"
        "<input id=plain autofocus><input id=pw type=password>"
        "<script>const show=()=>{document.title='plain:'+plain.value+'|pw:'+pw.value};"
        "plain.oninput=pw.oninput=show;"
        "document.onkeydown=e=>{if(e.key=='Escape'){plain.value='';pw.value='';plain.focus();"
        "document.title='ready'}};</script>";
    return page;
}

}  // namespace quorvelle::test
