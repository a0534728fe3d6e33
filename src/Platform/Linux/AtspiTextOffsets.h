#pragma once

#include <QString>

namespace quorvelle {

// Qt counts AT-SPI text offsets in UTF-16 code units; GTK and most other toolkits count code points.
enum class AtspiOffsetUnit { utf16CodeUnits, codePoints };

AtspiOffsetUnit offsetUnitForToolkit(const QString& toolkitName);

// Conversions for offsets into `text`. An offset past the end keeps its excess, so that a caller's
// bounds check still sees it as out of range.
qsizetype utf16OffsetFromToolkit(const QString& text, qsizetype offset, AtspiOffsetUnit unit);
qsizetype toolkitOffsetFromUtf16(const QString& text, qsizetype offset, AtspiOffsetUnit unit);

}  // namespace quorvelle
