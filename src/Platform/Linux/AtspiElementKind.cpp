#include "Platform/Linux/AtspiElementKind.h"

#include "Platform/Linux/AtspiConnection.h"

#include <QString>

namespace quorvelle::AtspiElementKind {

namespace {

// GTK 4's terminal widget shows as a filler named after its class (VteTerminal, KgxTerminal), with
// no text interface: where it holds the focus, text goes there.
bool isTerminalWidget(const AtspiElement& element, AtspiRole role) {
    if (role != ATSPI_ROLE_FILLER) return false;
    gchar* name = atspi_accessible_get_name(element.accessible(), nullptr);
    const bool terminal = name && QString::fromUtf8(name).contains(QLatin1String("terminal"), Qt::CaseInsensitive);
    g_free(name);
    return terminal;
}

}  // namespace

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
        case ATSPI_ROLE_MENU_BAR:
        case ATSPI_ROLE_MENU:
        case ATSPI_ROLE_MENU_ITEM:
        case ATSPI_ROLE_CHECK_MENU_ITEM:
        case ATSPI_ROLE_RADIO_MENU_ITEM: return !error.failed();
        case ATSPI_ROLE_FILLER: return !error.failed() && !isTerminalWidget(element, ATSPI_ROLE_FILLER);
        default: return false;
    }
}

bool isPane(const AtspiElement& element) {
    AtspiCallError error;
    const auto role = AtspiRole(element.role(error.slot()));
    return !error.failed() && (role == ATSPI_ROLE_ROOT_PANE || role == ATSPI_ROLE_PANEL);
}

bool isSheet(const AtspiElement& element) {
    if (!hasState(element, ATSPI_STATE_EDITABLE) || !hasState(element, ATSPI_STATE_MANAGES_DESCENDANTS) ||
        !hasState(element, ATSPI_STATE_FOCUSABLE)) {
        return false;
    }
    AtspiCallError error;
    return AtspiRole(element.role(error.slot())) == ATSPI_ROLE_TABLE && !error.failed();
}

bool takesText(const AtspiElement& element) {
    if (hasState(element, ATSPI_STATE_EDITABLE)) return true;
    AtspiCallError error;
    const auto role = AtspiRole(element.role(error.slot()));
    return !error.failed() &&
           (role == ATSPI_ROLE_PASSWORD_TEXT || role == ATSPI_ROLE_TERMINAL || isTerminalWidget(element, role));
}

}  // namespace quorvelle::AtspiElementKind
