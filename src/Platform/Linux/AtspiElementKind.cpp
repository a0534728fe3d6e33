#include "Platform/Linux/AtspiElementKind.h"

#include "Platform/Linux/AtspiConnection.h"

namespace quorvelle::AtspiElementKind {

bool hasState(const AtspiElement& element, AtspiStateType state) {
    AtspiStateSet* states = element.states();
    return states && atspi_state_set_contains(states, state);
}

bool isFocusWaypoint(const AtspiElement& element) {
    if (hasState(element, ATSPI_STATE_EDITABLE)) return false;
    AtspiCallError error;
    switch (AtspiRole(element.role(error.slot()))) {
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

bool takesText(const AtspiElement& element) {
    if (hasState(element, ATSPI_STATE_EDITABLE)) return true;
    AtspiCallError error;
    const auto role = AtspiRole(element.role(error.slot()));
    return !error.failed() && (role == ATSPI_ROLE_PASSWORD_TEXT || role == ATSPI_ROLE_TERMINAL);
}

}  // namespace quorvelle::AtspiElementKind
