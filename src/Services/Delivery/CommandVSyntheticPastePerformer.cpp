#include "Services/Delivery/CommandVSyntheticPastePerformer.h"

#include "Services/Delivery/SyntheticPasteError.h"

#include "Services/Delivery/FocusedTargetTables.h"
#include "Services/Delivery/WindowClassMatch.h"

namespace quorvelle {

namespace {

// xterm takes no paste chord for the clipboard; Shift+Insert pastes the primary selection, which is
// filled just for it (elsewhere the user's middle-click selection is left alone).
bool pastesPrimarySelectionOnly(const FocusedTargetSnapshot& target) {
    return target.isWindowOnly &&
           windowClassIsOneOf(target.app, FocusedTargetTables::primarySelectionTerminalWindowClasses);
}

}  // namespace

CommandVSyntheticPastePerformer::CommandVSyntheticPastePerformer(
    KeyEventPosting& keyPoster, FrontmostApplicationProvider frontmostApplicationProvider, Sleep sleep,
    PrimarySelectionFiller fillPrimarySelection, ClipboardTargetsAwaiter awaitClipboardTargets)
    : m_keyPoster(keyPoster),
      m_frontmostApplicationProvider(std::move(frontmostApplicationProvider)),
      m_sleep(std::move(sleep)),
      m_fillPrimarySelection(std::move(fillPrimarySelection)),
      m_awaitClipboardTargets(std::move(awaitClipboardTargets)) {}

void CommandVSyntheticPastePerformer::performPaste(const FocusedTargetSnapshot& target, const LastLook& lastLook) {
    const std::optional<FocusedAppMetadata> frontmost =
        m_frontmostApplicationProvider ? m_frontmostApplicationProvider() : std::nullopt;
    if (!frontmost || !frontmost->isSameApplication(target.app)) {
        throw SyntheticPasteError(SyntheticPasteError::Case::frontmostApplicationChanged);
    }
    if (!m_keyPoster.isAvailable()) throw SyntheticPasteError(SyntheticPasteError::Case::eventSourceUnavailable);

    using Key = KeyEventPosting::Key;
    QList<Key> modifiers{Key::control};
    Key pasteKey = Key::v;
    const bool primary = pastesPrimarySelectionOnly(target);
    if (primary) {
        modifiers = {Key::shift};
        pasteKey = Key::insert;
    } else if (target.terminalLikeReason().has_value()) {
        modifiers.append(Key::shift);
    }
    QList<quint32> modifierCodes;
    for (Key key : modifiers) {
        const std::optional<quint32> code = m_keyPoster.keyCode(key);
        if (!code) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);
        modifierCodes.append(*code);
    }
    const std::optional<quint32> keyCode = m_keyPoster.keyCode(pasteKey);
    if (!keyCode) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);

    waitForModifierRelease();
    if (primary && m_fillPrimarySelection) m_fillPrimarySelection();
    // A chord that arrives before such a terminal learned what the new clipboard holds pastes nothing;
    // an application that asks at once must have its answer before the last look calls into it.
    if (m_awaitClipboardTargets && frontmost->windowIdentifier) {
        const bool targetsFirst =
            windowClassIsOneOf(target.app, FocusedTargetTables::clipboardTargetsFirstWindowClasses);
        m_awaitClipboardTargets(*frontmost->windowIdentifier,
                                targetsFirst ? kTargetsFirstLimit : kTargetsQuestionLimit);
    }
    // The focus may have moved during the waits (a Tab to the next field of a form): the look that
    // decides is the one taken when only the keys are left, and nothing between lets it move unseen.
    waitForQuietKeyboard();
    if (lastLook) lastLook(m_keyPoster.sinceLastKeyPress());

    for (quint32 code : modifierCodes)
        m_keyPoster.post(code, true);
    m_keyPoster.post(*keyCode, true);
    m_keyPoster.post(*keyCode, false);
    for (auto it = modifierCodes.crbegin(); it != modifierCodes.crend(); ++it)
        m_keyPoster.post(*it, false);
}

void CommandVSyntheticPastePerformer::waitForQuietKeyboard() {
    // A key pressed a moment ago may still be on its way through the application (Firefox hands it
    // from one process to another), which answers a look as if it had not come and takes our keys
    // after it.
    std::chrono::milliseconds waited{0};
    while (m_sleep && waited < kKeyboardQuietLimit) {
        const std::optional<std::chrono::milliseconds> since = m_keyPoster.sinceLastKeyPress();
        if (!since || *since >= kKeyboardQuietPeriod) return;
        const std::chrono::milliseconds pause = std::min(kKeyboardQuietPeriod - *since, kKeyboardQuietLimit - waited);
        m_sleep(pause);
        waited += pause;
    }
}

void CommandVSyntheticPastePerformer::waitForModifierRelease() {
    for (int poll = 0; poll < kModifierPollLimit; ++poll) {
        if (m_keyPoster.heldModifierKeyCodes().isEmpty()) return;
        if (m_sleep) m_sleep(kModifierPollInterval);
    }
    // Still held (a stuck key, or a user resting on it): release them for the target's sake.
    for (quint32 code : m_keyPoster.heldModifierKeyCodes())
        m_keyPoster.post(code, false);
}

}  // namespace quorvelle
