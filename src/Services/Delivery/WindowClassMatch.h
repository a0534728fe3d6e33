#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QLatin1StringView>
#include <algorithm>

namespace quorvelle {

// Whether the application's X11 window class (kept as its bundle identifier) is one of the table's,
// compared whole, without regard to case.
template <typename Table>
bool windowClassIsOneOf(const FocusedAppMetadata& app, const Table& table) {
    return app.bundleIdentifier && std::any_of(table.begin(), table.end(), [&](QLatin1StringView name) {
               return app.bundleIdentifier->compare(name, Qt::CaseInsensitive) == 0;
           });
}

}  // namespace quorvelle
