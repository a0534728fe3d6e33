#include "Services/Delivery/CommandVSyntheticPastePerformer.h"

#include "Services/Delivery/FocusedTargetTables.h"
#include "Services/Delivery/PasteKeysOvertaken.h"
#include "Services/Delivery/SyntheticPasteError.h"
#include "Services/Delivery/WindowClassMatch.h"

#include <algorithm>

namespace quorvelle {

CommandVSyntheticPastePerformer::CommandVSyntheticPastePerformer(
    KeyEventPosting& keyPoster, FrontmostApplicationProvider frontmostApplicationProvider, Sleep sleep,
    PrimarySelectionFiller fillPrimarySelection, ClipboardTargetsAwaiter awaitClipboardTargets,
    ClipboardTextGate textGate)
    : m_keyPoster(keyPoster),
      m_frontmostApplicationProvider(std::move(frontmostApplicationProvider)),
      m_sleep(std::move(sleep)),
      m_fillPrimarySelection(std::move(fillPrimarySelection)),
      m_awaitClipboardTargets(std::move(awaitClipboardTargets)),
      m_textGate(std::move(textGate)) {}

CommandVSyntheticPastePerformer::Chord CommandVSyntheticPastePerformer::chordFor(const FocusedTargetSnapshot& target) {
    using Key = KeyEventPosting::Key;
    // xterm takes no paste chord for the clipboard; Shift+Insert pastes the primary selection, which
    // is filled just for it (elsewhere the user's middle-click selection is left alone).
    if (target.isWindowOnly &&
        windowClassIsOneOf(target.app, FocusedTargetTables::primarySelectionTerminalWindowClasses)) {
        return {{Key::shift}, Key::insert, true};
    }
    // rxvt-unicode types Control+V and Control+Shift+V as they are.
    if (windowClassIsOneOf(target.app, FocusedTargetTables::controlAltPasteTerminalWindowClasses))
        return {{Key::control, Key::alt}, Key::v, false};
    if (target.terminalLikeReason().has_value()) return {{Key::control, Key::shift}, Key::v, false};
    return {{Key::control}, Key::v, false};
}

QCoro::Task<void> CommandVSyntheticPastePerformer::performPaste(FocusedTargetSnapshot target, LastLook lastLook,
                                                                std::stop_token stopToken) {
    const std::optional<FocusedAppMetadata> frontmost =
        m_frontmostApplicationProvider ? m_frontmostApplicationProvider() : std::nullopt;
    if (!frontmost || !frontmost->isSameApplication(target.app)) {
        throw SyntheticPasteError(SyntheticPasteError::Case::frontmostApplicationChanged);
    }
    if (!m_keyPoster.isAvailable()) throw SyntheticPasteError(SyntheticPasteError::Case::eventSourceUnavailable);

    const Chord chord = chordFor(target);
    QList<quint32> modifierCodes;
    for (KeyEventPosting::Key key : chord.modifiers) {
        const std::optional<quint32> code = m_keyPoster.keyCode(key);
        if (!code) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);
        modifierCodes.append(*code);
    }
    const std::optional<quint32> keyCode = m_keyPoster.keyCode(chord.key);
    if (!keyCode) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);

    co_await waitForModifierRelease(stopToken);
    if (chord.readsPrimarySelection && m_fillPrimarySelection) m_fillPrimarySelection();
    // A chord that arrives before such a terminal learned what the new clipboard holds pastes nothing.
    if (m_awaitClipboardTargets && frontmost->windowIdentifier &&
        windowClassIsOneOf(target.app, FocusedTargetTables::clipboardTargetsFirstWindowClasses)) {
        co_await m_awaitClipboardTargets(*frontmost->windowIdentifier, kTargetsFirstLimit, stopToken);
    }
    // The focus may have moved during the waits (a Tab to the next field of a form): the look that
    // decides is the one taken when only the keys are left, and nothing between lets it move unseen.
    co_await waitForQuietKeyboard(stopToken);
    // A Tab the server handled once the look that passed began asking the application may reach the
    // application before our keys, whenever we read it (this process paused by a busy machine, or
    // the look's own last reading): only the server's order tells.
    const std::optional<quint64> mark = lookLast(target, lastLook);
    if (m_textGate.hold) m_textGate.hold();

    for (quint32 code : modifierCodes)
        m_keyPoster.post(code, true);
    m_keyPoster.post(*keyCode, true);
    m_keyPoster.post(*keyCode, false);
    for (auto it = modifierCodes.crbegin(); it != modifierCodes.crend(); ++it)
        m_keyPoster.post(*it, false);

    // Presses not read in order: the last look was all there was.
    std::optional<QList<FocusMovingPress>> before =
        mark ? m_keyPoster.focusMovingPressesBefore(*keyCode, *mark) : std::optional(QList<FocusMovingPress>{});
    // Our key not read yet (a busy server): read again after a pause awaited on the event loop, the
    // words held meanwhile.
    for (int read = 1; !before && m_sleep && read < kOwnKeyReads; ++read) {
        try {
            co_await m_sleep(kOwnKeyReadPause, stopToken);
        } catch (...) {
            // The keys went out: the words go only where the order says.
            if (m_textGate.let) m_textGate.let(false);
            throw;
        }
        before = m_keyPoster.focusMovingPressesBefore(*keyCode, *mark);
    }
    const bool cameFirst = !before || std::any_of(before->cbegin(), before->cend(), [&](const FocusMovingPress& press) {
        return press.mayMoveFocusFrom(target);
    });
    if (m_textGate.let) m_textGate.let(!cameFirst);
    if (cameFirst) throw PasteKeysOvertaken();
}

