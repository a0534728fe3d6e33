#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QCoroTask>

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>

namespace quorvelle {

class SyntheticPastePerforming {
public:
    // Looks at the focus once more when nothing is left to wait for but the keys, told how long ago
    // a press that can move the focus (Tab, Shift+Tab, a click) last came (none when none was seen);
    // throws to hold them back. What it throws leaves performPaste as it is. Where such a press came
    // while it looked, it is called again, told so: the keys go only after a look that none overtook.
    using LastLook = std::function<void(std::optional<std::chrono::milliseconds> sinceLastKeyPress)>;

    virtual ~SyntheticPastePerforming() = default;
    // Sends the paste chord, provided the target's application is still in front and `lastLook`,
    // called right before the keys with nothing in between, lets them go. Its waits hold no thread.
    // Throws SyntheticPasteError; a stop ends it with CancellationError. Throws PasteKeysOvertaken
    // once the keys went out when a press that may move the focus reached the application first:
    // the words were refused to them.
    virtual QCoro::Task<void> performPaste(FocusedTargetSnapshot target, LastLook lastLook,
                                           std::stop_token stopToken) = 0;
    // Keys pressed on the desktop matter from a dictation's press to the end of its delivery; they
    // are watched only meanwhile.
    virtual void watchKeyPresses(bool watching) { (void)watching; }
};

}  // namespace quorvelle
