#include "Processing/SpokenPunctuation.h"

#include <vector>

#include "Processing/Whitespace.h"
#include "Support/IcuRegex.h"
#include "Support/TextFolding.h"
#include "Support/WholeWord.h"

namespace quorvelle {
namespace {

struct CompiledRule {
    IcuRegex regex;
    QString replacementTemplate;
    // Folded literal part of the phrase: a text whose folded form lacks it cannot match, which
    // spares most of the scans.
    QString requiredFoldedText;
};

const std::vector<CompiledRule>& compiledRules() {
    static const std::vector<CompiledRule> rules = [] {
        std::vector<CompiledRule> compiled;
        compiled.reserve(kSpokenPunctuationRules.size());
        for (const SpokenPunctuationRule& rule : kSpokenPunctuationRules) {
            const QString phrase = QString::fromUtf16(rule.phrase);
            const QString literal = phrase.left(phrase.indexOf(QLatin1Char('\\')));
            compiled.push_back({IcuRegex(WholeWord::patternIgnoringCase(phrase)),
                                QString::fromUtf16(rule.replacementTemplate), TextFolding::foldCase(literal)});
        }
        return compiled;
    }();
    return rules;
}

}  // namespace

QString applySpokenPunctuation(const QString& text) {
    if (text.isEmpty()) return text;
    // The lookaheads spare a mark that sits between two letters or digits (decimals, times, addresses
    // and file names keep their form) and the colon of a web address ("https://").
    static const IcuRegex markWithoutSpace(
        QStringLiteral("([,.:;!?])(?!(?<=[\\p{L}\\p{N}][,.:;!?])[\\p{L}\\p{N}])(?!(?<=:)//)([^\\s])"));

    QString working = QLatin1Char(' ') + text.trimmed() + QLatin1Char(' ');
    QString folded = TextFolding::foldCase(working);
    for (const CompiledRule& rule : compiledRules()) {
        if (!folded.contains(rule.requiredFoldedText)) continue;
        if (auto replaced = rule.regex.replaceAllIfMatched(working, rule.replacementTemplate)) {
            working = std::move(*replaced);
            folded = TextFolding::foldCase(working);
        }
    }
    working = removeWhitespaceBeforeMarks(working);
    working = markWithoutSpace.replaceAll(working, QStringLiteral("$1 $2"));
    return collapseWhitespaceKeepingLineFeeds(working).trimmed();
}

}  // namespace quorvelle
