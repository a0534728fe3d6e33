#pragma once

#include "Services/Delivery/TextRange.h"

#include <QString>
#include <optional>

namespace quorvelle {

// Whether pasted words show in a field's text read back after the paste, as real fields show them:
// beside letters the user typed at the caret meanwhile; with the empty rows that end a terminal's
// screen fewer by the rows a wrapped line took; without the one space put before them, which some
// fields trim (Chromium's address bar); in place of the one object character an empty rich body
// holds (Thunderbird's compose); below the rows a full terminal screen lost from its top when the words
// scrolled it; without the blank cells after the caret on a terminal's row, which the words took.
// Anything else changed around the paste's point is not a paste that landed. Every text with plain
// horizontal spaces.
class PasteLanding {
public:
    // The most letters a user types into the field between the read before a paste and the check
    // after it: a fast typist over the seconds the waits of a delivery can take.
    static constexpr qsizetype kTypedWhilePasting = 80;

    // `was` the text before the paste, `range` where the paste went in it (none when the caret
    // could not be read: then one more of the words anywhere will do).
    static bool landed(const QString& was, std::optional<TextRange> range, const QString& now, const QString& words);
    // As landed, where a read may not have been all of the field's text (`wasWhole`, `nowWhole` false: it
    // came back shorter than the field's count) or ends before `range`: words newly in such a text
    // landed, but their absence tells nothing, as they may stand beyond what was read: none. A
    // terminal's screen read whole tells none as well where it shows the words at the caret but
    // cannot show that they took nothing else: its program drew the rows below the caret's anew
    // (vim's ruler, the `~` row a line that wraps takes), or the caret's line grew to begin above
    // the screen.
    static std::optional<bool> judged(const QString& was, std::optional<TextRange> range, bool wasWhole,
                                      const QString& now, bool nowWhole, const QString& words);

private:
    // `first`: no typed letter stands before the words.
    static bool landedAt(TextRange range, const QString& was, const QString& now, const QString& words, bool first);
    static bool landedBefore(QStringView textBefore, const QString& textAfter, const QString& now, const QString& words,
                             bool first);
    static bool shownOnAScreenThatCannotTell(TextRange range, const QString& was, const QString& now,
                                             const QString& words);
};

}  // namespace quorvelle
