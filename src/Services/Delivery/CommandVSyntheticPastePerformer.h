#pragma once

#include "Services/Delivery/KeyEventPosting.h"
#include "Services/Delivery/SyntheticPastePerforming.h"

#include <chrono>
#include <functional>
#include <optional>

namespace quorvelle {

// Pastes with Control+V, or the chord a terminal takes (Control+Shift+V; Control+Alt+V in
// rxvt-unicode; Shift+Insert with the primary selection in xterm); into GNOME Terminal only once it
// asked what the clipboard holds. Modifiers still held from the hot key would turn the chord into
// another shortcut, so it waits a little for their release and then releases them itself. Every wait
// is awaited on the event loop.
class CommandVSyntheticPastePerformer final : public SyntheticPastePerforming {
public:
    using FrontmostApplicationProvider = std::function<std::optional<FocusedAppMetadata>()>;
    // A pause of the calling task; a stop ends it with CancellationError.
    using Sleep = std::function<QCoro::Task<void>(std::chrono::milliseconds, std::stop_token)>;
    // Puts what the clipboard holds into the primary selection, for the one paste that reads it.
    using PrimarySelectionFiller = std::function<void()>;
    // Resumes once the application of the given window asked what the clipboard holds since it was
    // last claimed (at once when it did already), or the bound passed; true when it asked.
    using ClipboardTargetsAwaiter =
        std::function<QCoro::Task<bool>(quint32 window, std::chrono::milliseconds bound, std::stop_token)>;

    // Holds the answers to other applications' requests for the words while the keys go out, then
    // gives the words or refuses them: which field the keys reached is known only once the X server
    // handled them, and the application asks for the words after that.
    struct ClipboardTextGate {
        std::function<void()> hold;
        std::function<void(bool give)> let;
    };

    // The chord one target takes.
    struct Chord {
        QList<KeyEventPosting::Key> modifiers;
        KeyEventPosting::Key key = KeyEventPosting::Key::v;
        // Shift+Insert reads the primary selection, filled for it.
        bool readsPrimarySelection = false;
    };
    static Chord chordFor(const FocusedTargetSnapshot& target);

    static constexpr std::chrono::milliseconds kModifierPollInterval{10};
    static constexpr int kModifierPollLimit = 30;
    // The keyboard rests this long before the last look, and the wait for it ends by this bound.
    static constexpr std::chrono::milliseconds kKeyboardQuietPeriod{200};
    static constexpr std::chrono::milliseconds kKeyboardQuietLimit{1000};
    // A terminal that pastes nothing until it asked what the clipboard holds is given this long.
    static constexpr std::chrono::milliseconds kTargetsFirstLimit{2000};
    // Our paste key is looked for among the presses read this many times, this far apart; where it
    // never shows, a press may have come before it.
    static constexpr int kOwnKeyReads = 50;
    static constexpr std::chrono::milliseconds kOwnKeyReadPause{10};
    // A look that keys overtake each time is given up on after this many, the keys held back.
    static constexpr int kOvertakenLookLimit = 3;

    CommandVSyntheticPastePerformer(KeyEventPosting& keyPoster,
                                    FrontmostApplicationProvider frontmostApplicationProvider, Sleep sleep,
                                    PrimarySelectionFiller fillPrimarySelection = {},
                                    ClipboardTargetsAwaiter awaitClipboardTargets = {},
                                    ClipboardTextGate textGate = {});

    QCoro::Task<void> performPaste(FocusedTargetSnapshot target, LastLook lastLook, std::stop_token stopToken) override;
    void watchKeyPresses(bool watching) override { m_keyPoster.watchKeyPresses(watching); }

private:
    QCoro::Task<void> waitForModifierRelease(std::stop_token stopToken);
    QCoro::Task<void> waitForQuietKeyboard(std::stop_token stopToken);
    // Calls the look until one passes that no key press overtook, or the looks run out; throws what
    // the look throws. Returns where the reading of presses stood as the last look began.
    std::optional<quint64> lookLast(const FocusedTargetSnapshot& target, const LastLook& lastLook);
    // How long ago the last press came that may have taken the focus away from the target.
    std::optional<std::chrono::milliseconds> sinceFocusMayHaveLeft(const FocusedTargetSnapshot& target);

    KeyEventPosting& m_keyPoster;
    FrontmostApplicationProvider m_frontmostApplicationProvider;
    Sleep m_sleep;
    PrimarySelectionFiller m_fillPrimarySelection;
    ClipboardTargetsAwaiter m_awaitClipboardTargets;
    ClipboardTextGate m_textGate;
};

}  // namespace quorvelle
