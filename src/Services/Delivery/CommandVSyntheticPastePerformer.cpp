#include "Services/Delivery/CommandVSyntheticPastePerformer.h"

#include "Services/Delivery/SyntheticPasteError.h"

namespace quorvelle {

CommandVSyntheticPastePerformer::CommandVSyntheticPastePerformer(
    KeyEventPosting& keyPoster, FrontmostProcessIdentifierProvider frontmostProcessIdentifierProvider, Sleep sleep)
    : m_keyPoster(keyPoster),
      m_frontmostProcessIdentifierProvider(std::move(frontmostProcessIdentifierProvider)),
      m_sleep(std::move(sleep)) {}

void CommandVSyntheticPastePerformer::performPaste(const FocusedTargetSnapshot& target) {
    const std::optional<qint32> frontmost =
        m_frontmostProcessIdentifierProvider ? m_frontmostProcessIdentifierProvider() : std::nullopt;
    if (!frontmost || *frontmost != target.app.processIdentifier) {
        throw SyntheticPasteError(SyntheticPasteError::Case::frontmostApplicationChanged);
    }
    if (!m_keyPoster.isAvailable()) throw SyntheticPasteError(SyntheticPasteError::Case::eventSourceUnavailable);

    QList<KeyEventPosting::Key> modifiers{KeyEventPosting::Key::control};
    if (target.terminalLikeReason().has_value()) modifiers.append(KeyEventPosting::Key::shift);
    QList<quint32> modifierCodes;
    for (KeyEventPosting::Key key : modifiers) {
        const std::optional<quint32> code = m_keyPoster.keyCode(key);
        if (!code) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);
        modifierCodes.append(*code);
    }
    const std::optional<quint32> vCode = m_keyPoster.keyCode(KeyEventPosting::Key::v);
    if (!vCode) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);

    waitForModifierRelease();

    for (quint32 code : modifierCodes)
        m_keyPoster.post(code, true);
    m_keyPoster.post(*vCode, true);
    m_keyPoster.post(*vCode, false);
    for (auto it = modifierCodes.crbegin(); it != modifierCodes.crend(); ++it)
        m_keyPoster.post(*it, false);
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
