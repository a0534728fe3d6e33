#include "Platform/Linux/AtspiTextElementAccessor.h"

#include "Platform/Linux/AccessibilityBus.h"
#include "Platform/Linux/AtspiCaretTextHolder.h"
#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/AtspiElement.h"
#include "Platform/Linux/GObjectRef.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/Delivery/TextInsertionError.h"

#include <atspi/atspi.h>

#include <utility>

namespace quorvelle {

namespace {

[[noreturn]] void fail(TextInsertionError::Case errorCase) {
    throw TextInsertionError(errorCase);
}

// A call the element did not answer: with the desktop's accessibility switched off that is the
// reason, and the one the user can act on.
[[noreturn]] void failedCall(TextInsertionError::Case errorCase) {
    if (!AccessibilityBus::isEnabled()) fail(TextInsertionError::Case::accessibilityPermissionMissing);
    fail(errorCase);
}

// The element whose text the words join: the paragraph holding the caret where the element's own
// text is only embedded paragraphs, so that the leading space and the checks see the real words.
std::shared_ptr<AtspiElement> resolve(const AccessibilityTextElementAccessing::Handle& handle) {
    auto element = std::dynamic_pointer_cast<AtspiElement>(elementOf(handle));
    if (!element) fail(TextInsertionError::Case::missingTargetReference);
    if (!AtspiConnection::ensureInitialised()) fail(TextInsertionError::Case::accessibilityPermissionMissing);
    return caretTextHolder(std::move(element));
}

bool isPasswordField(const AtspiElement& element) {
    AtspiCallError error;
    return element.role(error.slot()) == ATSPI_ROLE_PASSWORD_TEXT;
}

// Reads the whole text; errors are the caller's to map. `whole`, when given, tells whether what came
// back is as long as the count the element gave for it.
std::optional<QString> readText(AtspiText* text, AtspiCallError& error, AtspiOffsetUnit unit = {},
                                bool* whole = nullptr) {
    const gint count = atspi_text_get_character_count(text, error.slot());
    if (error.failed()) return std::nullopt;
    gchar* contents = atspi_text_get_text(text, 0, count, error.slot());
    if (error.failed()) {
        g_free(contents);
        return std::nullopt;
    }
    QString value = QString::fromUtf8(contents ? contents : "");
    g_free(contents);
    if (whole) *whole = toolkitOffsetFromUtf16(value, value.size(), unit) >= count;
    return value;
}

// The element's text where that is its content. Toolkits answer "" or mask characters for a
// password field; neither is its content.
GObjectRef<AtspiText> contentText(const AtspiElement& element) {
    if (isPasswordField(element)) return GObjectRef<AtspiText>();
    return GObjectRef<AtspiText>(atspi_accessible_get_text_iface(element.accessible()));
}

QString wholeText(const AtspiElement& element, AtspiText* text, bool* whole = nullptr) {
    AtspiCallError error;
    std::optional<QString> value = readText(text, error, element.offsetUnit(), whole);
    if (!value) failedCall(TextInsertionError::Case::unsupportedTarget);
    return *value;
}

// Our ranges count UTF-16 units; a toolkit that counts otherwise gets them converted over its text.
std::pair<qsizetype, qsizetype> toolkitRange(const AtspiElement& element, AtspiText* text, TextRange range,
                                             AtspiCallError& error) {
    if (element.offsetUnit() == AtspiOffsetUnit::utf16CodeUnits) return {range.location, range.end()};
    const std::optional<QString> value = readText(text, error);
    if (!value) failedCall(TextInsertionError::Case::writeFailed);
    return {toolkitOffsetFromUtf16(*value, range.location, element.offsetUnit()),
            toolkitOffsetFromUtf16(*value, range.end(), element.offsetUnit())};
}

// The selection, or the caret as an empty range, converted over `value` (read here when not given)
// where the toolkit counts otherwise.
std::optional<TextRange> selectionOrCaret(const AtspiElement& element, AtspiText* text, std::optional<QString> value) {
    AtspiCallError error;
    qsizetype start = -1;
    qsizetype end = -1;
    const gint selections = atspi_text_get_n_selections(text, error.slot());
    if (error.failed()) failedCall(TextInsertionError::Case::unsupportedTarget);
    if (selections > 0) {
        AtspiRange* selection = atspi_text_get_selection(text, 0, error.slot());
        if (error.failed() || !selection) {
            g_free(selection);
            failedCall(TextInsertionError::Case::unsupportedTarget);
        }
        start = qMin(selection->start_offset, selection->end_offset);
        end = qMax(selection->start_offset, selection->end_offset);
        g_free(selection);
    } else {
        const gint caret = atspi_text_get_caret_offset(text, error.slot());
        if (error.failed()) failedCall(TextInsertionError::Case::unsupportedTarget);
        if (caret < 0) return std::nullopt;
        start = end = caret;
    }
    if (element.offsetUnit() != AtspiOffsetUnit::utf16CodeUnits) {
        if (!value) value = readText(text, error);
        if (!value) failedCall(TextInsertionError::Case::unsupportedTarget);
        start = utf16OffsetFromToolkit(*value, start, element.offsetUnit());
        end = utf16OffsetFromToolkit(*value, end, element.offsetUnit());
    }
    return TextRange{start, end - start};
}

}  // namespace

std::optional<QString> AtspiTextElementAccessor::copyStringAttribute(const Handle& handle) {
    const auto element = resolve(handle);
    const GObjectRef<AtspiText> text = contentText(*element);
    if (!text) return std::nullopt;
    return wholeText(*element, text.get());
}

AccessibilityTextElementAccessing::TextAndRange AtspiTextElementAccessor::copyStringAsRead(const Handle& handle) {
    const auto element = resolve(handle);
    const GObjectRef<AtspiText> text = contentText(*element);
    if (!text) return {};
    TextAndRange read;
    read.value = wholeText(*element, text.get(), &read.whole);
    return read;
}

std::optional<TextRange> AtspiTextElementAccessor::copyRangeAttribute(const Handle& handle) {
    const auto element = resolve(handle);
    GObjectRef<AtspiText> text(atspi_accessible_get_text_iface(element->accessible()));
    if (!text) return std::nullopt;
    return selectionOrCaret(*element, text.get(), std::nullopt);
}

AccessibilityTextElementAccessing::TextAndRange AtspiTextElementAccessor::copyStringAndRangeAttributes(
    const Handle& handle) {
    const auto element = resolve(handle);
    const GObjectRef<AtspiText> text = contentText(*element);
    if (!text) return {};
    bool whole = true;
    QString value = wholeText(*element, text.get(), &whole);
    const std::optional<TextRange> range = selectionOrCaret(*element, text.get(), value);
    return {std::move(value), range, whole};
}

void AtspiTextElementAccessor::setStringAttribute(const Handle& handle, const QString& value) {
    const auto element = resolve(handle);
    GObjectRef<AtspiEditableText> editable(atspi_accessible_get_editable_text_iface(element->accessible()));
    if (!editable) fail(TextInsertionError::Case::writeFailed);
    AtspiCallError error;
    const gboolean done =
        atspi_editable_text_set_text_contents(editable.get(), value.toUtf8().constData(), error.slot());
    if (!done || error.failed()) failedCall(TextInsertionError::Case::writeFailed);
}

void AtspiTextElementAccessor::replaceText(const Handle& handle, TextRange range, const QString& replacement) {
    const auto element = resolve(handle);
    GObjectRef<AtspiEditableText> editable(atspi_accessible_get_editable_text_iface(element->accessible()));
    GObjectRef<AtspiText> text(atspi_accessible_get_text_iface(element->accessible()));
    if (!editable || !text) fail(TextInsertionError::Case::writeFailed);
    AtspiCallError error;
    const auto [start, end] = toolkitRange(*element, text.get(), range, error);
    // Inserting does not replace a selection: it is deleted first.
    if (end > start) {
        const gboolean deleted = atspi_editable_text_delete_text(editable.get(), static_cast<gint>(start),
                                                                 static_cast<gint>(end), error.slot());
        if (!deleted || error.failed()) failedCall(TextInsertionError::Case::writeFailed);
    }
    // Qt counts the length in UTF-16 units, the ATK toolkits (GTK, Firefox, LibreOffice) in UTF-8 bytes.
    const QByteArray utf8 = replacement.toUtf8();
    const qsizetype length =
        element->offsetUnit() == AtspiOffsetUnit::utf16CodeUnits ? replacement.size() : utf8.size();
    const gboolean inserted = atspi_editable_text_insert_text(
        editable.get(), static_cast<gint>(start), utf8.constData(), static_cast<gint>(length), error.slot());
    if (!inserted || error.failed()) failedCall(TextInsertionError::Case::writeFailed);
}

void AtspiTextElementAccessor::setRangeAttribute(const Handle& handle, TextRange range) {
    const auto element = resolve(handle);
    GObjectRef<AtspiText> text(atspi_accessible_get_text_iface(element->accessible()));
    if (!text) fail(TextInsertionError::Case::writeFailed);
    AtspiCallError error;
    const auto [start, end] = toolkitRange(*element, text.get(), range, error);
    gboolean done = FALSE;
    if (range.length == 0) {
        done = atspi_text_set_caret_offset(text.get(), static_cast<gint>(start), error.slot());
    } else {
        const gint selections = atspi_text_get_n_selections(text.get(), error.slot());
        done = selections > 0 ? atspi_text_set_selection(text.get(), 0, static_cast<gint>(start),
                                                         static_cast<gint>(end), error.slot())
                              : atspi_text_add_selection(text.get(), static_cast<gint>(start), static_cast<gint>(end),
                                                         error.slot());
    }
    if (!done || error.failed()) failedCall(TextInsertionError::Case::writeFailed);
}

}  // namespace quorvelle
