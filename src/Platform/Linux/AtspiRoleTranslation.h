#pragma once

#include <QString>
#include <optional>

namespace quorvelle {

// The role strings and flags the delivery logic reads are the AX vocabulary; AT-SPI objects are
// described through this translation so that the same rules (text-input roles, secure fields,
// terminal keywords, web areas) apply on this desktop.
struct AXRoleDescription {
    std::optional<QString> role;
    std::optional<QString> subrole;

    friend bool operator==(const AXRoleDescription&, const AXRoleDescription&) = default;
};

// What an AT-SPI object told us about itself: its states and which interfaces it implements.
struct AtspiElementFacts {
    bool enabled = false;
    bool editable = false;
    bool readOnly = false;
    bool multiLine = false;
    bool hasText = false;
    bool hasEditableText = false;
};

struct AXElementFlags {
    bool isEnabled = false;
    bool isEditable = false;
    bool isValueSettable = false;
    bool isSelectedTextRangeSettable = false;

    friend bool operator==(const AXElementFlags&, const AXElementFlags&) = default;
};

inline constexpr const char* kAXTerminalSubrole = "AXTerminal";

// roleName is the AT-SPI role as libatspi names it ("password text", "entry", ...).
AXRoleDescription translateAtspiRole(const QString& roleName, bool multiLine);

AXElementFlags translateAtspiFacts(const AtspiElementFacts& facts);

}  // namespace quorvelle
