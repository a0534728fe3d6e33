#include "Processing/TranscriptCleanup.h"

#include "Processing/SentenceFormatting.h"
#include "Processing/SpokenPunctuation.h"
#include "Processing/Whitespace.h"
#include "Support/IcuRegex.h"

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
    text = removeFillers(text);
    text = collapseWhitespaceKeepingLineFeeds(text).trimmed();
    text = formatSentence(text);
    if (mode == TranscriptionPostProcessingMode::email) text = startEmailParagraphs(std::move(text));
    return {transcript, text, mode};
}

}  // namespace quorvelle
