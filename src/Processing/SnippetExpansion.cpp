#include "Processing/SnippetExpansion.h"

#include <algorithm>

#include "Processing/SnippetMatching.h"

namespace quorvelle {

SnippetExpansionResult expandSnippets(const QString& transcript, const QList<VoiceSnippet>& snippets,
                                      const QLocale& locale) {
    const QStringList transcriptKeys = SnippetMatching::keys(transcript, locale);
    if (transcriptKeys.isEmpty() || snippets.isEmpty()) return {transcript, std::nullopt};

    for (const VoiceSnippet& snippet : snippets) {
        const QStringList phraseKeys = SnippetMatching::keys(snippet.phrase, locale);
        const bool shared = std::any_of(phraseKeys.begin(), phraseKeys.end(),
                                        [&](const QString& key) { return transcriptKeys.contains(key); });
        if (shared) return {snippet.expansion, snippet};
    }
    return {transcript, std::nullopt};
}

}  // namespace quorvelle
