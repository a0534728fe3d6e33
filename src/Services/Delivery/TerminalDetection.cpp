#include "Services/Delivery/TerminalDetection.h"

#include <algorithm>
#include <initializer_list>

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/FocusedTargetTables.h"

namespace quorvelle {
namespace {

// The first present value (lower-cased) that contains one of the keywords, values in the given order.
template <typename Keywords>
std::optional<QString> firstValueContaining(std::initializer_list<const std::optional<QString>*> values,
                                            const Keywords& keywords) {
    for (const auto* value : values) {
        if (!value->has_value()) continue;
        const QString lowered = (*value)->toLower();
        const bool matched = std::any_of(keywords.begin(), keywords.end(),
                                         [&](QLatin1StringView keyword) { return lowered.contains(keyword); });
        if (matched) return lowered;
    }
    return std::nullopt;
}

}  // namespace

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

    if (auto value = firstValueContaining({&target.app.localizedName, &target.app.bundleIdentifier},
                                          FocusedTargetTables::terminalAppKeywords)) {
        return QStringLiteral("App metadata looked terminal-like: ") + *value;
    }
    if (auto value = firstValueContaining({&element.title, &element.subrole, &element.role},
                                          FocusedTargetTables::terminalElementKeywords)) {
        return QStringLiteral("Focused element looked terminal-like: ") + *value;
    }
    return std::nullopt;
}

}  // namespace quorvelle
