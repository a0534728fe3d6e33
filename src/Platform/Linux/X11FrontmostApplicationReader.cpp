#include "Platform/Linux/X11FrontmostApplicationReader.h"

#include "Platform/Linux/X11Connection.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRectF>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quorvelle::X11FrontmostApplicationReader {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> own(T* reply) {
    return Reply<T>(reply, &std::free);
}

// How many windows to climb from the focus window to the client window that names its owner.
constexpr int kMaximumAncestorSteps = 8;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    auto reply = own(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// An atom, once it exists, keeps its number for the server's lifetime: ask once per connection
// rather than once per look at the front window.
xcb_atom_t knownAtom(xcb_connection_t* connection, const char* name) {
    static xcb_connection_t* askedOn = nullptr;
    static QHash<QByteArray, xcb_atom_t> atoms;
    if (askedOn != connection) {
        atoms.clear();
        askedOn = connection;
    }
    const QByteArray key(name);
    if (const auto found = atoms.constFind(key); found != atoms.constEnd()) return found.value();
    const xcb_atom_t atom = internAtom(connection, name);
    // An atom nobody created yet may appear later (only_if_exists): ask again next time.
    if (atom != XCB_ATOM_NONE) atoms.insert(key, atom);
    return atom;
}

xcb_get_property_cookie_t requestProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name,
                                          xcb_atom_t type) {
    return xcb_get_property(connection, 0, window, name, type, 0, 1024);
}

std::optional<QByteArray> propertyReply(xcb_connection_t* connection, xcb_get_property_cookie_t cookie) {
    auto reply = own(xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE) return std::nullopt;
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
}

std::optional<quint32> cardinalOf(const std::optional<QByteArray>& bytes) {
    if (!bytes || bytes->size() < static_cast<qsizetype>(sizeof(quint32))) return std::nullopt;
    quint32 value = 0;
    std::memcpy(&value, bytes->constData(), sizeof value);
    return value;
}

xcb_window_t activeWindow(xcb_connection_t* connection, xcb_window_t root) {
    const xcb_atom_t activeAtom = knownAtom(connection, "_NET_ACTIVE_WINDOW");
    const auto active =
        activeAtom == XCB_ATOM_NONE
            ? std::nullopt
            : cardinalOf(propertyReply(connection, requestProperty(connection, root, activeAtom, XCB_ATOM_WINDOW)));
    if (active && *active != XCB_WINDOW_NONE) return *active;
    auto focus = own(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    if (!focus || focus->focus == XCB_WINDOW_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
        focus->focus == root) {
        return XCB_WINDOW_NONE;
    }
    return focus->focus;
}

X11WindowOwner readOwner(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t pidAtom) {
    X11WindowOwner owner;
    // Both questions go out before either answer is awaited: one wait on the server, not two.
    const std::optional<xcb_get_property_cookie_t> pidCookie =
        pidAtom == XCB_ATOM_NONE ? std::nullopt
                                 : std::optional(requestProperty(connection, window, pidAtom, XCB_ATOM_CARDINAL));
    const xcb_get_property_cookie_t classCookie =
        requestProperty(connection, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    if (const auto pid = pidCookie ? cardinalOf(propertyReply(connection, *pidCookie)) : std::nullopt;
        pid && *pid > 0) {
        owner.processIdentifier = static_cast<qint32>(*pid);
    }
    if (const auto wmClass = propertyReply(connection, classCookie)) {
        // Two NUL-terminated strings: instance, then class.
        const QList<QByteArray> parts = wmClass->split('\0');
        if (!parts.value(0).isEmpty()) owner.instanceName = QString::fromLocal8Bit(parts.value(0));
        if (!parts.value(1).isEmpty()) owner.className = QString::fromLocal8Bit(parts.value(1));
    }
    return owner;
}

// The window's title (EWMH's UTF-8 one, else the legacy one) and its frame in root coordinates. All
// questions go out before the first answer is awaited.
void readTitleAndFrame(xcb_connection_t* connection, xcb_window_t window, FocusedAppMetadata& app) {
    const xcb_atom_t nameAtom = knownAtom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8Atom = knownAtom(connection, "UTF8_STRING");
    const std::optional<xcb_get_property_cookie_t> nameCookie =
        nameAtom == XCB_ATOM_NONE || utf8Atom == XCB_ATOM_NONE
            ? std::nullopt
            : std::optional(requestProperty(connection, window, nameAtom, utf8Atom));
    const xcb_get_property_cookie_t legacyCookie =
        requestProperty(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(connection, window);
    const std::optional<QByteArray> name = nameCookie ? propertyReply(connection, *nameCookie) : std::nullopt;
    const std::optional<QByteArray> legacy = propertyReply(connection, legacyCookie);
    if (name) {
        app.windowTitle = QString::fromUtf8(*name);
    } else if (legacy) {
        app.windowTitle = QString::fromLatin1(*legacy);
    }
    auto geometry = own(xcb_get_geometry_reply(connection, geometryCookie, nullptr));
    if (!geometry) return;
    auto origin = own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, geometry->root, 0, 0), nullptr));
    if (!origin) return;
    app.windowFrame = QRectF(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

}  // namespace

std::optional<X11WindowOwner> frontmostWindowOwner() {
    xcb_connection_t* connection = X11Connection::connection();
    if (!connection || xcb_connection_has_error(connection)) return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) return std::nullopt;
    xcb_window_t window = activeWindow(connection, screen->root);
    if (window == XCB_WINDOW_NONE) return std::nullopt;

    const xcb_atom_t pidAtom = knownAtom(connection, "_NET_WM_PID");
    // The focus may sit on a child of the client window (or, without a window manager, anywhere
    // inside it): climb to the first window that names its owner.
    for (int step = 0; step <= kMaximumAncestorSteps && window != XCB_WINDOW_NONE && window != screen->root; ++step) {
        X11WindowOwner owner = readOwner(connection, window, pidAtom);
        if (owner.processIdentifier || owner.className) {
            owner.window = window;
            return owner;
        }
        auto tree = own(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
        if (!tree) break;
        window = tree->parent;
    }
    return X11WindowOwner{};
}

std::optional<FocusedAppMetadata> frontmostApplicationMetadata() {
    const std::optional<X11WindowOwner> owner = frontmostWindowOwner();
    if (!owner) return std::nullopt;
    FocusedAppMetadata app;
    app.bundleIdentifier = owner->className;
    app.localizedName = owner->instanceName;
    app.processIdentifier = owner->processIdentifier.value_or(0);
    app.windowIdentifier = owner->window;
    xcb_connection_t* connection = X11Connection::connection();
    if (owner->window && connection && !xcb_connection_has_error(connection))
        readTitleAndFrame(connection, *owner->window, app);
    return app;
}

std::optional<qint32> frontmostProcessIdentifier() {
    const std::optional<X11WindowOwner> owner = frontmostWindowOwner();
    return owner ? owner->processIdentifier : std::nullopt;
}

}  // namespace quorvelle::X11FrontmostApplicationReader
