#include "ShellDesktopInput.h"

#include "Services/Delivery/DesktopInput.h"

#include "Platform/Linux/X11Connection.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace quorvelle::test {

void sendKeys(const QStringList& keySymNames, bool pressed) {
    for (qsizetype i = 0; i < keySymNames.size(); ++i)
        setKeyDown(keySymNames.at(pressed ? i : keySymNames.size() - 1 - i).toLatin1().constData(), pressed);
}

bool setNumLock(bool on) {
    XkbStateRec state{};
    XkbGetState(X11Connection::display(), XkbUseCoreKbd, &state);
    if (bool(state.locked_mods & Mod2Mask) != on) {
        sendKeys({"Num_Lock"}, true);
        sendKeys({"Num_Lock"}, false);
        XkbGetState(X11Connection::display(), XkbUseCoreKbd, &state);
    }
    return state.locked_mods & Mod2Mask;
}

void setQuickAutoRepeat(bool quick) {
    Display* display = X11Connection::display();
    XAutoRepeatOn(display);
    XkbSetAutoRepeatRate(display, XkbUseCoreKbd, quick ? 300 : 660, quick ? 30 : 40);
    XSync(display, False);
}

OtherXClient::OtherXClient() : m_connection(xcb_connect(nullptr, nullptr)) {}

OtherXClient::~OtherXClient() {
    xcb_disconnect(m_connection);
}

int OtherXClient::grabKey(const char* keySymName, quint16 modifiers) {
    const KeyCode code = XKeysymToKeycode(X11Connection::display(), XStringToKeysym(keySymName));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    xcb_generic_error_t* error = xcb_request_check(
        m_connection,
        xcb_grab_key_checked(m_connection, 0, root, modifiers, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const int result = error ? error->error_code : 0;
    std::free(error);
    return result;
}

}  // namespace quorvelle::test
