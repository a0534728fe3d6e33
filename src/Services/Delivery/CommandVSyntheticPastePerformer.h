#pragma once

#include "Services/Delivery/KeyEventPosting.h"
#include "Services/Delivery/SyntheticPastePerforming.h"

#include <chrono>
#include <functional>
#include <optional>

namespace quorvelle {

// Pastes with Control+V, or Control+Shift+V into a terminal (terminals take Control+V as a control
// character), or Shift+Insert into xterm; into GNOME Terminal only once it asked what the clipboard
// holds. Modifiers still held from the hot key would turn the chord into another
// shortcut, so it waits a little for their release and then releases them itself.
class CommandVSyntheticPastePerformer final : public SyntheticPastePerforming {
public:
    using FrontmostApplicationProvider = std::function<std::optional<FocusedAppMetadata>()>;
    using Sleep = std::function<void(std::chrono::milliseconds)>;
    // Puts what the clipboard holds into the primary selection, for the one paste that reads it.
    using PrimarySelectionFiller = std::function<void()>;
    // Answers the clipboard's requests until the application of the given window asked what the
    // clipboard holds, or the bound passed.
    using ClipboardTargetsAwaiter = std::function<void(quint32 window, std::chrono::milliseconds bound)>;

    static constexpr std::chrono::milliseconds kModifierPollInterval{10};
    static constexpr int kModifierPollLimit = 30;
    // The keyboard rests this long before the last look, and the wait for it ends by this bound.
    static constexpr std::chrono::milliseconds kKeyboardQuietPeriod{200};
    static constexpr std::chrono::milliseconds kKeyboardQuietLimit{1000};
    // A terminal that pastes nothing until it asked what the clipboard holds is given this long; any
    // other application this long to ask, before the last look calls into it (Kate reads the new
    // clipboard at once and answers nothing meanwhile).
    static constexpr std::chrono::milliseconds kTargetsFirstLimit{2000};
    static constexpr std::chrono::milliseconds kTargetsQuestionLimit{150};

    CommandVSyntheticPastePerformer(KeyEventPosting& keyPoster,
                                    FrontmostApplicationProvider frontmostApplicationProvider, Sleep sleep,
                                    PrimarySelectionFiller fillPrimarySelection = {},
                                    ClipboardTargetsAwaiter awaitClipboardTargets = {});

    void performPaste(const FocusedTargetSnapshot& target, const LastLook& lastLook) override;

private:
    void waitForModifierRelease();
    void waitForQuietKeyboard();

    KeyEventPosting& m_keyPoster;
    FrontmostApplicationProvider m_frontmostApplicationProvider;
    Sleep m_sleep;
    PrimarySelectionFiller m_fillPrimarySelection;
    ClipboardTargetsAwaiter m_awaitClipboardTargets;
};

}  // namespace quorvelle
