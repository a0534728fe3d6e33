#include "Models/HotkeyShortcut.h"
#include "Platform/Linux/X11KeyMapping.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using namespace X11KeyMapping;

TEST(X11KeyMapping, EveryNamedKeyHasAKeySymThatMapsBack) {
    for (quint32 code = 0; code < HotkeyShortcut::namedKeyLimit; ++code) {
        if (!HotkeyShortcut::keyName(code)) continue;
        const auto keySym = keySymForKeyCode(code);
        ASSERT_TRUE(keySym) << code;
        EXPECT_EQ(keyCodeForKeySym(*keySym), code) << code;
    }
    // Spot checks against X's own values, and the ANSI order (5 and 6 are swapped on the keyboard).
    const struct {
        quint32 code;
        quint32 keySym;
    } known[] = {{0, 'a'},  {15, 'r'}, {49, ' '}, {36, 0xff0d}, {48, 0xff09}, {22, '6'},
                 {23, '5'}, {29, '0'}, {50, '`'}, {39, '\''},   {42, '\\'},   {47, '.'}};
    for (const auto& k : known) {
        EXPECT_EQ(keySymForKeyCode(k.code), k.keySym) << k.code;
        EXPECT_EQ(keyCodeForKeySym(k.keySym), k.code) << k.code;
    }
    EXPECT_EQ(keyCodeForKeySym('R'), 15u);
    for (quint32 unmapped : {10u, 51u, 53u, 122u, 0xffffffffu})
        EXPECT_FALSE(keySymForKeyCode(unmapped)) << unmapped;
    for (quint32 unknown : {0u, 0xffbeu /* F1 */, quint32('!')})
        EXPECT_FALSE(keyCodeForKeySym(unknown)) << unknown;
}

TEST(X11KeyMapping, ModifiersFollowTheServersMap) {
    const ModifierMasks usual;
    // Alt on Mod3, Super on Mod5, Num Lock on Mod4: nothing may be assumed.
    const ModifierMasks moved{0x20, 0x80, 0x40};
    const struct {
        quint32 carbon;
        quint16 usualX;
        quint16 movedX;
    } cases[] = {
        {0x1000, 0x04, 0x04},                    // Control
        {0x0200, 0x01, 0x01},                    // Shift
        {0x0800, 0x08, 0x20},                    // Option = Alt
        {0x0100, 0x40, 0x80},                    // Command = Super
        {0x1800, 0x0c, 0x24},                    // Control + Alt
        {0x1b00, 0x4d, 0xa5},                    // all four
        {0x1800 | 0x0400 | 0x0080, 0x0c, 0x24},  // other Carbon bits dropped
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xModifiers(c.carbon, usual), c.usualX) << std::hex << c.carbon;
        EXPECT_EQ(xModifiers(c.carbon, moved), c.movedX) << std::hex << c.carbon;
        EXPECT_EQ(carbonModifiers(c.usualX, usual), c.carbon & HotkeyShortcut::modifierBits) << std::hex << c.carbon;
        EXPECT_EQ(carbonModifiers(c.movedX, moved), c.carbon & HotkeyShortcut::modifierBits) << std::hex << c.carbon;
    }
    // Caps Lock, Num Lock and mouse buttons held while recording are not part of the combination.
    EXPECT_EQ(carbonModifiers(0x0c | 0x02 | 0x10 | 0x100, usual), 0x1800u);

    const auto variants = lockVariants(0x0c, moved);
    EXPECT_EQ(variants, (std::array<quint16, 4>{0x0c, 0x0e, 0x4c, 0x4e}));
}

}  // namespace
}  // namespace quorvelle
