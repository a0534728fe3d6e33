#include "Platform/Linux/AtspiFocusTracker.h"

#include "Platform/Linux/AtspiConnection.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <atspi/atspi.h>

#include <QList>

namespace quorvelle::AtspiFocusTracker {

namespace {

// The objects that gained the focus last, newest first, each with a reference of ours. A few are
// kept: after a keyboard grab ends, applications pass the focus through containers (Writer: the
// paragraph, then its root pane) while the field itself keeps its focused state.
constexpr qsizetype kRememberedCount = 4;
QList<AtspiAccessible*> recentlyFocused;

// Called by libatspi from the main loop; must not throw. The event is a copy handed over to us
// (it holds a reference to its source): every focus change on the desktop would leak one otherwise.
void onFocusChanged(const AtspiEvent* event) {
    if (!event) return;
    if (event->source && event->detail1 == 1) {
        AtspiAccessible* source = event->source;
        if (recentlyFocused.removeOne(source)) g_object_unref(source);
        recentlyFocused.prepend(static_cast<AtspiAccessible*>(g_object_ref(source)));
        while (recentlyFocused.size() > kRememberedCount)
            g_object_unref(recentlyFocused.takeLast());
    }
    g_boxed_free(ATSPI_TYPE_EVENT, const_cast<AtspiEvent*>(event));
}

QString busNameOf(AtspiAccessible* accessible) {
    const AtspiApplication* app = ATSPI_OBJECT(accessible)->app;
    return QString::fromUtf8(app && app->bus_name ? app->bus_name : "");
}

bool hasState(const AtspiElement& element, AtspiStateType state) {
    AtspiStateSet* states = element.states();
    return states && atspi_state_set_contains(states, state);
}

bool takesText(const AtspiElement& element) {
    if (hasState(element, ATSPI_STATE_EDITABLE)) return true;
    AtspiCallError error;
    const AtspiRole role = atspi_accessible_get_role(element.accessible(), error.slot());
    return !error.failed() && (role == ATSPI_ROLE_PASSWORD_TEXT || role == ATSPI_ROLE_TERMINAL);
}

std::shared_ptr<AtspiElement> adopted(AtspiAccessible* accessible, AtspiOffsetUnit offsetUnit) {
    return adoptAtspiElement(static_cast<AtspiAccessible*>(g_object_ref(accessible)), offsetUnit);
}

// GTK drops the focused state while another client grabs the keyboard, as our own hot key does
// from its press to its release: the last object to gain the focus still holds it when it can take
// the focus and is on screen, and no other object gained it since.
bool stillFocused(const AtspiElement& element) {
    return hasState(element, ATSPI_STATE_FOCUSED) ||
           (hasState(element, ATSPI_STATE_FOCUSABLE) && hasState(element, ATSPI_STATE_SHOWING));
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

bool isFocusWaypoint(const AtspiElement& element) {
    if (hasState(element, ATSPI_STATE_EDITABLE)) return false;
    AtspiCallError error;
    switch (atspi_accessible_get_role(element.accessible(), error.slot())) {
        case ATSPI_ROLE_PANEL:
        case ATSPI_ROLE_FRAME:
        case ATSPI_ROLE_ROOT_PANE:
        case ATSPI_ROLE_DOCUMENT_FRAME:
        case ATSPI_ROLE_DOCUMENT_WEB:
        case ATSPI_ROLE_FILLER:
        case ATSPI_ROLE_MENU_BAR:
        case ATSPI_ROLE_MENU:
        case ATSPI_ROLE_MENU_ITEM:
        case ATSPI_ROLE_CHECK_MENU_ITEM:
        case ATSPI_ROLE_RADIO_MENU_ITEM: return !error.failed();
        default: return false;
    }
}

std::shared_ptr<AtspiElement> focusedObject(qint32 processIdentifier, AtspiOffsetUnit offsetUnit) {
    if (recentlyFocused.isEmpty()) return nullptr;
    AtspiCallError error;
    const guint pid = atspi_accessible_get_process_id(recentlyFocused.first(), error.slot());
    if (error.failed() || static_cast<qint32>(pid) != processIdentifier) return nullptr;
    return focusedObject(focusedBusName(), offsetUnit);
}

QString focusedBusName() {
    return recentlyFocused.isEmpty() ? QString() : busNameOf(recentlyFocused.first());
}

std::shared_ptr<AtspiElement> focusedObject(const QString& busName, AtspiOffsetUnit offsetUnit) {
    if (busName.isEmpty() || focusedBusName() != busName) return nullptr;
    auto newest = adopted(recentlyFocused.first(), offsetUnit);
    if (!newest->states()) return nullptr;
    if (!isFocusWaypoint(*newest)) return stillFocused(*newest) ? newest : nullptr;
    // A container or a menu of that application took the focus last: the text element that had it
    // before is the one, while it still reports the focus (or, as a grab hides it, while the
    // container does not claim it either: Writer's root pane). Until then, the focus is on its way.
    const bool waypointClaimsFocus = hasState(*newest, ATSPI_STATE_FOCUSED);
    for (qsizetype index = 1; index < recentlyFocused.size(); ++index) {
        if (busNameOf(recentlyFocused.at(index)) != busName) break;
        auto earlier = adopted(recentlyFocused.at(index), offsetUnit);
        const bool focused =
            hasState(*earlier, ATSPI_STATE_FOCUSED) || (!waypointClaimsFocus && stillFocused(*earlier));
        if (focused && takesText(*earlier)) return earlier;
    }
    throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
}

}  // namespace quorvelle::AtspiFocusTracker
