#include <gtest/gtest.h>

#include "FocusedTargetFixtures.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {
namespace {

using test::writableTextField;

constexpr auto kNoWritable = SessionBlockReason::noWritableTarget;
constexpr auto kSecure = SessionBlockReason::secureField;

TEST(FocusedElementMetadata, PredicatesFollowRoleStateAndSettability) {
    const struct {
        const char* role;
        const char* subrole;
        bool enabled, editable, valueWrite, rangeWrite;
        bool textInputRole;
        std::optional<SessionBlockReason> block;
        bool pasteCandidate, directWrite;
    } cases[] = {
        // role, subrole, enabled, editable, value settable, range settable ->
        //     text-input role, block reason, paste candidate, direct write
        {"AXTextArea", nullptr, true, true, true, true, true, std::nullopt, true, true},
        {"AXButton", "AXSearchField", true, false, true, true, true, std::nullopt, true, true},
        {"AXTextField", "AXSecureTextField", false, true, true, true, true, kSecure, false, false},
        {"AXTextField", nullptr, false, true, true, true, true, kNoWritable, false, false},
        {"AXTextField", nullptr, true, true, false, false, true, kNoWritable, true, false},
        {"AXTextField", nullptr, true, true, false, true, true, std::nullopt, true, false},
        {"AXWebArea", nullptr, true, false, true, true, false, kNoWritable, true, false},
        {"AXGroup", nullptr, true, true, true, true, false, std::nullopt, true, true},
        {"AXButton", nullptr, true, false, true, true, false, kNoWritable, false, false},
        {"axtextfield", nullptr, true, false, true, true, false, kNoWritable, false, false},
    };
    for (const auto& c : cases) {
        FocusedElementMetadata e;
        if (c.role) e.role = QString::fromLatin1(c.role);
        if (c.subrole) e.subrole = QString::fromLatin1(c.subrole);
        e.isEnabled = c.enabled;
        e.isEditable = c.editable;
        e.supportsValueWrite = c.valueWrite;
        e.supportsSelectedTextRangeWrite = c.rangeWrite;
        const std::string name = std::string(c.role ? c.role : "-") + "/" + (c.subrole ? c.subrole : "-");
        EXPECT_EQ(e.hasTextInputRole(), c.textInputRole) << name;
        EXPECT_EQ(e.blockReason(), c.block) << name << " enabled " << c.enabled;
        EXPECT_EQ(e.isClipboardPasteCandidate(), c.pasteCandidate) << name;
        EXPECT_EQ(e.supportsDirectValueWrite(), c.directWrite) << name << " value " << c.valueWrite;
    }
}

TEST(FocusedTargetSnapshot, PrefersClipboardPasteForKeywordAppsByNameOrBundle) {
    const struct {
        std::optional<QString> name;
        std::optional<QString> bundle;
        bool expected;
    } cases[] = {
        {QStringLiteral("Slack"), QStringLiteral("com.tinyspeck.slackmacgap"), true},
        {QStringLiteral("Code"), QStringLiteral("com.microsoft.VSCode"), true},  // bundle, lower-cased
        {QStringLiteral("Obsidian"), std::nullopt, true},
        {QStringLiteral("Notes"), QStringLiteral("org.example.Notes"), false},
    };
    for (const auto& c : cases) {
        FocusedTargetSnapshot target = writableTextField();
        target.app.localizedName = c.name;
        target.app.bundleIdentifier = c.bundle;
        EXPECT_EQ(target.prefersClipboardPaste(), c.expected) << c.name.value_or("-").toStdString();
    }
}

TEST(FocusedTargetSnapshot, TargetDescriptionFallsBackPartByPart) {
    const struct {
        std::optional<QString> name, bundle, subrole, role;
        const char* expected;
    } cases[] = {
        {QStringLiteral("Notes"), QStringLiteral("org.x"), QStringLiteral("AXSearchField"),
         QStringLiteral("AXTextField"), "Notes \u2022 AXSearchField"},
        {std::nullopt, QStringLiteral("org.x"), std::nullopt, QStringLiteral("AXTextArea"), "org.x \u2022 AXTextArea"},
        {std::nullopt, std::nullopt, std::nullopt, std::nullopt, "Unknown App \u2022 AXUnknown"},
    };
    for (const auto& c : cases) {
        FocusedTargetSnapshot target;
        target.app.localizedName = c.name;
        target.app.bundleIdentifier = c.bundle;
        target.element.subrole = c.subrole;
        target.element.role = c.role;
        EXPECT_EQ(target.targetDescription(), QString::fromUtf8(c.expected));
    }
}

}  // namespace
}  // namespace quorvelle
