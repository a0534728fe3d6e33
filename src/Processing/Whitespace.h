#pragma once

#include <QString>

namespace quorvelle {

// Runs of whitespace become one space, except that a run holding line feeds becomes just those
// line feeds, so a dictated line break survives while the spaces around it go.
QString collapseWhitespaceKeepingLineFeeds(const QString& text);

// Same matches as \s+([,.:;!?]), but a match starts only where a run of whitespace starts and the
// run is never given back: a long run without a mark after it is scanned once, not once per space.
inline constexpr char16_t kWhitespaceBeforeMarkPattern[] = u"(?<!\\s)\\s++([,.:;!?])";

// Removes the whitespace, line feeds included, right before each of , . : ; ! ? in linear time.
QString removeWhitespaceBeforeMarks(const QString& text);

}  // namespace quorvelle
