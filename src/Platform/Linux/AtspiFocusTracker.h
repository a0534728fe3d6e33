#pragma once

#include "Platform/Linux/AtspiElement.h"

namespace quorvelle {

// Remembers the object that most recently gained the keyboard focus, from AT-SPI's focus events,
// so that finding the focus does not mean walking a large window (a web page can hold thousands of
// objects). The events arrive through the GLib main context that Qt's event loop runs. Main thread only.
namespace AtspiFocusTracker {

// Starts listening; harmless to call again. False when the accessibility bus cannot be reached.
bool start();

// The last focused object, provided it belongs to that process and still has the focus. When that
// object is a container or a menu on the focus's way back to a field, the text element of the same
// application that had the focus before and still reports it; throws FocusedTargetInspectionError
// (focusedElementUnavailable) when there is none yet.
std::shared_ptr<AtspiElement> focusedObject(qint32 processIdentifier, AtspiOffsetUnit offsetUnit);

// A container or menu that holds the focus only on its way somewhere (never a place for text).
bool isFocusWaypoint(const AtspiElement& element);

// The bus name of the application the last focused object belongs to; empty when none.
QString focusedBusName();

// The same, matched by the application's bus name: no call to the bus daemon.
std::shared_ptr<AtspiElement> focusedObject(const QString& busName, AtspiOffsetUnit offsetUnit);

}  // namespace AtspiFocusTracker
}  // namespace quorvelle
