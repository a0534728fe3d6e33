#include "Processing/DictionaryReplacement.h"

#include <algorithm>
#include <vector>

#include "Support/Graphemes.h"
#include "Support/IcuRegex.h"
#include "Support/TextFolding.h"
#include "Support/WholeWord.h"

namespace quorvelle {
namespace {

struct ReplacementMatch {
    Utf16Range range;
    QString replacement;
};

struct SortableEntry {
    const DictionaryReplacementEntry* entry;
    qsizetype length;
};

std::vector<SortableEntry> entriesInClaimOrder(const QList<DictionaryReplacementEntry>& entries,
                                               const QLocale& locale) {
    std::vector<SortableEntry> kept;
    for (const DictionaryReplacementEntry& entry : entries) {
        if (!entry.original.trimmed().isEmpty()) kept.push_back({&entry, Graphemes::count(entry.original)});
    }
    std::stable_sort(kept.begin(), kept.end(), [&](const SortableEntry& a, const SortableEntry& b) {
        if (a.length != b.length) return a.length > b.length;
        return TextFolding::compareCaseInsensitive(a.entry->original, b.entry->original, locale) < 0;
    });
    return kept;
}

}  // namespace

QString applyDictionaryReplacements(const QString& text, const QList<DictionaryReplacementEntry>& entries,
                                    const QLocale& locale) {
    if (text.isEmpty()) return text;
    const std::vector<SortableEntry> ordered = entriesInClaimOrder(entries, locale);
    if (ordered.empty()) return text;

    // Case-insensitive matching compares case-folded text, so an original whose folded form is not
    // in the folded text cannot match; skipping those spares compiling most patterns.
    const QString foldedText = TextFolding::foldCase(text);
    std::vector<ReplacementMatch> matches;
    for (const SortableEntry& sortable : ordered) {
        const DictionaryReplacementEntry& entry = *sortable.entry;
        if (!foldedText.contains(TextFolding::foldCase(entry.original))) continue;
        std::optional<IcuRegex> regex;
        try {
            regex.emplace(IcuRegex::escapedPattern(entry.original), IcuRegex::Matching::caseInsensitive);
        } catch (const IcuRegexError&) {
            continue;
        }
        for (const Utf16Range& range : WholeWord::matchRanges(*regex, text)) {
            if (range.length == 0) continue;
            const bool overlaps = std::any_of(matches.begin(), matches.end(),
                                              [&](const ReplacementMatch& m) { return m.range.overlaps(range); });
            if (!overlaps) matches.push_back({range, entry.replacement});
        }
    }
    if (matches.empty()) return text;

    std::sort(matches.begin(), matches.end(),
              [](const ReplacementMatch& a, const ReplacementMatch& b) { return a.range.location < b.range.location; });
    QString result;
    result.reserve(text.size());
    qsizetype position = 0;
    for (const ReplacementMatch& match : matches) {
        result += QStringView(text).mid(position, match.range.location - position);
        result += match.replacement;
        position = match.range.end();
    }
    result += QStringView(text).mid(position);
    return result;
}

}  // namespace quorvelle
