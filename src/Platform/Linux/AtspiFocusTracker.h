#pragma once

#include "Platform/Linux/AtspiElement.h"

#include <chrono>
#include <functional>
#include <optional>

namespace quorvelle {

// Remembers the object that most recently gained the keyboard focus, from AT-SPI's focus events (or
// lost it, when we never saw it gain it), so that finding the focus does not mean walking a large
// window (a web page can hold thousands of objects). The events arrive through the GLib main context
// that Qt's event loop runs. Main thread only.
namespace AtspiFocusTracker {

// Starts listening; harmless to call again. False when the accessibility bus cannot be reached.
bool start();

// Told of every object gaining the focus, once the tracker has taken the event in. Must not throw.
using FocusGainObserver = std::function<void()>;
void observeGains(FocusGainObserver observer);

// The application that last gave an object the focus has taken it away since (the hot key's grab,
// a menu), rather than handing it to another application.
bool isFocusAway();

// Handles the focus events that already arrived: libdbus holds them back behind our own calls into
// other applications until the event loop runs again, and the hot key's press is answered before it
// does. With a wait, also those arriving until one focus event came or the wait is over.
void catchUp(std::chrono::milliseconds wait = std::chrono::milliseconds(0));

// How an object belongs to the application asked about.
struct ApplicationPart {
    AtspiOffsetUnit offsetUnit;  // of the toolkit that drew it
    // Drawn by the process that owns the window, not by a helper process of the application.
    bool ownsWindow = true;
};
// Whether an object belongs to the application asked about: drawn by its window's process, or by a
// helper process of the same application.
using Membership = std::function<std::optional<ApplicationPart>(AtspiAccessible*)>;

// The last focused object, provided it belongs to the application and still has the focus (a helper
// process's object only while it says so itself). When that object is a container or a menu on the
// focus's way back to a field, the text element of the same application that had the focus before
// and still reports it; throws FocusedTargetInspectionError (focusedElementUnavailable) when there
// is none yet. `newest`, from newestObject() just before, spares reading that object's facts again.
std::shared_ptr<AtspiElement> focusedObject(const Membership& belongs,
                                            const std::shared_ptr<AtspiElement>& newest = nullptr);

// The same for the objects of one process.
std::shared_ptr<AtspiElement> focusedObject(qint32 processIdentifier, AtspiOffsetUnit offsetUnit);

// The object the focus was last seen on, whatever its states, when it belongs to the application.
std::shared_ptr<AtspiElement> newestObject(const Membership& belongs);

// A container or menu that holds the focus only on its way somewhere (never a place for text).
bool isFocusWaypoint(const AtspiElement& element);

// An element text goes into: editable, a password field or a terminal.
bool takesText(const AtspiElement& element);

}  // namespace AtspiFocusTracker
}  // namespace quorvelle
