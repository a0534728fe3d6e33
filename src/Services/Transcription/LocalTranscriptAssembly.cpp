#include "Services/Transcription/LocalTranscriptAssembly.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace quorvelle {

std::optional<QString> localLanguageLabel(int languageID, const std::optional<QString>& shortCode,
                                          const std::optional<QString>& fullName) {
    if (languageID < 0) return std::nullopt;
    if (shortCode) {
        if (fullName && !shortCode->isEmpty() && !fullName->isEmpty())
            return QStringLiteral("%1 (%2)").arg(*shortCode, *fullName);
        return *shortCode;
    }
    if (fullName) return *fullName;
    return QStringLiteral("id %1").arg(languageID);
}

QString assembleLocalTranscript(const QList<LocalDecodedSegment>& segments, int languageID,
                                const std::optional<QString>& languageLabel, const QString& modelTitle) {
    static const QRegularExpression whiteSpaceRun(QStringLiteral("\\s+"),
                                                  QRegularExpression::UseUnicodePropertiesOption);

    QStringList texts;
    for (const LocalDecodedSegment& segment : segments) {
        const QString text = segment.text.trimmed();
        if (!text.isEmpty()) texts.append(text);
    }
    const QString joined = texts.join(QLatin1Char(' ')).replace(whiteSpaceRun, QStringLiteral(" ")).trimmed();

    LocalTranscriptionDiagnostics diagnostics;
    diagnostics.segmentCount = int(segments.size());
    for (const LocalDecodedSegment& segment : segments) {
        const double probability = segment.noSpeechProbability;
        diagnostics.maxNoSpeechProbability = diagnostics.maxNoSpeechProbability
                                                 ? std::max(*diagnostics.maxNoSpeechProbability, probability)
                                                 : probability;
    }
    if (languageID >= 0) diagnostics.detectedLanguageID = languageID;
    diagnostics.detectedLanguageLabel = languageLabel;

    if (segments.isEmpty()) throw LocalTranscriptionRuntimeError::noSpeechDetected(modelTitle, diagnostics);
    if (!joined.isEmpty()) return joined;
    // A probability that is not a number compares false, so it counts as below the threshold.
    const bool allSilent = std::all_of(segments.begin(), segments.end(), [](const LocalDecodedSegment& segment) {
        return segment.noSpeechProbability >= kLocalNoSpeechProbabilityThreshold;
    });
    if (allSilent) throw LocalTranscriptionRuntimeError::noSpeechDetected(modelTitle, diagnostics);
    throw LocalTranscriptionRuntimeError::emptyTranscript(modelTitle, diagnostics);
}

}  // namespace quorvelle
