#pragma once

#include <QtGlobal>

#include <optional>
#include <span>

namespace quorvelle {

// Hot keys are stored as macOS virtual key codes (ANSI layout). This table turns the X keysym of
// a pressed key back into that code. Each row holds the key's unshifted keysym and, where it
// differs, its shifted one on a US layout, so a key pressed with Shift or Caps Lock is the same key.
class X11KeysymToVirtualKey {
public:
    struct Row {
        quint32 virtualKeyCode;
        quint32 keysym;
        quint32 shiftedKeysym;  // 0 when Shift does not change the keysym
    };

    static std::optional<quint32> virtualKeyCode(quint32 keysym);
    static std::span<const Row> rows();

    static constexpr quint32 escapeKeyCode = 53;
};

}  // namespace quorvelle
