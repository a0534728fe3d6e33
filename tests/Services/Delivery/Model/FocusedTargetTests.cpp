#include <gtest/gtest.h>

#include <functional>

#include "FocusedTargetFixtures.h"
#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"
#include "Services/Delivery/TerminalDetection.h"

namespace quorvelle {
namespace {

using test::writableTextField;

std::optional<QString> text(const char* value) {
    return value ? std::optional(QString::fromUtf8(value)) : std::nullopt;
}

TEST(FocusedElementMetadata, PredicatesFollowRoleStateAndSettability) {
    constexpr auto kNoWritable = SessionBlockReason::noWritableTarget;
    constexpr auto kSecure = SessionBlockReason::secureField;
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
        SCOPED_TRACE(std::string(c.role) + "/" + (c.subrole ? c.subrole : "-") + (c.enabled ? "" : " disabled"));
        FocusedElementMetadata e;
        e.role = text(c.role);
        e.subrole = text(c.subrole);
        e.isEnabled = c.enabled;
        e.isEditable = c.editable;
        e.supportsValueWrite = c.valueWrite;
        e.supportsSelectedTextRangeWrite = c.rangeWrite;
        EXPECT_EQ(e.hasTextInputRole(), c.textInputRole);
        EXPECT_EQ(e.blockReason(), c.block);
        EXPECT_EQ(e.isClipboardPasteCandidate(), c.pasteCandidate);
        EXPECT_EQ(e.supportsDirectValueWrite(), c.directWrite);
    }
}

TEST(StrategyResolver, ChoosesByAppAndElementInTableOrder) {
    using enum TextInsertionStrategy;
    const struct {
        const char *name, *bundle, *role, *subrole;
        bool enabled, editable, valueWrite;
        TextInsertionStrategy expected;
    } cases[] = {
        {"Notes", "org.example.Notes", "AXTextArea", nullptr, true, true, true, accessibilityValueWrite},
        // Keywords in the name or the (lower-cased) bundle win over a settable value.
        {"Notes", "com.tinyspeck.slackmacgap", "AXTextArea", nullptr, true, true, true, clipboardPaste},
        {"Code", "com.microsoft.VSCode", "AXTextArea", nullptr, true, true, true, clipboardPaste},
        {"Obsidian", nullptr, "AXTextArea", nullptr, true, true, true, clipboardPaste},
        // Refused before recording: never sent to the clipboard, whatever the app.
        {"Slack", nullptr, "AXTextArea", nullptr, false, true, true, accessibilityValueWrite},
        {"Slack", nullptr, "AXTextField", "AXSecureTextField", true, true, true, accessibilityValueWrite},
        {"Notes", nullptr, "AXTextArea", "AXTerminal", true, true, true, clipboardPaste},
        {"Notes", nullptr, "AXWebArea", nullptr, true, true, true, clipboardPaste},
        {"Notes", nullptr, "AXTextArea", nullptr, true, true, false, clipboardPaste},
        {"Notes", nullptr, "AXButton", nullptr, true, false, false, accessibilityValueWrite},
    };
    for (const auto& c : cases) {
        FocusedTargetSnapshot target = writableTextField();
        target.app = {text(c.bundle), text(c.name), 1};
        target.element.role = text(c.role);
        target.element.subrole = text(c.subrole);
        target.element.isEnabled = c.enabled;
        target.element.isEditable = c.editable;
        target.element.supportsValueWrite = c.valueWrite;
        EXPECT_EQ(AppScopedTextInsertionStrategyResolver().resolve(target), c.expected)
            << c.name << " " << c.role << (c.subrole ? c.subrole : "");
    }
}

TEST(FocusedTargetSnapshot, TargetDescriptionFallsBackPartByPart) {
    const char* const cases[][5] = {
        {"Notes", "org.x", "AXSearchField", "AXTextField", "Notes \u2022 AXSearchField"},
        {nullptr, "org.x", nullptr, "AXTextArea", "org.x \u2022 AXTextArea"},
        {nullptr, nullptr, nullptr, nullptr, "Unknown App \u2022 AXUnknown"},
    };
    for (const auto& c : cases) {
        FocusedTargetSnapshot target;
        target.app = {text(c[1]), text(c[0]), 0};
        target.element.subrole = text(c[2]);
        target.element.role = text(c[3]);
        EXPECT_EQ(target.targetDescription(), QString::fromUtf8(c[4]));
    }
}

TEST(TerminalDetection, ReasonsFollowTheOrderOfTheChecksOnEnabledTextInputsOnly) {
    const QString app = u"App metadata looked terminal-like: "_qs,
                  element = u"Focused element looked terminal-like: "_qs;
    const QString bundle = u"Bundle ID matched terminal app."_qs;
    const struct {
        const char *appName, *bundle, *title, *subrole, *role;
        std::optional<QString> expected;
        bool enabled = true, editable = true;
    } cases[] = {
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXTextArea", bundle},
        {"Ghostty", "COM.MITCHELLH.GHOSTTY", nullptr, nullptr, "AXTextArea", bundle},
        // The name is checked before the bundle, and the reason quotes the value, not the keyword.
        {"Scenario Planner", "org.example.kitty", nullptr, nullptr, "AXTextArea", app + u"scenario planner"_qs},
        {nullptr, "org.WezTerm.app", nullptr, nullptr, "AXTextArea", app + u"org.wezterm.app"_qs},
        {"Notes", "org.example.notes", "Client List", nullptr, "AXTextArea", element + u"client list"_qs},
        // Title comes before subrole and role.
        {"Notes", nullptr, "Python REPL", "AXShellField", "AXTextArea", element + u"python repl"_qs},
        {"Notes", nullptr, "Body", "AXCommandLine", "AXTextArea", element + u"axcommandline"_qs},
        {"Notes", nullptr, nullptr, nullptr, "AXTextArea", std::nullopt},
        // Only an enabled text input (by role, or editable) can be a terminal.
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXTextArea", std::nullopt, false},
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXStaticText", std::nullopt, true, false},
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXStaticText", bundle, true, true},
    };
    for (const auto& c : cases) {
        FocusedTargetSnapshot target = writableTextField();
        target.app = {text(c.bundle), text(c.appName), 1};
        target.element.title = text(c.title);
        target.element.subrole = text(c.subrole);
        target.element.role = text(c.role);
        target.element.isEnabled = c.enabled;
        target.element.isEditable = c.editable;
        EXPECT_EQ(terminalLikeReason(target), c.expected) << (c.appName ? c.appName : "-") << " " << c.role;
        EXPECT_EQ(target.terminalLikeReason(), c.expected);
    }
}

TEST(IdentityScore, AddsOnePointsAndReasonPerRuleInOrderAndIsSymmetric) {
    const QString all = QStringLiteral(
        "same process id, same bundle id, same AXIdentifier, same role/subrole, same title, similar frame, similar "
        "size");
    const struct {
        const char* name;
        std::function<void(FocusedTargetSnapshot& earlier, FocusedTargetSnapshot& current)> change;
        int score;
        bool sameSurface;
        QString reasons;
    } cases[] = {
        {"identical", [](auto&, auto&) {}, 130, true, all},
        {"no bundle on either side counts as the same",
         [](auto& e, auto& c) { e.app.bundleIdentifier = c.app.bundleIdentifier = std::nullopt; }, 130, true, all},
        {"moved beyond the tolerance", [](auto&, auto& t) { t.element.frame->translate(4.5, 0); }, 70, true,
         QString(all).replace(u"similar frame"_qs, u"different frame"_qs)},
        {"moved exactly four points",
         [](auto&, auto& t) {
             t.element.frame = QRectF(102, 196, 304, 40);  // width +4 keeps the midpoint within 4
             t.element.size = QSizeF(304, 36);
         },
         130, true, all},
        {"everything different",
         [](auto&, auto& t) {
             t.app = {u"org.other"_qs, u"Notes"_qs, 1};
             t.element.identifier = u"other"_qs;
             t.element.role = u"AXTextField"_qs;
             t.element.title = u"Other"_qs;
             t.element.frame = QRectF(0, 0, 10, 10);
             t.element.size = QSizeF(10, 10);
         },
         -70, false, u"different process id, different AXIdentifier, different frame"_qs},
        {"a bundle or title on one side only is different, and 45 is not enough",
         [](auto&, auto& t) { t.app.bundleIdentifier = t.element.identifier = t.element.title = std::nullopt; }, 45,
         false, u"same process id, same role/subrole, different title, similar frame, similar size"_qs},
        {"exactly 50 is the same surface",
         [](auto&, auto& t) {
             t.app.bundleIdentifier = t.element.identifier = std::nullopt;
             t.element.size.reset();
             t.element.role = u"AXTextField"_qs;
         },
         50, true, u"same process id, same title, similar frame"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FocusedTargetSnapshot earlier = writableTextField(), current = writableTextField();
        c.change(earlier, current);
        const auto forward = FocusedTargetIdentityScore::compute(earlier, current);
        EXPECT_EQ(forward.score, c.score);
        EXPECT_EQ(forward.isSameSurface, c.sameSurface);
        EXPECT_EQ(forward.reasons.join(u", "), c.reasons);
        EXPECT_EQ(FocusedTargetIdentityScore::compute(current, earlier), forward);
    }
}

}  // namespace
}  // namespace quorvelle
