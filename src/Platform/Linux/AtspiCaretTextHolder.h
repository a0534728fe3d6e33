#pragma once

#include "Platform/Linux/AtspiElement.h"

#include <memory>

namespace quorvelle {

// Rich text kept in paragraphs (a web page's contenteditable holding <p>, mail composers built the
// same way): the focused element's own text is one object replacement character (U+FFFC) per
// paragraph, while the words and the caret live in the paragraph below. Gives the descendant that
// holds the caret, found through the element's hypertext links or else its children; the element
// itself when its text is its own or no descendant holds the caret. Main thread only.
std::shared_ptr<AtspiElement> caretTextHolder(std::shared_ptr<AtspiElement> element);

// A word processor's document that manages its descendants (Writer's) keeps its text in paragraphs,
// in its body or in the cells of its tables, and only the paragraph that holds the caret gives a caret
// offset. Gives that paragraph when it takes text; null when none says it holds the caret.
std::shared_ptr<AtspiElement> paragraphHoldingCaret(const AtspiElement& document);

}  // namespace quorvelle
