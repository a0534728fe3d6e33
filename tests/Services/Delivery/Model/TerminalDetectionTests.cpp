#include <gtest/gtest.h>

#include "FocusedTargetFixtures.h"
#include "Services/Delivery/TerminalDetection.h"

namespace quorvelle {
namespace {

using test::writableTextField;

struct TerminalCase {
    std::optional<QString> appName, bundle, title, subrole, role;
    std::optional<QString> expected;
};

std::optional<QString> reason(const char* prefix, const char* value) {
    return QString::fromUtf8(prefix) + QString::fromUtf8(value);
}

const char* const kApp = "App metadata looked terminal-like: ";
const char* const kElement = "Focused element looked terminal-like: ";

TEST(TerminalDetection, ReasonsFollowTheOrderOfTheChecks) {
    const auto s = [](const char* text) { return std::optional(QString::fromUtf8(text)); };
    const std::optional<QString> none;
    const TerminalCase cases[] = {
        {s("Terminal"), s("com.apple.Terminal"), none, none, s("AXTextArea"), s("Bundle ID matched terminal app.")},
        {s("Ghostty"), s("COM.MITCHELLH.GHOSTTY"), none, none, s("AXTextArea"), s("Bundle ID matched terminal app.")},
        // The name is checked before the bundle, and the reason quotes the value, not the keyword.
        {s("Scenario Planner"), s("org.example.kitty"), none, none, s("AXTextArea"), reason(kApp, "scenario planner")},
        {none, s("org.WezTerm.app"), none, none, s("AXTextArea"), reason(kApp, "org.wezterm.app")},
        {s("Notes"), s("org.example.notes"), s("Client List"), none, s("AXTextArea"), reason(kElement, "client list")},
        // Title comes before subrole and role.
        {s("Notes"), none, s("Python REPL"), s("AXShellField"), s("AXTextArea"), reason(kElement, "python repl")},
        {s("Notes"), none, s("Body"), s("AXCommandLine"), s("AXTextArea"), reason(kElement, "axcommandline")},
        {s("Notes"), none, none, none, s("AXTextArea"), none},
    };
    for (const auto& c : cases) {
        FocusedTargetSnapshot target = writableTextField();
        target.app.localizedName = c.appName;
        target.app.bundleIdentifier = c.bundle;
        target.element.title = c.title;
        target.element.subrole = c.subrole;
        target.element.role = c.role;
        EXPECT_EQ(terminalLikeReason(target), c.expected) << c.appName.value_or("-").toStdString();
        EXPECT_EQ(target.terminalLikeReason(), c.expected);
    }
}

TEST(TerminalDetection, OnlyEnabledTextInputsCanBeTerminals) {
    FocusedTargetSnapshot target = writableTextField();
    target.app.bundleIdentifier = QStringLiteral("com.apple.Terminal");
    ASSERT_TRUE(terminalLikeReason(target));

    FocusedTargetSnapshot disabled = target;
    disabled.element.isEnabled = false;
    EXPECT_EQ(terminalLikeReason(disabled), std::nullopt);

    FocusedTargetSnapshot staticText = target;
    staticText.element.role = QStringLiteral("AXStaticText");
    staticText.element.isEditable = false;
    EXPECT_EQ(terminalLikeReason(staticText), std::nullopt);

    FocusedTargetSnapshot editableGroup = staticText;
    editableGroup.element.isEditable = true;
    EXPECT_TRUE(terminalLikeReason(editableGroup));
}

}  // namespace
}  // namespace quorvelle
