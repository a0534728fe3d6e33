#pragma once

#include <QString>

namespace quorvelle {

// Runs of whitespace become one space, except that a run holding line feeds becomes just those
// line feeds, so a dictated line break survives while the spaces around it go.
QString collapseWhitespaceKeepingLineFeeds(const QString& text);

}  // namespace quorvelle
