#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace quorvelle {

// The application whose window is in front, as the window manager reports it.
struct X11WindowOwner {
    std::optional<qint32> processIdentifier;  // _NET_WM_PID
    std::optional<QString> instanceName;      // WM_CLASS, first part
    std::optional<QString> className;         // WM_CLASS, second part
    std::optional<quint32> window;            // the window that names them

    friend bool operator==(const X11WindowOwner&, const X11WindowOwner&) = default;
};

// Reads the active window from the EWMH root property, falling back to the X input focus when no
// window manager maintains it, and the owner from that window or its nearest ancestor that names one.
// Uses only reply-checked requests, so a window that vanishes meanwhile is an absent answer.
namespace X11FrontmostApplicationReader {

std::optional<X11WindowOwner> frontmostWindowOwner();

// The front application as the delivery logic describes it: WM_CLASS's class stands where a bundle
// identifier would, its instance name as the application's name, and the window. None without an
// active window.
std::optional<FocusedAppMetadata> frontmostApplicationMetadata();

// None when no window is active or the active one names no process.
std::optional<qint32> frontmostProcessIdentifier();

}  // namespace X11FrontmostApplicationReader
}  // namespace quorvelle
