#include "ShellDesktopInput.h"

#include "Platform/Linux/X11Connection.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace quorvelle::test {

namespace {

void sendKey(Display* display, const QString& name, bool pressed) {
    const KeySym keySym = XStringToKeysym(name.toLatin1().constData());
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keySym), pressed ? True : False, CurrentTime);
}

}  // namespace

void pressKeys(const QStringList& keySymNames) {
    Display* display = X11Connection::display();
    for (const QString& name : keySymNames)
        sendKey(display, name, true);
    XSync(display, False);
}

void releaseKeys(const QStringList& keySymNames) {
    Display* display = X11Connection::display();
    for (auto name = keySymNames.crbegin(); name != keySymNames.crend(); ++name)
        sendKey(display, *name, false);
    XSync(display, False);
}

AutoRepeatOn::AutoRepeatOn() {
    Display* display = X11Connection::display();
    XKeyboardState state{};
    XGetKeyboardControl(display, &state);
    m_wasOn = state.global_auto_repeat == AutoRepeatModeOn;
    XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &m_delay, &m_interval);
    XAutoRepeatOn(display);
    XkbSetAutoRepeatRate(display, XkbUseCoreKbd, 300, 30);
    XSync(display, False);
}

AutoRepeatOn::~AutoRepeatOn() {
    Display* display = X11Connection::display();
    XkbSetAutoRepeatRate(display, XkbUseCoreKbd, m_delay, m_interval);
    if (!m_wasOn) XAutoRepeatOff(display);
    XSync(display, False);
}

bool isNumLockOn() {
    XkbStateRec state{};
    XkbGetState(X11Connection::display(), XkbUseCoreKbd, &state);
    return state.locked_mods & Mod2Mask;
}

void setNumLock(bool on) {
    if (isNumLockOn() == on) return;
    pressKeys({"Num_Lock"});
    releaseKeys({"Num_Lock"});
}

OtherXClient::OtherXClient() : m_connection(xcb_connect(nullptr, nullptr)) {}

OtherXClient::~OtherXClient() {
    xcb_disconnect(m_connection);
}

int OtherXClient::grabKey(const char* keySymName, quint16 modifiers) {
    Display* display = X11Connection::display();
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keySymName));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const xcb_void_cookie_t cookie =
        xcb_grab_key_checked(m_connection, 0, root, modifiers, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
    const int result = error ? error->error_code : 0;
    std::free(error);
    return result;
}

}  // namespace quorvelle::test
