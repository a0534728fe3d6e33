#include "Platform/Linux/AtspiTextOffsets.h"

#include <limits>

namespace quorvelle {

namespace {

struct TextPosition {
    qsizetype units = 0;
    qsizetype points = 0;
};

// Steps through `text` a character at a time until either limit is reached or the text ends.
TextPosition advance(const QString& text, qsizetype unitLimit, qsizetype pointLimit) {
    TextPosition position;
    while (position.units < unitLimit && position.points < pointLimit && position.units < text.size()) {
        const bool pair = text.at(position.units).isHighSurrogate() && position.units + 1 < text.size() &&
                          text.at(position.units + 1).isLowSurrogate();
        position.units += pair ? 2 : 1;
        ++position.points;
    }
    return position;
}

constexpr qsizetype kNoLimit = std::numeric_limits<qsizetype>::max();

}  // namespace

AtspiOffsetUnit offsetUnitForToolkit(const QString& toolkitName) {
    return toolkitName.compare(QLatin1String("Qt"), Qt::CaseInsensitive) == 0 ? AtspiOffsetUnit::utf16CodeUnits
                                                                              : AtspiOffsetUnit::codePoints;
}

qsizetype utf16OffsetFromToolkit(const QString& text, qsizetype offset, AtspiOffsetUnit unit) {
    if (unit == AtspiOffsetUnit::utf16CodeUnits || offset <= 0) return offset;
    const TextPosition position = advance(text, kNoLimit, offset);
    return position.units + (offset - position.points);
}

qsizetype toolkitOffsetFromUtf16(const QString& text, qsizetype offset, AtspiOffsetUnit unit) {
    if (unit == AtspiOffsetUnit::utf16CodeUnits || offset <= 0) return offset;
    // An offset inside a surrogate pair lands after the pair.
    const TextPosition position = advance(text, offset, kNoLimit);
    return position.points + (offset > position.units ? offset - position.units : 0);
}

}  // namespace quorvelle
