#include <gtest/gtest.h>

#include <functional>

#include "FocusedTargetFixtures.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {
namespace {

using test::writableTextField;

struct ElementCase {
    const char* name;
    std::function<void(FocusedElementMetadata&)> change;
    bool textInputRole;
    std::optional<SessionBlockReason> block;
    bool pasteCandidate;
    bool directWrite;
};

void PrintTo(const ElementCase& c, std::ostream* os) { *os << c.name; }

class ElementPredicates : public ::testing::TestWithParam<ElementCase> {};

TEST_P(ElementPredicates, FollowRolesStatesAndSettability) {
    const ElementCase& c = GetParam();
    FocusedTargetSnapshot target = writableTextField();
    c.change(target.element);
    EXPECT_EQ(target.element.hasTextInputRole(), c.textInputRole);
    EXPECT_EQ(target.blockReason(), c.block);
    EXPECT_EQ(target.isClipboardPasteCandidate(), c.pasteCandidate);
    EXPECT_EQ(target.supportsDirectValueWrite(), c.directWrite);
}

const auto noWritable = std::optional(SessionBlockReason::noWritableTarget);
const auto secure = std::optional(SessionBlockReason::secureField);
const std::optional<SessionBlockReason> writable;

INSTANTIATE_TEST_SUITE_P(
    Cases, ElementPredicates,
    ::testing::Values(
        ElementCase{"plainTextField", [](auto&) {}, true, writable, true, true},
        ElementCase{"textFieldRole", [](auto& e) { e.role = QStringLiteral("AXTextField"); }, true, writable,
                    true, true},
        ElementCase{"comboBoxNotEditable",
                    [](auto& e) {
                        e.role = QStringLiteral("AXComboBox");
                        e.isEditable = false;
                    },
                    true, writable, true, true},
        ElementCase{"searchFieldSubroleOnGroup",
                    [](auto& e) {
                        e.role = QStringLiteral("AXButton");
                        e.subrole = QStringLiteral("AXSearchField");
                        e.isEditable = false;
                    },
                    true, writable, true, true},
        ElementCase{"secureEvenWhenDisabled",
                    [](auto& e) {
                        e.subrole = QStringLiteral("AXSecureTextField");
                        e.isEnabled = false;
                    },
                    true, secure, false, false},
        ElementCase{"secureEnabled", [](auto& e) { e.subrole = QStringLiteral("AXSecureTextField"); }, true,
                    secure, false, false},
        ElementCase{"disabledPlainField", [](auto& e) { e.isEnabled = false; }, true, noWritable, false, false},
        ElementCase{"nothingSettable",
                    [](auto& e) {
                        e.supportsValueWrite = false;
                        e.supportsSelectedTextRangeWrite = false;
                    },
                    true, noWritable, true, false},
        ElementCase{"onlySelectionSettable", [](auto& e) { e.supportsValueWrite = false; }, true, writable, true,
                    false},
        ElementCase{"webAreaNotEditable",
                    [](auto& e) {
                        e.role = QStringLiteral("AXWebArea");
                        e.isEditable = false;
                    },
                    false, noWritable, true, false},
        ElementCase{"editableGroup", [](auto& e) { e.role = QStringLiteral("AXGroup"); }, false, writable, true,
                    true},
        ElementCase{"buttonNotEditable",
                    [](auto& e) {
                        e.role = QStringLiteral("AXButton");
                        e.isEditable = false;
                    },
                    false, noWritable, false, false},
        ElementCase{"noRoleButEditable", [](auto& e) { e.role.reset(); }, false, writable, true, true},
        ElementCase{"roleIsCaseSensitive",
                    [](auto& e) {
                        e.role = QStringLiteral("axtextfield");
                        e.isEditable = false;
                    },
                    false, noWritable, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FocusedTargetSnapshot, PrefersClipboardPasteForKeywordAppsByNameOrBundle) {
    const struct {
        std::optional<QString> name;
        std::optional<QString> bundle;
        bool expected;
    } cases[] = {
        {QStringLiteral("Slack"), QStringLiteral("com.tinyspeck.slackmacgap"), true},
        {QStringLiteral("Code"), QStringLiteral("com.microsoft.VSCode"), true},  // bundle, lower-cased
        {QStringLiteral("Obsidian"), std::nullopt, true},
        {std::nullopt, QStringLiteral("com.figma.Desktop"), true},
        {QStringLiteral("Notes"), QStringLiteral("org.example.Notes"), false},
        {std::nullopt, std::nullopt, false},
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
        {std::nullopt, QStringLiteral("org.x"), std::nullopt, QStringLiteral("AXTextArea"),
         "org.x \u2022 AXTextArea"},
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

TEST(FocusedElementHandle, StorageLivesUntilTheLastSnapshotReleasesIt) {
    int released = 0;
    {
        FocusedTargetSnapshot first = writableTextField();
        first.elementHandle =
            std::make_shared<FocusedElementHandle>(std::shared_ptr<void>(new int(7), [&](void* p) {
                delete static_cast<int*>(p);
                ++released;
            }));
        FocusedTargetSnapshot second = first;
        first = FocusedTargetSnapshot{};
        EXPECT_EQ(released, 0);
        EXPECT_EQ(*static_cast<int*>(second.elementHandle->storage().get()), 7);
    }
    EXPECT_EQ(released, 1);
}

}  // namespace
}  // namespace quorvelle
