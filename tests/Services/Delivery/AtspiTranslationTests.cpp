#include "Platform/Linux/AtspiRoleTranslation.h"
#include "Platform/Linux/AtspiTextOffsets.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(AtspiRoleTranslation, MapsRolesToTheAXVocabulary) {
    struct RoleCase {
        const char* roleName;
        bool multiLine;
        std::optional<QString> role;
        std::optional<QString> subrole;
    };
    const RoleCase cases[] = {
        {"text", false, u"AXTextField"_qs, std::nullopt},
        {"text", true, u"AXTextArea"_qs, std::nullopt},
        {"password text", false, u"AXTextField"_qs, u"AXSecureTextField"_qs},
        {"terminal", true, u"AXTextArea"_qs, u"AXTerminal"_qs},
        {"document web", false, u"AXWebArea"_qs, std::nullopt},
        {"frame", false, u"AXWindow"_qs, std::nullopt},
        {"a role from a newer toolkit", false, u"AXUnknown"_qs, std::nullopt},
    };
    for (const RoleCase& c : cases) {
        EXPECT_EQ(translateAtspiRole(QString::fromUtf8(c.roleName), c.multiLine),
                  (AXRoleDescription{c.role, c.subrole}))
            << c.roleName << (c.multiLine ? " (multi-line)" : "");
    }
}

TEST(AtspiRoleTranslation, DerivesFlagsFromStatesAndInterfaces) {
    struct FlagCase {
        const char* name;
        AtspiElementFacts facts;
        AXElementFlags flags;
    };
    const FlagCase cases[] = {
        {"editable field", {true, true, false, false, true, true}, {true, true, true, true}},
        {"read-only text view", {true, true, true, true, true, true}, {true, false, false, true}},
        {"editable without an EditableText interface",
         {true, true, false, false, true, false},
         {true, true, false, true}},
        {"label", {true, false, false, false, true, false}, {true, false, false, true}},
        {"panel", {true, false, false, false, false, false}, {true, false, false, false}},
    };
    for (const FlagCase& c : cases)
        EXPECT_EQ(translateAtspiFacts(c.facts), c.flags) << c.name;
}

TEST(AtspiTextOffsets, ConvertsBetweenUtf16AndCodePoints) {
    const QString text = u"a😀b"_qs;  // code points a, 😀, b; UTF-16 units a, hi, lo, b
    struct OffsetCase {
        qsizetype codePoints;
        qsizetype utf16;
    };
    const OffsetCase roundTrips[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {5, 6}};
    for (const OffsetCase& c : roundTrips) {
        EXPECT_EQ(utf16OffsetFromToolkit(text, c.codePoints, AtspiOffsetUnit::codePoints), c.utf16) << c.codePoints;
        EXPECT_EQ(toolkitOffsetFromUtf16(text, c.utf16, AtspiOffsetUnit::codePoints), c.codePoints) << c.utf16;
    }
    // Inside the surrogate pair: the whole character counts as passed.
    EXPECT_EQ(toolkitOffsetFromUtf16(text, 2, AtspiOffsetUnit::codePoints), 2);
    for (qsizetype offset : {2, 7}) {
        EXPECT_EQ(utf16OffsetFromToolkit(text, offset, AtspiOffsetUnit::utf16CodeUnits), offset);
        EXPECT_EQ(toolkitOffsetFromUtf16(text, offset, AtspiOffsetUnit::utf16CodeUnits), offset);
    }
    EXPECT_EQ(offsetUnitForToolkit(u"Qt"_qs), AtspiOffsetUnit::utf16CodeUnits);
    EXPECT_EQ(offsetUnitForToolkit(u"gtk"_qs), AtspiOffsetUnit::codePoints);
}

}  // namespace
}  // namespace quorvelle
