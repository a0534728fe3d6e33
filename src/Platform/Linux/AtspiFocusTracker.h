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

// The process of the application whose object gained the focus last; none before any did, or
// when the bus cannot tell.
std::optional<qint32> processOfNewestGain();

// The application that last gave an object the focus has taken it away since (the hot key's grab,
// a menu), rather than handing it to another application, and the front window is still its own
// (`frontProcess`, the process that owns it): a window the accessibility bus knows nothing of (a
// terminal) gains the focus without a word there, and the focus is not on its way back then.
bool isFocusAway(std::optional<qint32> frontProcess);

// Handles the focus events that already arrived: libdbus holds them back behind our own calls into
// other applications until the event loop runs again, and the hot key's press is answered before it
// does. With a wait, also those arriving until one focus event came or the wait is over.
void catchUp(std::chrono::milliseconds wait = std::chrono::milliseconds(0));

// Takes an object that its application's tree names as holding the focus for the last to have gained
// it, while no focus event has come at all: one that held the focus before we listened gave none.
void learnFocus(AtspiAccessible* focused);

// How an object belongs to the application asked about.
struct ApplicationPart {
    AtspiOffsetUnit offsetUnit;  // of the toolkit that drew it
    // Drawn by the process that owns the window, not by a helper process of the application.
    bool ownsWindow = true;
    // Its toolkit says `showing` of the objects below its windows (GTK 4 does not).
    bool reportsShowing = true;
};
// Whether an object belongs to the application asked about: drawn by its window's process, or by a
// helper process of the same application.
using Membership = std::function<std::optional<ApplicationPart>(AtspiAccessible*)>;

// Finds the object that holds the focus inside a container of the application (content another
// process draws into it, whose own focus events may never reach us); null when there is none.
using LookInside = std::function<std::shared_ptr<AtspiElement>(const std::shared_ptr<AtspiElement>& container)>;

// Which object of the application holds the focus, as the focus events tell it.
struct FocusReading {
    // Null when the events name none of the application's objects that holds it.
    std::shared_ptr<AtspiElement> focused;
    // A container or a menu of the application took the focus last and no text element of it still
    // reports the focus: the focus is on its way back to a field, and nothing holds it yet.
    bool onItsWay = false;
};

// Finds, in a window of the application, the element that holds the focus without the focus events
// naming it; null when there is none.
using SearchWindow = std::function<std::shared_ptr<AtspiElement>(const std::shared_ptr<AtspiElement>& window)>;

// Handles the events that arrived (within `wait`, as catchUp does), then reads the focus: the last
// focused object, provided it belongs to the application and still has the focus (a helper
// process's object only while it says so itself). When that object is a container or a menu on the
// focus's way back to a field, what `lookInside` finds in it, else the text element of the same
// application that had the focus before and still reports it. A window's pane with no such element
// leaves it to `searchWindow` in the pane's window. An object that is not shown and takes no text
// (a cell of a hidden list, which Kate names again and again) gives way to a shown text element of
// its window: the newest one the events named before, while it claims or can take the focus (Kate's
// editor drops its focused state while the hot key holds the keyboard), else one that claims the
// focus, else what `searchWindow` finds. An object that no longer claims the focus while its window is
// still active gives way to what `searchWindow` finds claiming it there (the events of that move are
// still on their way). A focus event handled while the objects were read starts the reading over.
// Objects of other applications that only their loss of the focus named are passed over: the window
// left behind may tell of that loss after the window in front told of its gain.
FocusReading readFocus(const Membership& belongs, const LookInside& lookInside = {},
                       const SearchWindow& searchWindow = {},
                       std::chrono::milliseconds wait = std::chrono::milliseconds(0));

// The object readFocus finds for the objects of one process; throws FocusedTargetInspectionError
// (focusedElementUnavailable) while the focus is on its way back.
std::shared_ptr<AtspiElement> focusedObject(qint32 processIdentifier, AtspiOffsetUnit offsetUnit);

}  // namespace AtspiFocusTracker
}  // namespace quorvelle
