#include "Platform/Linux/X11Compositor.h"

#include "Platform/Linux/X11Connection.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <cstdlib>
#include <memory>

namespace quorvelle::X11Compositor {

bool isRunning() {
    xcb_connection_t* connection = X11Connection::connection();
    if (!connection) return false;
    int screen = 0;
    if (const QByteArray display = qgetenv("DISPLAY"); display.contains('.'))
        screen = display.mid(display.lastIndexOf('.') + 1).toInt();
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
                              nullptr),
        &std::free);
    if (!atom) return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

}  // namespace quorvelle::X11Compositor
