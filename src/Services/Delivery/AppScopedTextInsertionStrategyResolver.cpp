#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"

#include "Services/Delivery/DirectWriteCommitment.h"
#include "Services/Delivery/FocusedTargetTables.h"

#include <algorithm>

namespace quorvelle {

namespace {

bool hasWebContentRole(const FocusedElementMetadata& element) {
    const auto& roles = FocusedTargetTables::webContentRoles;
    return element.role && std::find(roles.begin(), roles.end(), *element.role) != roles.end();
}

}  // namespace

TextInsertionStrategy AppScopedTextInsertionStrategyResolver::resolve(const FocusedTargetSnapshot& target) const {
    const FocusedElementMetadata& element = target.element;
    // The session refuses these before recording; the resolver never sends them to the clipboard.
    if (!element.isEnabled || element.isSecure()) return TextInsertionStrategy::accessibilityValueWrite;

    const bool pasteCandidate = element.isClipboardPasteCandidate();
    const bool terminalLike = target.terminalLikeReason().has_value();
    if (pasteCandidate &&
        (terminalLike || target.prefersClipboardPaste() || hasWebContentRole(element) || !keepsDirectWrites(target))) {
        return TextInsertionStrategy::clipboardPaste;
    }
    if (element.supportsValueWrite && (element.hasTextInputRole() || element.isEditable)) {
        return TextInsertionStrategy::accessibilityValueWrite;
    }
    return pasteCandidate ? TextInsertionStrategy::clipboardPaste : TextInsertionStrategy::accessibilityValueWrite;
}

}  // namespace quorvelle
