#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

namespace quorvelle {

// Translation between the stored hot key (macOS virtual key codes of the ANSI layout, Carbon modifier
// bits) and X11 (keysyms, modifier state masks). Both directions, so that a key press recorded on X
// becomes the stored form and the stored form becomes a grab.
namespace X11KeyMapping {

// The keysym of the key at that code on a US layout: letters lower case. None for keys outside the
// typing block (function keys, arrows) and for the ISO section key.
std::optional<quint32> keySymForKeyCode(quint32 keyCode);

// The virtual key code whose key gives this keysym unshifted; letters in either case.
std::optional<quint32> keyCodeForKeySym(quint32 keySym);

// Which X modifier bits the logical modifiers sit on. Alt, Super and Num Lock move between servers;
// the defaults are the usual ones (Mod1, Mod4, Mod2).
struct ModifierMasks {
    quint16 alt = 0x08;
    quint16 super = 0x40;
    quint16 numLock = 0x10;
};

// Control, Shift, Option (Alt) and Command (Super) to X bits; other Carbon bits are dropped.
quint16 xModifiers(quint32 carbonModifiers, const ModifierMasks& masks);

// The reverse: Control, Shift, Alt and Super of an X state to Carbon bits; locks and buttons ignored.
quint32 carbonModifiers(quint16 xState, const ModifierMasks& masks);

// The combination as X matches it under every lock state: plain, Caps Lock, Num Lock, and both.
std::array<quint16, 4> lockVariants(quint16 xModifiers, const ModifierMasks& masks);

}  // namespace X11KeyMapping
}  // namespace quorvelle
