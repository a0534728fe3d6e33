#include "Services/Delivery/CommandVSyntheticPastePerformer.h"

#include "Services/Delivery/SyntheticPasteError.h"

namespace quorvelle {

CommandVSyntheticPastePerformer::CommandVSyntheticPastePerformer(
    KeyEventPosting& keyPoster, FrontmostProcessIdentifierProvider frontmostProcessIdentifierProvider, Sleep sleep)
    : keyPoster_(keyPoster),
      frontmostProcessIdentifierProvider_(std::move(frontmostProcessIdentifierProvider)),
      sleep_(std::move(sleep)) {}

void CommandVSyntheticPastePerformer::performPaste(const FocusedTargetSnapshot& target) {
    const std::optional<qint32> frontmost =
        frontmostProcessIdentifierProvider_ ? frontmostProcessIdentifierProvider_() : std::nullopt;
    if (!frontmost || *frontmost != target.app.processIdentifier) {
        throw SyntheticPasteError(SyntheticPasteError::Case::frontmostApplicationChanged);
    }
    if (!keyPoster_.isAvailable()) throw SyntheticPasteError(SyntheticPasteError::Case::eventSourceUnavailable);

    QList<KeyEventPosting::Key> modifiers{KeyEventPosting::Key::control};
    if (target.terminalLikeReason().has_value()) modifiers.append(KeyEventPosting::Key::shift);
    QList<quint32> modifierCodes;
    for (KeyEventPosting::Key key : modifiers) {
        const std::optional<quint32> code = keyPoster_.keyCode(key);
        if (!code) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);
        modifierCodes.append(*code);
    }
    const std::optional<quint32> vCode = keyPoster_.keyCode(KeyEventPosting::Key::v);
    if (!vCode) throw SyntheticPasteError(SyntheticPasteError::Case::eventCreationFailed);

    waitForModifierRelease();

    for (quint32 code : modifierCodes) keyPoster_.post(code, true);
    keyPoster_.post(*vCode, true);
    keyPoster_.post(*vCode, false);
    for (auto it = modifierCodes.crbegin(); it != modifierCodes.crend(); ++it) keyPoster_.post(*it, false);
}

void CommandVSyntheticPastePerformer::waitForModifierRelease() {
    for (int poll = 0; poll < kModifierPollLimit; ++poll) {
        if (keyPoster_.heldModifierKeyCodes().isEmpty()) return;
        if (sleep_) sleep_(kModifierPollInterval);
    }
    // Still held (a stuck key, or a user resting on it): release them for the target's sake.
    for (quint32 code : keyPoster_.heldModifierKeyCodes()) keyPoster_.post(code, false);
}

}  // namespace quorvelle
