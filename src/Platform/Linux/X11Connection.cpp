#include "Platform/Linux/X11Connection.h"

#include <QGuiApplication>

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>

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

}  // namespace

Display* display() {
    if (Display* shared = qtDisplay()) return shared;
    return ownDisplay();
}

xcb_connection_t* connection() {
    Display* current = display();
    return current ? XGetXCBConnection(current) : nullptr;
}

}  // namespace quorvelle::X11Connection
