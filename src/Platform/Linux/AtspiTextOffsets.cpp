#include "Platform/Linux/AtspiTextOffsets.h"

namespace quorvelle {

AtspiOffsetUnit offsetUnitForToolkit(const QString& toolkitName) {
    return toolkitName.compare(QLatin1String("Qt"), Qt::CaseInsensitive) == 0 ? AtspiOffsetUnit::utf16CodeUnits
                                                                              : AtspiOffsetUnit::codePoints;
}

qsizetype utf16OffsetFromToolkit(const QString& text, qsizetype offset, AtspiOffsetUnit unit) {
    if (unit == AtspiOffsetUnit::utf16CodeUnits || offset <= 0) return offset;
    qsizetype units = 0;
    qsizetype points = 0;
    while (points < offset && units < text.size()) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size() &&
                          text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
        ++points;
    }
    return units + (offset - points);
}

qsizetype toolkitOffsetFromUtf16(const QString& text, qsizetype offset, AtspiOffsetUnit unit) {
    if (unit == AtspiOffsetUnit::utf16CodeUnits || offset <= 0) return offset;
    qsizetype units = 0;
    qsizetype points = 0;
    while (units < offset && units < text.size()) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size() &&
                          text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
        ++points;
    }
    // An offset inside a surrogate pair lands after the pair.
    return points + (offset > units ? offset - units : 0);
}

}  // namespace quorvelle
