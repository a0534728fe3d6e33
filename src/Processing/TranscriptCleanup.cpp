#include "Processing/TranscriptCleanup.h"

#include "Processing/SentenceFormatting.h"
#include "Processing/SpokenPunctuation.h"
#include "Processing/Whitespace.h"
#include "Support/IcuRegex.h"

#include <algorithm>

namespace quorvelle {
namespace {

QString removeFillers(const QString& text) {
    // Whole-word English and Turkish fillers with one following comma and the spaces after them.
    // A line feed after a filler is not eaten, so a dictated line break survives. Only the words
    // ignore case: a case-insensitive letter class costs milliseconds to compile.
    static const IcuRegex fillers(
        QStringLiteral("(?<![\\p{L}\\p{N}])(?i:um+|uh+|erm|hmm+|\u015Fey|yani)(?![\\p{L}\\p{N}])[,]?[^\\S\\n]*"));
    return fillers.replaceAll(text, QString());
}

// What fillers leave behind: no space before a mark ("okay um period" is "okay."), and nothing at
// all when only marks remain ("um, uh." says nothing).
QString tidyAfterFillers(const QString& text) {
    const QString tidied = removeWhitespaceBeforeMarks(text);
    const bool onlyMarks =
        std::all_of(tidied.cbegin(), tidied.cend(), [](QChar c) { return c.isPunct() || c.isSpace(); });
    return onlyMarks ? QString() : tidied;
}

QString startEmailParagraphs(QString text) {
    // Each needs a space before the word, so a greeting that opens the text stays in place.
    text.replace(QStringLiteral(" merhaba "), QStringLiteral("\n\nMerhaba "), Qt::CaseInsensitive);
    text.replace(QStringLiteral(" te\u015Fekk\u00FCrler"), QStringLiteral("\n\nTe\u015Fekk\u00FCrler"),
                 Qt::CaseInsensitive);
    text.replace(QStringLiteral(" regards"), QStringLiteral("\n\nRegards"), Qt::CaseInsensitive);
    return text.trimmed();
}

}  // namespace

TranscriptCleanupResult applyCleanupMode(const QString& transcript, TranscriptionPostProcessingMode mode) {
    if (mode == TranscriptionPostProcessingMode::off) return {transcript, transcript, mode};

    QString text = applySpokenPunctuation(transcript);
    if (const QString withoutFillers = removeFillers(text); withoutFillers != text)
        text = tidyAfterFillers(withoutFillers);
    text = collapseWhitespaceKeepingLineFeeds(text).trimmed();
    text = formatSentence(text);
    if (mode == TranscriptionPostProcessingMode::email) text = startEmailParagraphs(std::move(text));
    return {transcript, text, mode};
}

}  // namespace quorvelle
