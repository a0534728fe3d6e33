#include "Processing/Whitespace.h"

#include "Support/IcuRegex.h"

namespace quorvelle {

QString collapseWhitespaceKeepingLineFeeds(const QString& text) {
    // `\s` as ICU defines it, so this agrees with the patterns that produced the text.
    static const IcuRegex horizontalRun(QStringLiteral("[^\\S\\n]+"));
    static const IcuRegex spacedLineFeed(QStringLiteral(" ?\\n ?"));
    return spacedLineFeed.replaceAll(horizontalRun.replaceAll(text, QStringLiteral(" ")), QStringLiteral("\n"));
}

QString removeWhitespaceBeforeMarks(const QString& text) {
    static const IcuRegex spaceBeforeMark(QString::fromUtf16(kWhitespaceBeforeMarkPattern));
    return spaceBeforeMark.replaceAll(text, QStringLiteral("$1"));
}

}  // namespace quorvelle
