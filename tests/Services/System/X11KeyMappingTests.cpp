#include "Models/HotkeyShortcut.h"
#include "Platform/Linux/X11KeyMapping.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using namespace X11KeyMapping;

TEST(X11KeyMapping, EveryNamedKeyMapsToItsKeySymAndBack) {
    for (quint32 code = 0; code < HotkeyShortcut::namedKeyLimit; ++code) {
        if (!HotkeyShortcut::keyName(code)) continue;
        ASSERT_TRUE(keySymForKeyCode(code)) << code;
        EXPECT_EQ(keyCodeForKeySym(*keySymForKeyCode(code)), code) << code;
    }
    // X's own values, in the ANSI order (5 and 6 swapped); upper-case letters read back too.
    const std::pair<quint32, quint32> known[] = {{15, 'r'}, {49, ' '}, {36, 0xff0d}, {22, '6'}, {23, '5'}, {50, '`'}};
    for (const auto& [code, keySym] : known)
        EXPECT_EQ(keySymForKeyCode(code), keySym) << code;
    EXPECT_EQ(keyCodeForKeySym('R'), 15u);
    EXPECT_FALSE(keySymForKeyCode(10));
}

TEST(X11KeyMapping, ModifiersFollowTheServersMap) {
    // Alt on Mod3, Super on Mod5, Num Lock on Mod4: no bit may be assumed.
    const ModifierMasks moved{0x20, 0x80, 0x40};
    const std::tuple<quint32, quint16, quint16> cases[] = {{0x1000, 0x04, 0x04},
                                                           {0x0200, 0x01, 0x01},
                                                           {0x0800, 0x08, 0x20},
                                                           {0x0100, 0x40, 0x80},
                                                           {0x1800 | 0x0480, 0x0c, 0x24}};
    for (const auto& [carbon, usualX, movedX] : cases) {
        EXPECT_EQ(xModifiers(carbon, {}), usualX) << carbon;
        EXPECT_EQ(xModifiers(carbon, moved), movedX) << carbon;
        EXPECT_EQ(carbonModifiers(movedX, moved), carbon & HotkeyShortcut::modifierBits) << carbon;
    }
    // Caps Lock, Num Lock and a held mouse button are no part of a recorded combination.
    EXPECT_EQ(carbonModifiers(0x0c | 0x02 | 0x10 | 0x100, {}), 0x1800u);
    EXPECT_EQ(lockVariants(0x0c, moved), (std::array<quint16, 4>{0x0c, 0x0e, 0x4c, 0x4e}));
}

}  // namespace
}  // namespace quorvelle
