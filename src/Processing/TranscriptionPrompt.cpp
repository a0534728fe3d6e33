#include "Processing/TranscriptionPrompt.h"

#include "Processing/DeveloperContext.h"
#include "Processing/VocabularyHints.h"
#include "Support/Graphemes.h"

namespace quorvelle {
namespace {

const QLatin1StringView kHintsLinePrefix("Vocabulary hints: Use these exact spellings when they are spoken: ");
const QLatin1StringView kDeveloperLine(
    "Developer context: preserve camelCase, PascalCase, snake_case, package names, CLI commands, and code "
    "identifiers. Do not join ordinary words unless the result is a known identifier.");

std::optional<QString> nonEmpty(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    return text;
}

}  // namespace

TranscriptionPromptContext buildTranscriptionPrompt(const std::optional<QString>& customInstructions,
                                                    const QList<VocabularyHintEntry>& hints,
                                                    const std::optional<FocusedTargetSnapshot>& target) {
    TranscriptionPromptContext context;
    context.customInstructions = nonEmpty(customInstructions.value_or(QString()).trimmed());
    context.isDeveloperContext = isDeveloperContext(target);

    QStringList terms;
    for (const VocabularyHintEntry& hint : hints) {
        if (hint.isEnabled) terms.append(hint.term);
    }
    if (context.isDeveloperContext) {
        for (QLatin1StringView term : DeveloperContextTables::vocabularyHints)
            terms.append(term);
    }
    context.vocabularyHints = vocabularyHintList(terms);
    context.prompt =
        composeTranscriptionPrompt(context.customInstructions, context.vocabularyHints, context.isDeveloperContext);
    return context;
}

std::optional<QString> composeTranscriptionPrompt(const std::optional<QString>& trimmedInstructions,
                                                  const QStringList& hintTerms, bool isDeveloperContext) {
    QStringList parts;
    if (trimmedInstructions) parts.append(*trimmedInstructions);
    const QStringList hints = vocabularyHintList(hintTerms);
    if (!hints.isEmpty()) parts.append(kHintsLinePrefix + hints.join(QStringLiteral(", ")) + QLatin1Char('.'));
    if (isDeveloperContext) parts.append(kDeveloperLine);

    QString prompt = parts.join(QStringLiteral("\n\n")).trimmed();
    if (prompt.isEmpty()) return std::nullopt;
    if (Graphemes::count(prompt) > kMaximumPromptCharacters) {
        prompt = Graphemes::prefix(prompt, kMaximumPromptCharacters).trimmed();
    }
    return prompt;
}

}  // namespace quorvelle
