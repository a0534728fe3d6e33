#include "RealAppDictation.h"

#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "ShellDesktopInput.h"
#include "Support/Clocks.h"
#include "TestEventLoop.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <csignal>

namespace quorvelle::test {

namespace {

const QStringList kHotkey{u"Control_L"_qs, u"Alt_L"_qs, u"Return"_qs};

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

RealAppDictation::RealAppDictation(const std::function<void(AppBootstrap&)>& adjust) {
    fakes.makeReadyForCloudDictation();
    AppBootstrap services = fakes.bootstrap();
    services.hotkeyMonitor = std::make_shared<CarbonHotkeyMonitor>(std::make_unique<XcbHotKeyRegistrar>());
    services.focusedTargetInspector = {delivery, &delivery->inspector()};
    services.textInserter = {delivery, &delivery->inserter()};
    services.pasteboardWriter = {delivery, &delivery->clipboard()};
    services.textInsertionStrategyResolver = {delivery, &delivery->strategyResolver()};
    services.syntheticPastePerformer = {delivery, &delivery->pastePerformer()};
    services.focusChangeAwaiter = {delivery, &delivery->focusChanges()};
    if (adjust) adjust(services);
    ViewModelEnvironment environment = fakes.environment();
    environment.clipboardPasteVerificationSleep = environment.focusSettleSleep = &sleepFor;
    // The waits for the focus are bounded in real time.
    environment.uptimeNanosecondsProvider = &monotonicUptimeNanoseconds;
    vm = std::make_unique<AppViewModel>(services, environment);
    vm->preferences()->setHotkey(HotkeyShortcut::suggestions().at(1));
}

const QStringList& RealAppDictation::hotkey() {
    return kHotkey;
}

bool RealAppDictation::isReady() const {
    return folder.isValid() && vm->session()->isHotkeyMonitoringActive();
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

std::optional<FocusedTargetSnapshot> RealAppDictation::focusedTextTarget() {
    try {
        FocusedTargetSnapshot target = delivery->inspector().inspect();
        if (target.hasSettledFocus() && !target.isWindowOnly) return target;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

QString RealAppDictation::focusedTextElement(const QString& previous) {
    QString key;
    waitUntil(
        [&] {
            if (const auto target = focusedTextTarget()) key = elementOf(target->elementHandle)->identityKey();
            return !key.isEmpty() && key != previous;
        },
        30000);
    return key != previous ? key : QString();
}

bool RealAppDictation::focusedFieldHoldsStill() {
    QString lastKey;
    std::optional<QRectF> lastFrame;
    return waitUntil(
        [&] {
            const auto target = focusedTextTarget();
            const QString key = target ? elementOf(target->elementHandle)->identityKey() : QString();
            const std::optional<QRectF> frame = target ? target->element.frame : std::nullopt;
            const bool still = !key.isEmpty() && key == lastKey && frame == lastFrame;
            lastKey = key;
            lastFrame = frame;
            if (!still) waitUntil([] { return false; }, 300);
            return still;
        },
        30000);
}

std::optional<TranscriptHistoryCompletionKind> RealAppDictation::dictate(const QString& words, bool slowBackend,
                                                                         ReleaseToText* releaseToText,
                                                                         const std::function<void()>& whileHeld) {
    // This round's words only: a round dropped before transcription (a refused press, a clip too
    // short) left its own queued, and the next would be answered with them.
    fakes.transcriber->answer.clear();
    fakes.transcriber->answer.push(words);
    fakes.transcriber->held.setHolding(slowBackend);
    const qsizetype transcribedBefore = fakes.transcriber->requests.size();
    SessionViewModel& session = *vm->session();
    sendKeys(kHotkey, true);
    const bool recording =
        waitUntil([&] { return session.runtimeState().kind() == SessionState::Kind::recording; }, 20000);
    AudioLevelSnapshot level = AudioLevelSnapshot::silent();
    level.peakPower = 0.3;
    fakes.audioCapture->levelPublisher().send(level);
    waitUntil([] { return false; }, 100);
    if (recording && whileHeld) whileHeld();
    sendKeys(kHotkey, false);
    if (afterRelease) afterRelease();
    if (!recording) {
        // Why the press started nothing, from the app's own events, for a failure on a loaded machine.
        QStringList events;
        const QList<SanitizedDiagnosticsEvent> all = fakes.diagnostics->events();
        for (const SanitizedDiagnosticsEvent& event : all.mid(std::max<qsizetype>(0, all.size() - 4)))
            events << event.code + u' ' + event.message;
        qWarning().noquote() << "the press of" << words << "started no recording:" << events.join(u" | "_qs);
        return std::nullopt;
    }
    QElapsedTimer sinceRelease;
    sinceRelease.start();
    if (slowBackend) {
        waitUntil([] { return false; }, 1000);
        fakes.transcriber->held.releaseAll();
    }
    if (releaseToText && waitUntil([&] { return releaseToText->shown(words); }, 20000))
        releaseToText->milliseconds = double(sinceRelease.nsecsElapsed()) / 1e6;
    const auto ended = [&] {
        const auto kind = session.runtimeState().kind();
        return kind != SessionState::Kind::recording && kind != SessionState::Kind::uploading &&
               kind != SessionState::Kind::injecting;
    };
    waitUntil(ended, 20000);
    // A recording refused before it went to be transcribed (a password field found as the key let go)
    // delivered nothing: the session's last outcome is still the dictation's before it.
    const bool transcribed = fakes.transcriber->requests.size() > transcribedBefore;
    const auto outcome = transcribed ? session.lastInsertionOutcome() : std::nullopt;
    // A dictation that did not land says why, so a failure on a loaded machine can be read from the log.
    if (outcome != TranscriptHistoryCompletionKind::inserted &&
        outcome != TranscriptHistoryCompletionKind::pastedViaClipboard &&
        outcome != TranscriptHistoryCompletionKind::pasteSentUnverified) {
        QString window;
        xdotool({u"getactivewindow"_qs, u"getwindowname"_qs}, &window);
        const auto& score = session.lastTargetIdentityScore();
        const auto& target = session.focusedTarget();
        qWarning().noquote() << "dictation of" << words
                             << "did not land:" << session.lastInsertionFailureReason().value_or(u"-"_qs) << "| score"
                             << (score ? QString::number(score->score) + u" "_qs + score->reasons.join(u", "_qs)
                                       : u"none"_qs)
                             << "| focus now"
                             << (target ? target->element.role.value_or(u"?"_qs) + u" focused="_qs +
                                              QString::number(target->isFocusedElement)
                                        : u"none"_qs)
                             << "| window" << window;
    }
    return outcome;
}

}  // namespace quorvelle::test
