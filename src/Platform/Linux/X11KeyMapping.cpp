#include "Platform/Linux/X11KeyMapping.h"

#include "Models/HotkeyShortcut.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace quorvelle::X11KeyMapping {

namespace {

// Indexed by virtual key code 0-50; NoSymbol where the code has no key here.
constexpr std::array<quint32, 51> kKeySyms{
    XK_a,
    XK_s,
    XK_d,
    XK_f,
    XK_h,
    XK_g,
    XK_z,
    XK_x,
    XK_c,
    XK_v,
    NoSymbol,
    XK_b,
    XK_q,
    XK_w,
    XK_e,
    XK_r,
    XK_y,
    XK_t,
    XK_1,
    XK_2,
    XK_3,
    XK_4,
    XK_6,
    XK_5,
    XK_equal,
    XK_9,
    XK_7,
    XK_minus,
    XK_8,
    XK_0,
    XK_bracketright,
    XK_o,
    XK_u,
    XK_bracketleft,
    XK_i,
    XK_p,
    XK_Return,
    XK_l,
    XK_j,
    XK_apostrophe,
    XK_k,
    XK_semicolon,
    XK_backslash,
    XK_comma,
    XK_slash,
    XK_n,
    XK_m,
    XK_period,
    XK_Tab,
    XK_space,
    XK_grave,
};

}  // namespace

std::optional<quint32> keySymForKeyCode(quint32 keyCode) {
    if (keyCode >= kKeySyms.size() || kKeySyms[keyCode] == NoSymbol) return std::nullopt;
    return kKeySyms[keyCode];
}

std::optional<quint32> keyCodeForKeySym(quint32 keySym) {
    if (keySym >= XK_A && keySym <= XK_Z) keySym += XK_a - XK_A;
    for (quint32 code = 0; code < kKeySyms.size(); ++code) {
        if (kKeySyms[code] != NoSymbol && kKeySyms[code] == keySym) return code;
    }
    return std::nullopt;
}

quint16 xModifiers(quint32 carbon, const ModifierMasks& masks) {
    quint16 result = 0;
    if (carbon & HotkeyShortcut::controlMask) result |= ControlMask;
    if (carbon & HotkeyShortcut::shiftMask) result |= ShiftMask;
    if (carbon & HotkeyShortcut::optionMask) result |= masks.alt;
    if (carbon & HotkeyShortcut::commandMask) result |= masks.super;
    return result;
}

quint32 carbonModifiers(quint16 xState, const ModifierMasks& masks) {
    quint32 result = 0;
    if (xState & ControlMask) result |= HotkeyShortcut::controlMask;
    if (xState & ShiftMask) result |= HotkeyShortcut::shiftMask;
    if (xState & masks.alt) result |= HotkeyShortcut::optionMask;
    if (xState & masks.super) result |= HotkeyShortcut::commandMask;
    return result;
}

std::array<quint16, 4> lockVariants(quint16 modifiers, const ModifierMasks& masks) {
    return {modifiers, static_cast<quint16>(modifiers | LockMask), static_cast<quint16>(modifiers | masks.numLock),
            static_cast<quint16>(modifiers | LockMask | masks.numLock)};
}

}  // namespace quorvelle::X11KeyMapping
