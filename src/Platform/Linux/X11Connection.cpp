#include "Platform/Linux/X11Connection.h"

#include <QGuiApplication>

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>

#include <unistd.h>

#include <atomic>

namespace quorvelle::X11Connection {

namespace {

Display* qtDisplay() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

Display* ownDisplay() {
    static Display* opened = XOpenDisplay(nullptr);
    return opened;
}

std::atomic<LossHandler> g_lossHandler = nullptr;
XIOErrorHandler g_earlierHandler = nullptr;

int connectionBroke(Display* broken) {
    qWarning("The connection to the X display %s broke", broken ? DisplayString(broken) : "");
    if (const LossHandler handler = g_lossHandler.load()) handler();
    // Xlib would call exit() once this returns.
    ::_exit(1);
}

}  // namespace

Display* display() {
    if (Display* shared = qtDisplay()) return shared;
    return ownDisplay();
}

xcb_connection_t* connection() {
    Display* current = display();
    return current ? XGetXCBConnection(current) : nullptr;
}

void setLossHandler(LossHandler handler) {
    const bool wasSet = g_lossHandler.exchange(handler) != nullptr;
    if (handler && !wasSet) {
        g_earlierHandler = XSetIOErrorHandler(&connectionBroke);
    } else if (!handler && wasSet) {
        XSetIOErrorHandler(g_earlierHandler);
    }
}

}  // namespace quorvelle::X11Connection
