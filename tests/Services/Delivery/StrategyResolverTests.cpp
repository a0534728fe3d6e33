#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"

#include "Services/Delivery/Model/FocusedTargetFixtures.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

using Strategy = TextInsertionStrategy;

struct ResolverCase {
    const char* name;
    std::function<void(FocusedTargetSnapshot&)> change;
    Strategy expected;
};

TEST(StrategyResolver, ChoosesByTargetInTableOrder) {
    const ResolverCase cases[] = {
        {"plain settable text field", [](FocusedTargetSnapshot&) {}, Strategy::accessibilityValueWrite},
        {"disabled field is never sent to the clipboard",
         [](FocusedTargetSnapshot& t) {
             t.element.isEnabled = false;
             t.app.localizedName = QStringLiteral("Slack");
         },
         Strategy::accessibilityValueWrite},
        {"secure field in a paste-preferring app",
         [](FocusedTargetSnapshot& t) {
             t.element.subrole = QStringLiteral("AXSecureTextField");
             t.app.localizedName = QStringLiteral("Slack");
         },
         Strategy::accessibilityValueWrite},
        {"app keyword wins over a settable value",
         [](FocusedTargetSnapshot& t) { t.app.bundleIdentifier = QStringLiteral("com.tinyspeck.slackmacgap"); },
         Strategy::clipboardPaste},
        {"terminal element", [](FocusedTargetSnapshot& t) { t.element.subrole = QStringLiteral("AXTerminal"); },
         Strategy::clipboardPaste},
        {"web area even with a settable value",
         [](FocusedTargetSnapshot& t) { t.element.role = QStringLiteral("AXWebArea"); }, Strategy::clipboardPaste},
        {"editable element whose value cannot be set",
         [](FocusedTargetSnapshot& t) { t.element.supportsValueWrite = false; }, Strategy::clipboardPaste},
        {"neither text nor paste candidate",
         [](FocusedTargetSnapshot& t) {
             t.element.role = QStringLiteral("AXButton");
             t.element.isEditable = false;
             t.element.supportsValueWrite = false;
         },
         Strategy::accessibilityValueWrite},
    };
    const AppScopedTextInsertionStrategyResolver resolver;
    for (const ResolverCase& c : cases) {
        FocusedTargetSnapshot target = test::writableTextField();
        c.change(target);
        EXPECT_EQ(resolver.resolve(target), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace quorvelle
