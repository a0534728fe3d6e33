#include "Processing/DeveloperContext.h"

#include <algorithm>

namespace quorvelle {

bool isDeveloperContext(const std::optional<FocusedTargetSnapshot>& target) {
    if (!target) return false;
    for (const auto* value : {&target->app.bundleIdentifier, &target->app.localizedName,
                              &target->element.title, &target->element.identifier}) {
        if (!value->has_value()) continue;
        const QString lowered = (*value)->toLower();
        if (std::any_of(kDeveloperContextKeywords.begin(), kDeveloperContextKeywords.end(),
                        [&](QLatin1StringView keyword) { return lowered.contains(keyword); })) {
            return true;
        }
    }
    return false;
}

}  // namespace quorvelle
