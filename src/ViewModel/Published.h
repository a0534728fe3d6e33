#pragma once

#include <utility>

namespace quorvelle {

// Assigns a published field and notifies its observers, whether or not the value changed: the views
// and the overlay rely on one notification per assignment.
template <typename Owner, typename T, typename V>
void publish(Owner* owner, T& field, V&& value, void (Owner::*changed)()) {
    field = std::forward<V>(value);
    (owner->*changed)();
}

}  // namespace quorvelle
