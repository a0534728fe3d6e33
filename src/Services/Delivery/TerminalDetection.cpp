#include "Services/Delivery/TerminalDetection.h"

#include <algorithm>

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/FocusedTargetTables.h"
#include "Support/Keywords.h"

namespace quorvelle {

std::optional<QString> terminalLikeReason(const FocusedTargetSnapshot& target) {
    const FocusedElementMetadata& element = target.element;
    if (!element.isEnabled || !(element.hasTextInputRole() || element.isEditable)) return std::nullopt;

    const std::optional<QString>& bundle = target.app.bundleIdentifier;
    if (bundle) {
        const auto& known = FocusedTargetTables::terminalAppBundleIdentifiers;
        const bool isKnown = std::any_of(known.begin(), known.end(), [&](QLatin1StringView id) {
            return bundle->compare(id, Qt::CaseInsensitive) == 0;
        });
        if (isKnown) return QStringLiteral("Bundle ID matched terminal app.");
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
