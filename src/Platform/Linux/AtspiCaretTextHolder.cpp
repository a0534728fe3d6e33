#include "Platform/Linux/AtspiCaretTextHolder.h"

#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/AtspiElementKind.h"
#include "Platform/Linux/GObjectRef.h"

#include <atspi/atspi.h>

#include <algorithm>

namespace quorvelle {

namespace {

constexpr QChar kObjectReplacement(0xFFFC);
// Paragraphs nest only a few deep (a quote in a list item); a page can hold many of them side by side.
constexpr int kDepthLimit = 6;
constexpr int kChildLimit = 256;

QString textSpan(AtspiText* text, gint start, gint end, AtspiCallError& error) {
    gchar* contents = atspi_text_get_text(text, start, end, error.slot());
    const QString value = QString::fromUtf8(contents ? contents : "");
    g_free(contents);
    return value;
}

// The whole text is embedded objects: nothing of it can take the words itself. An ordinary field
// costs one short read beyond the count.
bool holdsOnlyEmbeddedObjects(AtspiText* text, gint length) {
    AtspiCallError error;
    if (length <= 0 || textSpan(text, 0, 1, error) != QString(kObjectReplacement) || error.failed()) return false;
    const QString value = textSpan(text, 0, length, error);
    return !error.failed() &&
           std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c == kObjectReplacement; });
}

gint caretOffset(AtspiAccessible* accessible) {
    GObjectRef<AtspiText> text(atspi_accessible_get_text_iface(accessible));
    if (!text) return -1;
    AtspiCallError error;
    const gint caret = atspi_text_get_caret_offset(text.get(), error.slot());
    return error.failed() ? -1 : caret;
}

// The object behind the embedded character at the caret (the one before it when the caret ends the text).
AtspiAccessible* linkedAtCaret(AtspiAccessible* accessible, gint caret, gint length) {
    GObjectRef<AtspiHypertext> hypertext(atspi_accessible_get_hypertext_iface(accessible));
    if (!hypertext || caret < 0) return nullptr;
    AtspiCallError error;
    const gint index = atspi_hypertext_get_link_index(hypertext.get(), std::min(caret, length - 1), error.slot());
    if (error.failed() || index < 0) return nullptr;
    GObjectRef<AtspiHyperlink> link(atspi_hypertext_get_link(hypertext.get(), index, error.slot()));
    if (error.failed() || !link) return nullptr;
    AtspiAccessible* object = atspi_hyperlink_get_object(link.get(), 0, error.slot());
    // Only a paragraph that says it holds the caret is taken for it.
    if (object && (error.failed() || caretOffset(object) < 0)) {
        g_object_unref(object);
        return nullptr;
    }
    return object;
}

// A child that reports a caret of its own: the toolkits give -1 to a paragraph the caret is not in.
AtspiAccessible* childWithCaret(AtspiAccessible* accessible) {
    AtspiCallError error;
    const gint count = std::min(atspi_accessible_get_child_count(accessible, error.slot()), kChildLimit);
    for (gint index = 0; !error.failed() && index < count; ++index) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(accessible, index, error.slot());
        if (!child) continue;
        if (caretOffset(child) >= 0) return child;
        g_object_unref(child);
    }
    return nullptr;
}

// Tables hold cells, cells hold paragraphs (and tables again, a table nested in a cell).
constexpr int kDocumentDepthLimit = 4;

std::shared_ptr<AtspiElement> paragraphHoldingCaret(AtspiAccessible* container, AtspiOffsetUnit unit, int depth) {
    AtspiCallError error;
    const gint count = std::min(atspi_accessible_get_child_count(container, error.slot()), kChildLimit);
    for (gint index = 0; !error.failed() && index < count; ++index) {
        auto child = adoptAtspiElement(atspi_accessible_get_child_at_index(container, index, error.slot()), unit);
        if (!child) continue;
        if (caretOffset(child->accessible()) >= 0) {
            if (AtspiElementKind::takesText(*child)) return child;
            continue;
        }
        const auto role = AtspiRole(child->role(error.slot()));
        if (error.failed()) return nullptr;
        if (depth + 1 < kDocumentDepthLimit && (role == ATSPI_ROLE_TABLE || role == ATSPI_ROLE_TABLE_CELL)) {
            if (auto found = paragraphHoldingCaret(child->accessible(), unit, depth + 1)) return found;
        }
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<AtspiElement> paragraphHoldingCaret(const AtspiElement& document) {
    return paragraphHoldingCaret(document.accessible(), document.offsetUnit(), 0);
}

std::shared_ptr<AtspiElement> caretTextHolder(std::shared_ptr<AtspiElement> element) {
    for (int depth = 0; element && depth < kDepthLimit; ++depth) {
        AtspiAccessible* accessible = element->accessible();
        GObjectRef<AtspiText> text(atspi_accessible_get_text_iface(accessible));
        if (!text) break;
        AtspiCallError error;
        const gint length = atspi_text_get_character_count(text.get(), error.slot());
        if (error.failed() || !holdsOnlyEmbeddedObjects(text.get(), length)) break;
        AtspiAccessible* holder = linkedAtCaret(accessible, caretOffset(accessible), length);
        if (!holder) holder = childWithCaret(accessible);
        if (!holder) break;
        element = adoptAtspiElement(holder, element->offsetUnit());
    }
    return element;
}

}  // namespace quorvelle
