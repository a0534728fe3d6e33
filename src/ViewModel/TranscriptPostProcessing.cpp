#include "ViewModel/TranscriptPostProcessing.h"

#include "Processing/DictionaryReplacement.h"
#include "Processing/SnippetExpansion.h"
#include "Processing/TranscriptCleanup.h"

namespace quorvelle {

QString postProcessTranscript(const QString& transcript, const TranscriptPostProcessingSettings& settings) {
    const QString cleaned = applyCleanupMode(transcript, settings.mode).transcript;
    const SnippetExpansionResult expanded = expandSnippets(cleaned, settings.snippets);
    if (expanded.matchedSnippet || !settings.isDictionaryReplacementEnabled) return expanded.transcript;
    return applyDictionaryReplacements(expanded.transcript, settings.dictionaryEntries);
}

}  // namespace quorvelle
