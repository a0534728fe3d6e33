#include "Services/Delivery/TerminalDetection.h"

#include <algorithm>

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/FocusedTargetTables.h"
#include "Support/Keywords.h"

namespace quorvelle {

namespace {

template <typename Table>
bool isOneOf(const std::optional<QString>& value, const Table& table) {
    return value && std::any_of(table.begin(), table.end(), [&](QLatin1StringView entry) {
               return value->compare(entry, Qt::CaseInsensitive) == 0;
           });
}

}  // namespace

std::optional<QString> terminalLikeReason(const FocusedTargetSnapshot& target) {
    const FocusedElementMetadata& element = target.element;
    // A window without a readable element is judged by its application alone.
    const bool textInput = element.hasTextInputRole() || element.isEditable || target.isWindowOnly;
    if (!element.isEnabled || !textInput) return std::nullopt;

    if (isOneOf(target.app.bundleIdentifier, FocusedTargetTables::terminalAppBundleIdentifiers)) {
        return QStringLiteral("Bundle ID matched terminal app.");
    }
    if (isOneOf(target.app.bundleIdentifier, FocusedTargetTables::terminalWindowClasses) ||
        isOneOf(target.app.localizedName, FocusedTargetTables::terminalWindowClasses)) {
        return QStringLiteral("Window class matched terminal app.");
    }

    if (auto value = firstLoweredValueContaining({&target.app.localizedName, &target.app.bundleIdentifier},
                                                 FocusedTargetTables::terminalAppKeywords)) {
        return QStringLiteral("App metadata looked terminal-like: ") + *value;
    }
    if (auto value = firstLoweredValueContaining({&element.title, &element.subrole, &element.role},
                                                 FocusedTargetTables::terminalElementKeywords)) {
        return QStringLiteral("Focused element looked terminal-like: ") + *value;
    }
    return std::nullopt;
}

}  // namespace quorvelle
