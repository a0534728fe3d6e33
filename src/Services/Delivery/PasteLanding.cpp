#include "Services/Delivery/PasteLanding.h"

#include <algorithm>

namespace quorvelle {

namespace {

constexpr QChar kObjectReplacement(0xFFFC);

// The end of `text` that is only spaces and line breaks, when it holds a line break: the empty rows
// of a terminal's screen below its line. Empty otherwise.
QStringView emptyRows(const QString& text) {
    qsizetype start = text.size();
    while (start > 0 && text.at(start - 1).isSpace())
        --start;
    const QStringView tail = QStringView(text).mid(start);
    return tail.contains(u'\n') ? tail : QStringView();
}

// The words between `textBefore` and `textAfter` in `now`, with no more than a typist's letters
// beside them (only after them when `first`). Of `textAfter`'s empty rows, the first may have gone: a
// line that wraps takes a row; not when `rowsMayGo` is false.
bool standsBetween(QStringView textBefore, const QString& textAfter, const QString& now, const QString& words,
                   bool first, bool rowsMayGo) {
    if (!now.startsWith(textBefore)) return false;
    const QStringView rows = emptyRows(textAfter);
    const QStringView kept = QStringView(textAfter).left(textAfter.size() - rows.size());
    for (qsizetype left = rows.size(); left >= (rowsMayGo ? 0 : rows.size()); --left) {
        const qsizetype afterSize = kept.size() + left;
        const qsizetype between = now.size() - textBefore.size() - afterSize;
        if (between < words.size()) continue;
        if (between - words.size() > PasteLanding::kTypedWhilePasting) break;
        const QStringView end = QStringView(now).right(afterSize);
        if (!end.startsWith(kept) || end.mid(kept.size()) != rows.right(left)) continue;
        const QStringView span = QStringView(now).mid(textBefore.size(), between);
        // A wrap takes rows without breaking the line: where rows went, no line break came with the words.
        if (left < rows.size() && span.count(u'\n') > words.count(u'\n')) continue;
        if (first ? span.startsWith(words) : span.contains(words)) return true;
    }
    return false;
}

// The blanks from the start of `textAfter` to its row's end, when a line break ends that row: cells of a
// terminal's row, which the words may take (vim leaves one on a row it opened).
qsizetype blanksToRowEnd(const QString& textAfter) {
    qsizetype blanks = 0;
    while (blanks < textAfter.size() && textAfter.at(blanks) == u' ')
        ++blanks;
    return blanks < textAfter.size() && textAfter.at(blanks) == u'\n' ? blanks : 0;
}

// `text` without the blanks that end it.
QStringView withoutEndBlanks(QStringView text) {
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

// The words at the caret of a terminal's screen whose rows below the caret's were drawn anew: the text
// before the caret as it was, then on the caret's row the words and what stood after the caret there,
// beside no more than a typist's letters. What the rows below hold tells nothing.
bool standsAboveRedrawnRows(QStringView textBefore, const QString& textAfter, const QString& now,
                            const QString& words) {
    const qsizetype rowEnd = textAfter.indexOf(u'\n');
    if (rowEnd < 0 || !now.startsWith(textBefore)) return false;
    const QStringView restOfRow = withoutEndBlanks(QStringView(textAfter).left(rowEnd));
    const qsizetype from = textBefore.size();
    for (qsizetype typedBefore = 0; typedBefore <= PasteLanding::kTypedWhilePasting; ++typedBefore) {
        const qsizetype at = from + typedBefore;
        if (at > now.size() || QStringView(now).mid(from, typedBefore).contains(u'\n')) return false;
        if (!QStringView(now).mid(at).startsWith(words)) continue;
        const qsizetype after = at + words.size();
        qsizetype nowRowEnd = now.indexOf(u'\n', after);
        if (nowRowEnd < 0) nowRowEnd = now.size();
        const QStringView row = withoutEndBlanks(QStringView(now).mid(after, nowRowEnd - after));
        if (row.endsWith(restOfRow) && typedBefore + row.size() - restOfRow.size() <= PasteLanding::kTypedWhilePasting)
            return true;
    }
    return false;
}

}  // namespace

bool PasteLanding::landed(const QString& was, std::optional<TextRange> range, const QString& now,
                          const QString& words) {
    // An unchanged text took nothing, even where the words already stood.
    if (words.isEmpty() || now == was) return false;
    if (!range) return now.count(words) > was.count(words);
    // A field that trims what it is given drops the space put before the words; then nothing but
    // the words stands where the space would have.
    const bool spaced = words.size() > 1 && words.at(0) == u' ';
    for (const QString& found : {words, spaced ? words.mid(1) : QString()}) {
        if (found.isEmpty()) continue;
        const bool trimmed = found.size() < words.size();
        if (landedAt(*range, was, now, found, trimmed)) return true;
        // An empty rich body is one object character standing for its empty paragraph: the words
        // may take its place or stand beside it.
        if (was == QString(kObjectReplacement) && landedAt(TextRange{}, QString(), now, found, trimmed)) return true;
    }
    return false;
}

bool PasteLanding::landedAt(TextRange range, const QString& was, const QString& now, const QString& words, bool first) {
    // On a terminal's screen the words take the blank cells after the caret on its row.
    const QString rest = was.mid(range.end());
    const qsizetype blanks = blanksToRowEnd(rest);
    for (qsizetype taken = 0; taken <= blanks; ++taken) {
        if (landedBefore(QStringView(was).left(range.location), rest.mid(taken), now, words, first)) return true;
    }
    return false;
}

bool PasteLanding::landedBefore(QStringView textBefore, const QString& textAfter, const QString& now,
                                const QString& words, bool first) {
    // The keys paste where the caret is when they arrive: letters the user typed meanwhile stand
    // before the words, or after them. The text on either side of the insertion point stays as it
    // was; the words stand whole in what came between.
    if (standsBetween(textBefore, textAfter, now, words, first, true)) return true;
    // A full terminal screen scrolls up once the words wrap its last line: whole rows leave from its
    // top, the caret's own line stays, and no row below it goes (none was empty). Only the rows that
    // leave the kept text the length the words and a typist's letters call for are tried.
    const qsizetype longest = now.size() - textAfter.size() - words.size();
    for (qsizetype cut = textBefore.indexOf(u'\n') + 1; cut > 0; cut = textBefore.indexOf(u'\n', cut) + 1) {
        const qsizetype keptSize = textBefore.size() - cut;
        if (keptSize > longest) continue;
        if (longest - keptSize > kTypedWhilePasting) break;
        if (standsBetween(textBefore.mid(cut), textAfter, now, words, first, false)) return true;
    }
    return false;
}

bool PasteLanding::shownOnAScreenThatCannotTell(TextRange range, const QString& was, const QString& now,
                                                const QString& words) {
    if (words.isEmpty() || now == was) return false;
    const QStringView textBefore = QStringView(was).left(range.location);
    const QString textAfter = was.mid(range.end());
    if (standsAboveRedrawnRows(textBefore, textAfter, now, words)) return true;
    // The caret's line grew to begin above the screen: rows left from its top, the last of them a
    // row of the caret's line, whose end no line break marks. Only where the cut leaves the kept text
    // the length the words and a typist's letters call for, and some of the line before the caret.
    const qsizetype lineStart = textBefore.lastIndexOf(u'\n') + 1;
    const qsizetype longest = now.size() - textAfter.size() - words.size();
    for (qsizetype kept = std::min(longest, textBefore.size() - lineStart);
         kept > 0 && longest - kept <= kTypedWhilePasting; --kept) {
        if (standsBetween(textBefore.right(kept), textAfter, now, words, false, false)) return true;
    }
    return false;
}

std::optional<bool> PasteLanding::judged(const QString& was, std::optional<TextRange> range, bool wasWhole,
                                         const QString& now, bool nowWhole, const QString& words) {
    if (wasWhole && nowWhole && (!range || range->end() <= was.size())) {
        if (landed(was, range, now, words)) return true;
        if (range && shownOnAScreenThatCannotTell(*range, was, now, words)) return std::nullopt;
        return false;
    }
    if (landed(was, std::nullopt, now, words)) return true;
    return std::nullopt;
}

}  // namespace quorvelle
