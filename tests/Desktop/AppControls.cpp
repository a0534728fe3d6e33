#include "AppControls.h"

#include "AppWindows.h"
#include "TestEventLoop.h"

#include <QProcess>
#include <QSize>

#include <atspi/atspi.h>

#include <functional>

namespace quorvelle::test {

namespace {

using Object = std::shared_ptr<AtspiAccessible>;

Object adopt(AtspiAccessible* accessible) {
    return Object(accessible, [](AtspiAccessible* a) {
        if (a) g_object_unref(a);
    });
}

QString owned(gchar* text) {
    const QString result = QString::fromUtf8(text);
    g_free(text);
    return result;
}

bool has(AtspiAccessible* accessible, AtspiStateType state) {
    AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
    const bool result = states && atspi_state_set_contains(states, state);
    if (states) g_object_unref(states);
    return result;
}

QSize sizeOf(AtspiAccessible* accessible) {
    AtspiRect* box = atspi_component_get_extents(ATSPI_COMPONENT(accessible), ATSPI_COORD_TYPE_SCREEN, nullptr);
    const QSize size = box ? QSize(box->width, box->height) : QSize();
    g_free(box);
    return size;
}

Object application(qint64 processId) {
    atspi_init();
    const Object desktop = adopt(atspi_get_desktop(0));
    for (int i = 0; desktop && i < atspi_accessible_get_child_count(desktop.get(), nullptr); ++i) {
        const Object app = adopt(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
        if (app && atspi_accessible_get_process_id(app.get(), nullptr) == guint(processId)) return app;
    }
    return {};
}

}  // namespace

QList<AppControl> appControls(qint64 processId, int width) {
    QList<AppControl> controls;
    const Object app = application(processId);
    if (!app) return controls;
    // Hidden items have no area and no visible state; items scrolled out of view keep their area.
    const std::function<void(AtspiAccessible*)> walk = [&](AtspiAccessible* parent) {
        for (int i = 0; i < atspi_accessible_get_child_count(parent, nullptr); ++i) {
            const Object child = adopt(atspi_accessible_get_child_at_index(parent, i, nullptr));
            if (!child || (!has(child.get(), ATSPI_STATE_VISIBLE) && sizeOf(child.get()).isEmpty())) continue;
            controls.append({child, owned(atspi_accessible_get_role_name(child.get(), nullptr)),
                             owned(atspi_accessible_get_name(child.get(), nullptr)),
                             has(child.get(), ATSPI_STATE_SELECTED), has(child.get(), ATSPI_STATE_ENABLED)});
            walk(child.get());
        }
    };
    for (int i = 0; i < atspi_accessible_get_child_count(app.get(), nullptr); ++i) {
        const Object window = adopt(atspi_accessible_get_child_at_index(app.get(), i, nullptr));
        if (window && has(window.get(), ATSPI_STATE_SHOWING) && sizeOf(window.get()).width() == width)
            walk(window.get());
    }
    return controls;
}

bool pressAppControl(qint64 processId, int width, const QString& role, const QString& name, int timeoutMs) {
    Object found;
    waitUntil(
        [&] {
            for (const AppControl& control : appControls(processId, width))
                if (control.role == role && control.name == name) found = control.object;
            return found != nullptr;
        },
        timeoutMs);
    if (!found) return false;
    // Qt Quick's buttons take their press action without clicking: the focus action and the
    // keyboard's Return work them as a keyboard user does, in the window brought to the front.
    AtspiAction* action = atspi_accessible_get_action_iface(found.get());
    if (!action) return false;
    bool focused = false;
    for (int i = 0; !focused && i < atspi_action_get_n_actions(action, nullptr); ++i)
        if (owned(atspi_action_get_action_name(action, i, nullptr)) == QLatin1String("SetFocus"))
            focused = atspi_action_do_action(action, i, nullptr);
    g_object_unref(action);
    if (!focused || !waitUntil([&] { return has(found.get(), ATSPI_STATE_FOCUSED); }, 5000)) return false;
    for (const DesktopWindow& window : windowsOfClass(QStringLiteral("Quorvelle")))
        if (window.viewable && !window.inTray && window.geometry.width() == width)
            QProcess::execute(QStringLiteral("xdotool"),
                              {QStringLiteral("windowactivate"), QString::number(window.id)});
    if (!waitUntil([&] { return activeWindowProcess() == processId; }, 5000)) return false;
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
                                                         QStringLiteral("Return")}) == 0;
}

bool openTrayPanel(qint64 processId) {
    const auto panelShows = [&] { return !appControls(processId, 360).isEmpty(); };
    return waitUntil(
        [&] {
            if (panelShows()) return true;
            for (const DesktopWindow& window : windowsOfClass(QStringLiteral("Quorvelle")))
                if (window.inTray)
                    QProcess::execute(QStringLiteral("xdotool"),
                                      {QStringLiteral("mousemove"), QString::number(window.screenGeometry.center().x()),
                                       QString::number(window.screenGeometry.center().y()), QStringLiteral("click"),
                                       QStringLiteral("1")});
            return waitUntil(panelShows, 2000);
        },
        20000);
}

}  // namespace quorvelle::test
