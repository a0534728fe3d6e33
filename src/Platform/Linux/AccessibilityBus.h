#pragma once

namespace quorvelle {

// The desktop's accessibility switch: org.a11y.Status.IsEnabled on the session bus.
// Other applications expose their text fields through AT-SPI only while it is on.
namespace AccessibilityBus {

// True when the session bus answers and the accessibility bus reports itself enabled.
bool isEnabled();

// Turns the switch on (the Linux counterpart of asking for the Accessibility permission).
// Returns whether the bus accepted the change.
bool setEnabled(bool enabled);

}  // namespace AccessibilityBus
}  // namespace quorvelle
