#include <gtest/gtest.h>

#include <functional>

#include "FocusedTargetFixtures.h"
#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"
#include "Services/Delivery/TerminalDetection.h"

namespace quorvelle {
namespace {

using test::writableTextField;

// An accessibility object known only by its key.
struct KeyedElement final : AccessibilityElement {
    explicit KeyedElement(QString key) : key(std::move(key)) {}
    QString identityKey() const override { return key; }
    QString key;
};

std::optional<QString> text(const char* value) {
    return value ? std::optional(QString::fromUtf8(value)) : std::nullopt;
}

// The writable text field of an app with that name and bundle, given that role and subrole.
FocusedTargetSnapshot target(const char* name, const char* bundle, const char* role, const char* subrole) {
    FocusedTargetSnapshot target = writableTextField();
    target.app = {text(bundle), text(name), 1};
    target.element.role = text(role);
    target.element.subrole = text(subrole);
    return target;
}

TEST(FocusedTarget, PredicatesFollowRoleStateAndSettabilityAndTheStrategyFollowsThemAndTheApp) {
    constexpr auto kNoWritable = SessionBlockReason::noWritableTarget;
    constexpr auto kSecure = SessionBlockReason::secureField;
    using Block = std::optional<SessionBlockReason>;
    // role, subrole, enabled, editable, value and range settable -> text input, block, paste, direct write
    const std::tuple<const char*, const char*, bool, bool, bool, bool, bool, Block, bool, bool> cases[] = {
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
    for (const auto& [role, subrole, enabled, editable, value, range, textInput, block, paste, direct] : cases) {
        SCOPED_TRACE(std::string(role) + "/" + (subrole ? subrole : "-") + (enabled ? "" : " disabled"));
        FocusedElementMetadata e = target(nullptr, nullptr, role, subrole).element;
        std::tie(e.isEnabled, e.isEditable, e.supportsValueWrite, e.supportsSelectedTextRangeWrite) =
            std::tuple(enabled, editable, value, range);
        EXPECT_EQ(std::tuple(e.hasTextInputRole(), e.blockReason(), e.isClipboardPasteCandidate(),
                             e.supportsDirectValueWrite()),
                  std::tuple(textInput, block, paste, direct));
    }
    using enum TextInsertionStrategy;
    // app name, bundle, role, subrole, enabled, value settable -> strategy
    const std::tuple<const char*, const char*, const char*, const char*, bool, bool, TextInsertionStrategy> rows[] = {
        {"Notes", "org.example.Notes", "AXTextArea", nullptr, true, true, accessibilityValueWrite},
        // Keywords in the name or the (lower-cased) bundle win over a settable value.
        {"Notes", "com.tinyspeck.slackmacgap", "AXTextArea", nullptr, true, true, clipboardPaste},
        {"Code", "com.microsoft.VSCode", "AXTextArea", nullptr, true, true, clipboardPaste},
        {"Obsidian", nullptr, "AXTextArea", nullptr, true, true, clipboardPaste},
        // Refused before recording: never sent to the clipboard, whatever the app.
        {"Slack", nullptr, "AXTextArea", nullptr, false, true, accessibilityValueWrite},
        {"Slack", nullptr, "AXTextField", "AXSecureTextField", true, true, accessibilityValueWrite},
        {"Notes", nullptr, "AXTextArea", "AXTerminal", true, true, clipboardPaste},
        // Calc drops a direct write into its cell editor when the edit ends; Writer keeps it.
        {"libreoffice", "libreoffice-calc", "AXTextArea", nullptr, true, true, clipboardPaste},
        {"libreoffice", "libreoffice-writer", "AXTextArea", nullptr, true, true, accessibilityValueWrite},
        {"Notes", nullptr, "AXWebArea", nullptr, true, true, clipboardPaste},
        {"Notes", nullptr, "AXTextArea", nullptr, true, false, clipboardPaste},
        {"Notes", nullptr, "AXButton", nullptr, true, false, accessibilityValueWrite},  // not editable either
    };
    for (const auto& [name, bundle, role, subrole, enabled, valueSettable, expected] : rows) {
        FocusedTargetSnapshot snapshot = target(name, bundle, role, subrole);
        std::tie(snapshot.element.isEnabled, snapshot.element.supportsValueWrite, snapshot.element.isEditable) =
            std::tuple(enabled, valueSettable, std::string_view(role) != "AXButton");
        EXPECT_EQ(AppScopedTextInsertionStrategyResolver().resolve(snapshot), expected) << name << " " << role;
    }
}

TEST(TerminalDetection, ReasonsFollowTheOrderOfTheChecksOnEnabledTextInputsOnly) {
    const QString app = u"App metadata looked terminal-like: "_qs, bundle = u"Bundle ID matched terminal app."_qs;
    const QString element = u"Focused element looked terminal-like: "_qs;
    // app name, bundle, title, subrole, role, enabled, editable -> reason
    using Reason = std::optional<QString>;
    const std::tuple<const char*, const char*, const char*, const char*, const char*, bool, bool, Reason> cases[] = {
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXTextArea", true, true, bundle},
        {"Ghostty", "COM.MITCHELLH.GHOSTTY", nullptr, nullptr, "AXTextArea", true, true, bundle},
        // The name is checked before the bundle, and the reason quotes the value, not the keyword.
        {"Scenario Planner", "org.x.kitty", nullptr, nullptr, "AXTextArea", true, true, app + "scenario planner"},
        {nullptr, "org.WezTerm.app", nullptr, nullptr, "AXTextArea", true, true, app + "org.wezterm.app"},
        {"Notes", "org.x.notes", "Client List", nullptr, "AXTextArea", true, true, element + "client list"},
        // Title comes before subrole and role.
        {"Notes", nullptr, "Python REPL", "AXShellField", "AXTextArea", true, true, element + "python repl"},
        {"Notes", nullptr, "Body", "AXCommandLine", "AXTextArea", true, true, element + "axcommandline"},
        {"Notes", nullptr, nullptr, nullptr, "AXTextArea", true, true, std::nullopt},
        // Only an enabled text input (by role, or editable) can be a terminal.
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXTextArea", false, true, std::nullopt},
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXStaticText", true, false, std::nullopt},
        {"Terminal", "com.apple.Terminal", nullptr, nullptr, "AXStaticText", true, true, bundle},
    };
    for (const auto& [name, bundleId, title, subrole, role, enabled, editable, expected] : cases) {
        FocusedTargetSnapshot snapshot = target(name, bundleId, role, subrole);
        std::tie(snapshot.element.title, snapshot.element.isEnabled, snapshot.element.isEditable) =
            std::tuple(text(title), enabled, editable);
        EXPECT_EQ(terminalLikeReason(snapshot), expected) << (name ? name : "-") << " " << role;
        EXPECT_EQ(snapshot.terminalLikeReason(), expected);
    }
}

// The reasons each rule gives only show in diagnostics; the score decides.
TEST(IdentityScore, AddsEachRulesPointsAndIsSymmetric) {
    using Change = std::function<void(FocusedTargetSnapshot & earlier, FocusedTargetSnapshot & current)>;
    const auto unnamed = [](QString earlierKey, QString currentKey, double down, bool handles = false,
                            qint32 process = 0) -> Change {
        return [=](auto& e, auto& c) {
            e.element.identifier = c.element.identifier = std::nullopt;
            c.element.frame->translate(0, down);
            if (handles) {
                e.elementHandle = makeElementHandle(std::make_shared<KeyedElement>(earlierKey));
                c.elementHandle = makeElementHandle(std::make_shared<KeyedElement>(currentKey));
            }
            if (process) c.app.processIdentifier = process;
        };
    };
    const auto bounds = [](QRectF frame, QSizeF size) -> Change {
        return [=](auto&, auto& t) { std::tie(t.element.frame, t.element.size) = std::tuple(frame, size); };
    };
    const std::tuple<const char*, Change, int, bool> cases[] = {
        {"identical", [](auto&, auto&) {}, 130, true},
        {"no bundle on either side counts as the same",
         [](auto& e, auto& c) { e.app.bundleIdentifier = c.app.bundleIdentifier = std::nullopt; }, 130, true},
        {"moved beyond the tolerance", [](auto&, auto& t) { t.element.frame->translate(4.5, 0); }, 70, true},
        // Nothing but the place tells these apart (Firefox's fields have no identifier): the same
        // object moved by a bar shown above it is still the field, another one in its place is not.
        {"an unnamed field moved", unnamed(u"field"_qs, u"field"_qs, 51), 35, false},
        {"the same unnamed object moved", unnamed(u"field"_qs, u"field"_qs, 51, true), 75, true},
        {"the same object in another process", unnamed(u"field"_qs, u"field"_qs, 51, true, 2), 15, false},
        {"another unnamed object moved", unnamed(u"field"_qs, u"other"_qs, 51, true), 35, false},
        // Width +4 keeps the midpoint within 4.
        {"moved exactly four points", bounds(QRectF(102, 196, 304, 40), QSizeF(304, 36)), 130, true},
        {"Firefox's unknown bounds count as none", bounds(QRectF(-1, -1, -1, -1), QSizeF(-1, -1)), 100, true},
        {"so do empty extents", [](auto&, auto& t) { t.element.frame->setHeight(0), t.element.size->setWidth(0); }, 100,
         true},
        {"everything different",
         [](auto&, auto& t) {
             t.app.processIdentifier = 1;
             t.app.bundleIdentifier = u"org.other"_qs;
             t.element = {u"AXTextField"_qs, {},   u"Other"_qs, u"other"_qs, QRectF(0, 0, 10, 10),
                          QSizeF(10, 10),    true, true,        true,        true};
         },
         -70, false},
        {"a bundle or title on one side only is different, and 45 is not enough",
         [](auto&, auto& t) { t.app.bundleIdentifier = t.element.identifier = t.element.title = std::nullopt; }, 45,
         false},
        {"exactly 50 is the same surface",
         [](auto&, auto& t) {
             std::tie(t.app.bundleIdentifier, t.element.identifier, t.element.size, t.element.role) =
                 std::tuple(std::nullopt, std::nullopt, std::nullopt, u"AXTextField"_qs);
         },
         50, true},
    };
    for (const auto& [name, change, score, sameSurface] : cases) {
        FocusedTargetSnapshot earlier = writableTextField(), current = writableTextField();
        change(earlier, current);
        const auto forward = FocusedTargetIdentityScore::compute(earlier, current);
        EXPECT_EQ(std::pair(forward.score, forward.isSameSurface), std::pair(score, sameSurface)) << name;
        EXPECT_EQ(FocusedTargetIdentityScore::compute(current, earlier), forward) << name;
    }
}

// Another process's field is never the target, however alike: two windows of one GTK 4 program in
// two processes tell the same class, role, title and window-relative frame. Two windows of one
// process still go by the points, and a window that names no process by the window itself.
TEST(IdentityScore, AFieldOfAnotherProcessIsNeverTheSameSurface) {
    const std::tuple<const char*, qint32, qint32, quint32, quint32, bool> cases[] = {
        {"another process, alike in all else", 4242, 4343, 0x1200003, 0x1400003, false},
        {"two windows of one process", 4242, 4242, 0x1200003, 0x1200010, true},
        {"no process named, the same window", 0, 0, 0x800010, 0x800010, true},
        {"no process named, another window", 0, 0, 0x800010, 0x800020, false},
    };
    for (const auto& [name, earlierProcess, currentProcess, earlierWindow, currentWindow, same] : cases) {
        FocusedTargetSnapshot earlier = writableTextField(), current = writableTextField();
        std::tie(earlier.app.processIdentifier, earlier.app.windowIdentifier) =
            std::tuple(earlierProcess, earlierWindow);
        std::tie(current.app.processIdentifier, current.app.windowIdentifier) =
            std::tuple(currentProcess, currentWindow);
        const auto score = FocusedTargetIdentityScore::compute(earlier, current);
        EXPECT_GE(score.score, FocusedTargetIdentityScore::sameSurfaceThreshold) << name;
        EXPECT_EQ(score.isSameSurface, same) << name;
    }
}

}  // namespace
}  // namespace quorvelle