std::optional<std::chrono::milliseconds> CommandVSyntheticPastePerformer::sinceFocusMayHaveLeft(
    const FocusedTargetSnapshot& target) {
    // The presses first: one read after them that finds a new press is told of it, as the list is not.
    const QList<FocusMovingPress> presses = m_keyPoster.focusMovingPresses();
    const std::optional<std::chrono::milliseconds> since = m_keyPoster.sinceLastFocusMovingPress();
    // Presses that cannot be told apart all count.
    if (!since || presses.isEmpty()) return since;
    // A Tab the terminal took, a click into the field itself: no application reports a focus that
    // did not move, so such a press would hold the words back for nothing.
    const auto now = std::chrono::steady_clock::now();
    for (auto press = presses.crbegin(); press != presses.crend(); ++press) {
        if (press->mayMoveFocusFrom(target))
            return std::chrono::duration_cast<std::chrono::milliseconds>(now - press->at);
    }
    return std::nullopt;
}

std::optional<quint64> CommandVSyntheticPastePerformer::lookLast(const FocusedTargetSnapshot& target,
                                                                 const LastLook& lastLook) {
    if (!lastLook) return m_keyPoster.pressOrderMark();
    // Letters typed into the field move no focus; a Tab or a click may.
    std::optional<std::chrono::milliseconds> since = sinceFocusMayHaveLeft(target);
    std::optional<quint64> mark;
    for (int look = 0; look < kOvertakenLookLimit; ++look) {
        // Every press read so far came before the look asked; the application may not have handled
        // one read later, whenever the server took it.
        mark = m_keyPoster.pressOrderMark();
        const auto lookStart = std::chrono::steady_clock::now();
        lastLook(since);
        // A Tab that came while the look asked the application (into a password field) may move
        // the focus before our keys arrive: the look is told, and holds them back. The presses are
        // read once more as the very last thing before the keys.
        since = sinceFocusMayHaveLeft(target);
        if (!since || *since > std::chrono::steady_clock::now() - lookStart) return mark;
        since = std::chrono::milliseconds{0};
    }
    // Overtaken at every look: the keys' order decides.
    return mark;
}

QCoro::Task<void> CommandVSyntheticPastePerformer::waitForQuietKeyboard(std::stop_token stopToken) {
    // A key pressed a moment ago may still be on its way through the application (Firefox hands it
    // from one process to another), which answers a look as if it had not come and takes our keys
    // after it.
    std::chrono::milliseconds waited{0};
    while (m_sleep && waited < kKeyboardQuietLimit) {
        const std::optional<std::chrono::milliseconds> since = m_keyPoster.sinceLastKeyPress();
        if (!since || *since >= kKeyboardQuietPeriod) co_return;
        const std::chrono::milliseconds pause = std::min(kKeyboardQuietPeriod - *since, kKeyboardQuietLimit - waited);
        co_await m_sleep(pause, stopToken);
        waited += pause;
    }
}

QCoro::Task<void> CommandVSyntheticPastePerformer::waitForModifierRelease(std::stop_token stopToken) {
    for (int poll = 0; poll < kModifierPollLimit; ++poll) {
        if (m_keyPoster.heldModifierKeyCodes().isEmpty()) co_return;
        if (m_sleep) co_await m_sleep(kModifierPollInterval, stopToken);
    }
    // Still held (a stuck key, or a user resting on it): release them for the target's sake.
    for (quint32 code : m_keyPoster.heldModifierKeyCodes())
        m_keyPoster.post(code, false);
}

}  // namespace quorvelle
