#include "Services/Storage/TranscriptHistoryCsv.h"

namespace quorvelle::TranscriptHistoryCsv {

QString neutralized(const QString& cell) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!cell.isEmpty() && formulaStarts.contains(cell.front())) return QLatin1Char('\'') + cell;
    return cell;
}

QString row(const TranscriptHistoryEntry& entry) {
    QString transcript = neutralized(entry.transcript);
    transcript.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    QString line = entry.completedAt.toUTC().toString(Qt::ISODate);
    line += QStringLiteral(",\"");
    line += transcript;
    line += QStringLiteral("\",");
    line += QString::asprintf("%.2f", entry.durationSeconds);
    line += QLatin1Char(',');
    line += QString::number(entry.wordCount);
    line += QLatin1Char(',');
    line += rawValue(entry.completionKind);
    return line;
}

QString document(const QList<TranscriptHistoryEntry>& entries) {
    QString text = QString::fromLatin1(header);
    for (const TranscriptHistoryEntry& entry : entries) {
        text += QLatin1Char('\n');
        text += row(entry);
    }
    return text;
}

QString fileName(const QDateTime& now) {
    return QStringLiteral("quorvelle-history-") + now.toLocalTime().date().toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".csv");
}

}  // namespace quorvelle::TranscriptHistoryCsv
