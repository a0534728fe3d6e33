#include "Processing/DeveloperContext.h"

#include "Support/Keywords.h"

namespace quorvelle {

bool isDeveloperContext(const std::optional<FocusedTargetSnapshot>& target) {
    if (!target) return false;
    return firstLoweredValueContaining({&target->app.bundleIdentifier, &target->app.localizedName,
                                        &target->element.title, &target->element.identifier},
                                       DeveloperContextTables::keywords)
        .has_value();
}

}  // namespace quorvelle
