#include "Platform/Linux/AtspiFocusTracker.h"

#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/GObjectRef.h"

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

std::shared_ptr<AtspiElement> ifStillFocused(AtspiOffsetUnit offsetUnit) {
    const GObjectRef<AtspiStateSet> states(atspi_accessible_get_state_set(lastFocused));
    if (!states || !atspi_state_set_contains(states.get(), ATSPI_STATE_FOCUSED)) return nullptr;
    return adoptAtspiElement(static_cast<AtspiAccessible*>(g_object_ref(lastFocused)), offsetUnit);
}

}  // namespace

std::shared_ptr<AtspiElement> focusedObject(qint32 processIdentifier, AtspiOffsetUnit offsetUnit) {
    if (!lastFocused) return nullptr;
    AtspiCallError error;
    const guint pid = atspi_accessible_get_process_id(lastFocused, error.slot());
    if (error.failed() || static_cast<qint32>(pid) != processIdentifier) return nullptr;
    return ifStillFocused(offsetUnit);
}

std::shared_ptr<AtspiElement> focusedObject(const AtspiElement& application) {
    if (!lastFocused) return nullptr;
    const AtspiApplication* focusedApp = ATSPI_OBJECT(lastFocused)->app;
    const AtspiApplication* wanted = ATSPI_OBJECT(application.accessible())->app;
    if (!focusedApp || !wanted || g_strcmp0(focusedApp->bus_name, wanted->bus_name) != 0) return nullptr;
    return ifStillFocused(application.offsetUnit());
}

}  // namespace quorvelle::AtspiFocusTracker
