#include "Platform/Linux/AtspiFocusTracker.h"

#include "Platform/Linux/AtspiConnection.h"

#include <atspi/atspi.h>

namespace quorvelle::AtspiFocusTracker {

namespace {

AtspiAccessible* lastFocused = nullptr;

// Called by libatspi from the main loop; must not throw. The event is a copy handed over to us
// (it holds a reference to its source): every focus change on the desktop would leak one otherwise.
void onFocusChanged(const AtspiEvent* event) {
    if (!event) return;
    if (event->source && event->detail1 == 1) {
        if (lastFocused) g_object_unref(lastFocused);
        lastFocused = static_cast<AtspiAccessible*>(g_object_ref(event->source));
    }
    g_boxed_free(ATSPI_TYPE_EVENT, const_cast<AtspiEvent*>(event));
}

}  // namespace

bool start() {
    static bool listening = false;
    if (listening) return true;
    if (!AtspiConnection::ensureInitialised()) return false;
    AtspiCallError error;
    listening =
        atspi_event_listener_register_no_data(&onFocusChanged, nullptr, "object:state-changed:focused", error.slot());
    return listening;
}

namespace {

// GTK drops the focused state while another client grabs the keyboard, as our own hot key does
// from its press to its release: the last object to gain the focus still holds it when it can take
// the focus and is on screen, and no other object gained it since.
std::shared_ptr<AtspiElement> ifStillFocused(AtspiOffsetUnit offsetUnit) {
    auto element = adoptAtspiElement(static_cast<AtspiAccessible*>(g_object_ref(lastFocused)), offsetUnit);
    AtspiStateSet* states = element->states();
    if (!states) return nullptr;
    const bool focused = atspi_state_set_contains(states, ATSPI_STATE_FOCUSED) ||
                         (atspi_state_set_contains(states, ATSPI_STATE_FOCUSABLE) &&
                          atspi_state_set_contains(states, ATSPI_STATE_SHOWING));
    return focused ? element : nullptr;
}

}  // namespace

std::shared_ptr<AtspiElement> focusedObject(qint32 processIdentifier, AtspiOffsetUnit offsetUnit) {
    if (!lastFocused) return nullptr;
    AtspiCallError error;
    const guint pid = atspi_accessible_get_process_id(lastFocused, error.slot());
    if (error.failed() || static_cast<qint32>(pid) != processIdentifier) return nullptr;
    return ifStillFocused(offsetUnit);
}

QString focusedBusName() {
    const AtspiApplication* app = lastFocused ? ATSPI_OBJECT(lastFocused)->app : nullptr;
    return QString::fromUtf8(app && app->bus_name ? app->bus_name : "");
}

std::shared_ptr<AtspiElement> focusedObject(const QString& busName, AtspiOffsetUnit offsetUnit) {
    if (busName.isEmpty() || focusedBusName() != busName) return nullptr;
    return ifStillFocused(offsetUnit);
}

}  // namespace quorvelle::AtspiFocusTracker
