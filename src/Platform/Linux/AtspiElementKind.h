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

// A root pane or a panel: a plain container of a window (not a menu, not a document).
bool isPane(const AtspiElement& element);

// A spreadsheet's sheet: an editable table that makes up its cells on request. A paste goes into the
// selected cell; the sheet itself has no text to read.
bool isSheet(const AtspiElement& element);

}  // namespace AtspiElementKind
}  // namespace quorvelle
