#include "Platform/Linux/X11KeysymToVirtualKey.h"

#include <array>

namespace quorvelle {

namespace {

// Virtual key code, keysym, shifted keysym.
constexpr std::array<X11KeysymToVirtualKey::Row, 83> kRows = {{
    // Letters: lower case, and upper case under Shift or Caps Lock.
    {0, 0x61, 0x41},   // A
    {1, 0x73, 0x53},   // S
    {2, 0x64, 0x44},   // D
    {3, 0x66, 0x46},   // F
    {4, 0x68, 0x48},   // H
    {5, 0x67, 0x47},   // G
    {6, 0x7a, 0x5a},   // Z
    {7, 0x78, 0x58},   // X
    {8, 0x63, 0x43},   // C
    {9, 0x76, 0x56},   // V
    {11, 0x62, 0x42},  // B
    {12, 0x71, 0x51},  // Q
    {13, 0x77, 0x57},  // W
    {14, 0x65, 0x45},  // E
    {15, 0x72, 0x52},  // R
    {16, 0x79, 0x59},  // Y
    {17, 0x74, 0x54},  // T
    {31, 0x6f, 0x4f},  // O
    {32, 0x75, 0x55},  // U
    {34, 0x69, 0x49},  // I
    {35, 0x70, 0x50},  // P
    {37, 0x6c, 0x4c},  // L
    {38, 0x6a, 0x4a},  // J
    {40, 0x6b, 0x4b},  // K
    {45, 0x6e, 0x4e},  // N
    {46, 0x6d, 0x4d},  // M
    // Digits and punctuation with their US shifted symbols.
    {18, 0x31, 0x21},  // 1 !
    {19, 0x32, 0x40},  // 2 @
    {20, 0x33, 0x23},  // 3 #
    {21, 0x34, 0x24},  // 4 $
    {22, 0x36, 0x5e},  // 6 ^
    {23, 0x35, 0x25},  // 5 %
    {25, 0x39, 0x28},  // 9 (
    {26, 0x37, 0x26},  // 7 &
    {28, 0x38, 0x2a},  // 8 *
    {29, 0x30, 0x29},  // 0 )
    {24, 0x3d, 0x2b},  // = +
    {27, 0x2d, 0x5f},  // - _
    {30, 0x5d, 0x7d},  // ] }
    {33, 0x5b, 0x7b},  // [ {
    {39, 0x27, 0x22},  // ' "
    {41, 0x3b, 0x3a},  // ; :
    {42, 0x5c, 0x7c},  // \ |
    {43, 0x2c, 0x3c},  // , <
    {44, 0x2f, 0x3f},  // / ?
    {47, 0x2e, 0x3e},  // . >
    {50, 0x60, 0x7e},  // ` ~
    // Whitespace and editing keys; Shift+Tab arrives as ISO_Left_Tab.
    {36, 0xff0d, 0x0},     // Return
    {48, 0xff09, 0xfe20},  // Tab
    {49, 0x20, 0x0},       // space
    {51, 0xff08, 0x0},     // BackSpace
    {53, 0xff1b, 0x0},     // Escape
    {117, 0xffff, 0x0},    // Delete
    {115, 0xff50, 0x0},    // Home
    {119, 0xff57, 0x0},    // End
    {116, 0xff55, 0x0},    // Page_Up
    {121, 0xff56, 0x0},    // Page_Down
    {114, 0xff6a, 0x0},    // Help
    {76, 0xff8d, 0x0},     // KP_Enter
    // Arrows.
    {123, 0xff51, 0},  // Left
    {126, 0xff52, 0},  // Up
    {124, 0xff53, 0},  // Right
    {125, 0xff54, 0},  // Down
    // Function keys F1 to F20.
    {122, 0xffbe, 0},  // F1
    {120, 0xffbf, 0},  // F2
    {99, 0xffc0, 0},   // F3
    {118, 0xffc1, 0},  // F4
    {96, 0xffc2, 0},   // F5
    {97, 0xffc3, 0},   // F6
    {98, 0xffc4, 0},   // F7
    {100, 0xffc5, 0},  // F8
    {101, 0xffc6, 0},  // F9
    {109, 0xffc7, 0},  // F10
    {103, 0xffc8, 0},  // F11
    {111, 0xffc9, 0},  // F12
    {105, 0xffca, 0},  // F13
    {107, 0xffcb, 0},  // F14
    {113, 0xffcc, 0},  // F15
    {106, 0xffcd, 0},  // F16
    {64, 0xffce, 0},   // F17
    {79, 0xffcf, 0},   // F18
    {80, 0xffd0, 0},   // F19
    {90, 0xffd1, 0},   // F20
}};

}  // namespace

std::optional<quint32> X11KeysymToVirtualKey::virtualKeyCode(quint32 keysym) {
    if (keysym == 0) return std::nullopt;
    for (const Row& row : kRows) {
        if (row.keysym == keysym || row.shiftedKeysym == keysym) return row.virtualKeyCode;
    }
    return std::nullopt;
}

std::span<const X11KeysymToVirtualKey::Row> X11KeysymToVirtualKey::rows() {
    return kRows;
}

}  // namespace quorvelle
