#pragma once

namespace quorvelle {

// How a transcript reaches the target: written into the element's value, or pasted.
enum class TextInsertionStrategy { accessibilityValueWrite, clipboardPaste };

}  // namespace quorvelle
