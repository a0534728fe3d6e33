#include "Platform/Linux/AtspiRoleTranslation.h"
#include "Platform/Linux/AtspiTextOffsets.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

// Plain text roles are seen on the real fields of the desktop tests; these are the others.
TEST(AtspiRoleTranslation, MapsRolesToTheAXVocabulary) {
    const struct {
        const char* roleName;
        std::optional<QString> role, subrole;
    } cases[] = {
        {"password text", u"AXTextField"_qs, u"AXSecureTextField"_qs},
        {"terminal", u"AXTextArea"_qs, u"AXTerminal"_qs},
        {"document web", u"AXWebArea"_qs, std::nullopt},
        {"a role from a newer toolkit", u"AXUnknown"_qs, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translateAtspiRole(QString::fromUtf8(c.roleName), true), (AXRoleDescription{c.role, c.subrole}));
    EXPECT_EQ(translateAtspiRole(u"text"_qs, false).role, u"AXTextField"_qs);
    EXPECT_EQ(translateAtspiRole(u"paragraph"_qs, true).role, u"AXTextArea"_qs);
}

TEST(AtspiRoleTranslation, DerivesFlagsFromStatesAndInterfaces) {
    const struct {
        const char* name;
        AtspiElementFacts facts;
        AXElementFlags flags;
    } cases[] = {
        {"editable field", {true, true, false, false, true, true}, {true, true, true, true}},
        {"read-only text view", {true, true, true, true, true, true}, {true, false, false, true}},
        {"editable without an EditableText interface",
         {true, true, false, false, true, false},
         {true, true, false, true}},
        {"label", {true, false, false, false, true, false}, {true, false, false, true}},
        {"panel", {true, false, false, false, false, false}, {true, false, false, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translateAtspiFacts(c.facts), c.flags) << c.name;
}

// The GTK rows of the desktop tests convert offsets inside the text; these are the edges.
TEST(AtspiTextOffsets, ConvertsBetweenUtf16AndCodePointsPastTheEndAndInsideAPair) {
    const QString text = u"a😀b"_qs;  // code points a, 😀, b; UTF-16 units a, hi, lo, b
    const std::pair<qsizetype, qsizetype> roundTrips[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {5, 6}};
    for (const auto& [points, units] : roundTrips) {
        EXPECT_EQ(utf16OffsetFromToolkit(text, points, AtspiOffsetUnit::codePoints), units) << points;
        EXPECT_EQ(toolkitOffsetFromUtf16(text, units, AtspiOffsetUnit::codePoints), points) << units;
    }
    EXPECT_EQ(toolkitOffsetFromUtf16(text, 2, AtspiOffsetUnit::codePoints), 2)
        << "the whole character counts as passed";
}

}  // namespace
}  // namespace quorvelle
