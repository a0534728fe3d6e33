#pragma once

#include "Platform/Linux/AtspiElement.h"

#include <atspi/atspi.h>

namespace quorvelle {

// What an object's states and role say of its part in the focus, asked by the walk through a window
// and by the focus events' reading alike. Each answer is read from the element's remembered facts.
namespace AtspiElementKind {

bool hasState(const AtspiElement& element, AtspiStateType state);

// A container or menu that holds the focus only on its way somewhere (never a place for text).
bool isFocusWaypoint(const AtspiElement& element);

// An element text goes into: editable, a password field or a terminal.
bool takesText(const AtspiElement& element);

}  // namespace AtspiElementKind
}  // namespace quorvelle
