#include "AppWindows.h"

#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Platform/Linux/X11Connection.h"
#include "Platform/Linux/X11FrontmostApplicationReader.h"
#include "Services/Delivery/DesktopInput.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "TestEventLoop.h"

#include <QTimer>

#include <atspi/atspi.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace quorvelle::test {

namespace {

template <typename T>
std::unique_ptr<T, decltype(&std::free)> own(T* reply) {
    return {reply, &std::free};
}

QByteArray property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t atom) {
    auto reply = own(xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom, XCB_ATOM_ANY, 0, 1024), nullptr));
    if (!reply) return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

// Frames of the window manager and the tray's panel nest a few levels deep.
void collect(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, int depth, bool inTray,
             const QByteArray& className, QList<DesktopWindow>& found) {
    auto tree = own(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree) return;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t child = children[i];
        const QList<QByteArray> wmClass = property(c, child, XCB_ATOM_WM_CLASS).split('\0');
        auto geometry = own(xcb_get_geometry_reply(c, xcb_get_geometry(c, child), nullptr));
        if (wmClass.value(1) == className && geometry) {
            DesktopWindow entry;
            entry.id = child;
            entry.title = QString::fromUtf8(property(c, child, XCB_ATOM_WM_NAME));
            entry.inTray = inTray;
            auto attributes = own(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, child), nullptr));
            entry.viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            entry.geometry = QRect(geometry->x, geometry->y, geometry->width, geometry->height);
            auto onScreen =
                own(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, child, root, 0, 0), nullptr));
            if (onScreen)
                entry.screenGeometry = QRect(onScreen->dst_x, onScreen->dst_y, geometry->width, geometry->height);
            found << entry;
        }
        const bool trayPanel = wmClass.value(0) == "panel" && wmClass.value(1) == "trayer";
        if (depth > 0) collect(c, root, child, depth - 1, inTray || trayPanel, className, found);
    }
}

}  // namespace

QList<DesktopWindow> windowsOfClass(const QString& className, const QString& display) {
    QList<DesktopWindow> found;
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> other(
        display.isEmpty() ? nullptr : xcb_connect(display.toLatin1().constData(), nullptr), &xcb_disconnect);
    xcb_connection_t* c = other ? other.get() : X11Connection::connection();
    if (!c || xcb_connection_has_error(c)) return found;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    collect(c, root, root, 4, false, className.toUtf8(), found);
    return found;
}

std::optional<DesktopWindow> viewableWindow(const QString& className, const QSize& size) {
    for (const DesktopWindow& window : windowsOfClass(className)) {
        if (window.viewable && window.geometry.size() == size) return window;
    }
    return std::nullopt;
}

std::optional<qint64> activeWindowProcess() {
    const auto owner = X11FrontmostApplicationReader::frontmostWindowOwner();
    if (!owner || !owner->processIdentifier) return std::nullopt;
    return *owner->processIdentifier;
}

bool bringToFront(qint64 processId, int timeoutMs) {
    static LinuxTextDeliveryServices services;
    const auto inFront = [&] {
        try {
            const FocusedTargetSnapshot target = services.inspector().inspect();
            return target.app.processIdentifier == processId && (target.isWindowOnly || target.element.isEditable);
        } catch (const FocusedTargetInspectionError&) {
            return false;
        }
    };
    // Asked again only while it is not in front: a request the window manager carries out late would
    // take the focus from whatever the test opens next (a popover closes on it).
    return waitUntil(
        [&] {
            if (inFront()) return true;
            activateWindowOf(processId);
            return false;
        },
        timeoutMs);
}

namespace {

// One call to an application, asked again while it does not answer in time: this process waits a
// quarter of a second for each answer, and a busy app making a window may take longer.
template <typename Call>
auto patiently(Call call) {
    AtspiCallError error;
    for (int attempt = 1;; ++attempt) {
        auto value = call(error.slot());
        if (!error.timedOut() || attempt == 40) return value;
    }
}

}  // namespace

AnnouncementListener::AnnouncementListener(qint64 processId, std::chrono::milliseconds readingDelay)
    : m_processId(processId), m_readingDelay(readingDelay) {
    atspi_init();
    m_listener = atspi_event_listener_new(&AnnouncementListener::onShowing, this, nullptr);
    atspi_event_listener_register(m_listener, "object:state-changed:showing", nullptr);
}

AnnouncementListener::~AnnouncementListener() {
    atspi_event_listener_deregister(m_listener, "object:state-changed:showing", nullptr);
    g_object_unref(m_listener);
    for (AtspiAccessible* source : std::as_const(m_unread))
        g_object_unref(source);
}

void AnnouncementListener::onShowing(AtspiEvent* event, void* self) {
    auto* listener = static_cast<AnnouncementListener*>(self);
    AtspiAccessible* source = event->source;
    if (event->detail1 == 1 && source && patiently([&](GError** error) {
                                             return atspi_accessible_get_process_id(source, error);
                                         }) == guint(listener->m_processId) &&
        patiently([&](GError** error) { return atspi_accessible_get_role(source, error); }) ==
            ATSPI_ROLE_NOTIFICATION) {
        if (listener->m_readingDelay.count() > 0) {
            listener->m_unread << ATSPI_ACCESSIBLE(g_object_ref(source));
            // Timers of one length fire in the order they were started.
            QTimer::singleShot(listener->m_readingDelay, &listener->m_reading,
                               [listener] { listener->read(listener->m_unread.takeFirst()); });
        } else {
            listener->read(ATSPI_ACCESSIBLE(g_object_ref(source)));
        }
    }
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

void AnnouncementListener::read(AtspiAccessible* source) {
    const auto text = [](gchar* raw) {
        const QString value = QString::fromUtf8(raw);
        g_free(raw);
        return value;
    };
    // The words as the process has them now, not as an earlier read left them in the cache; the
    // name and the description are two reads, between which a later announcement may come, so
    // they are read until two reads agree.
    const auto words = [&] {
        atspi_accessible_clear_cache(source);
        const QString name = text(patiently([&](GError** error) { return atspi_accessible_get_name(source, error); }));
        return name + QStringLiteral(": ") +
               text(patiently([&](GError** error) { return atspi_accessible_get_description(source, error); }));
    };
    QString heard = words();
    for (int read = 0; read < 10; ++read) {
        const QString again = words();
        if (again == heard) break;
        heard = again;
    }
    m_heard << heard;
    g_object_unref(source);
}

}  // namespace quorvelle::test
