#include "RealAppDictation.h"

#include "Platform/Linux/X11ClipboardOwnership.h"
#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "ShellDesktopInput.h"
#include "Support/Clocks.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QDebug>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>

namespace quorvelle::test {

namespace {

const QStringList kHotkey{u"Control_L"_qs, u"Alt_L"_qs, u"Return"_qs};

}  // namespace

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
    const bool held = waitUntil(
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
    if (!held) {
        QString front;
        xdotool({u"getactivewindow"_qs, u"getwindowname"_qs}, &front);
        qWarning().noquote() << "the focused field never held still: last seen"
                             << (lastKey.isEmpty() ? u"none"_qs : lastKey) << "in the window" << front;
    }
    return held;
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

RealAppDictation::Told RealAppDictation::dictateOverTheUsersCopy(const QString& words, const QString& usersCopy,
                                                                 bool slowBackend) {
    QClipboard* board = QGuiApplication::clipboard();
    if (!X11ClipboardOwnership::refreshServerTime()) qWarning() << "the X server's time could not be read";
    board->setText(usersCopy, QClipboard::Clipboard);
    Told told;
    told.kind = dictate(words, slowBackend);
    told.message = vm->inlineMessage().value_or(QString());
    const TranscriptHistoryEntry newest = vm->history()->transcriptHistoryEntries().value(0);
    if (newest.transcript == words) told.entry = newest.completionKind;
    waitUntil([&] { return board->text(QClipboard::Clipboard) == usersCopy; }, 5000);
    told.clipboard = board->text(QClipboard::Clipboard);
    return told;
}

}  // namespace quorvelle::test
