#include "Services/Storage/TranscriptHistoryCsv.h"

#include <cstdio>

namespace quorvelle::TranscriptHistoryCsv {

QString neutralized(const QString& cell) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!cell.isEmpty() && formulaStarts.contains(cell.front())) return QLatin1Char('\'') + cell;
    return cell;
}

namespace {

const QString kFileNameStart = QStringLiteral("quorvelle-history-");

// As Qt::ISODate writes a UTC time, without building a string for each row of a long history.
void appendUtcTime(QByteArray& text, const QDateTime& time) {
    const QDateTime utc = time.toUTC();
    const QDate date = utc.date();
    const QTime clock = utc.time();
    if (date.year() < 0 || date.year() > 9999 || !clock.isValid()) {
        text += utc.toString(Qt::ISODate).toUtf8();
        return;
    }
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", date.year(), date.month(), date.day(),
                  clock.hour(), clock.minute(), clock.second());
    text += buffer;
}

}  // namespace

void appendRow(QByteArray& text, const TranscriptHistoryEntry& entry) {
    appendUtcTime(text, entry.completedAt);
    text += ",\"";
    text += neutralized(entry.transcript).toUtf8().replace('"', "\"\"");
    text += "\",";
    text += QByteArray::number(entry.durationSeconds, 'f', 2);
    text += ',';
    text += QByteArray::number(entry.wordCount);
    text += ',';
    text += rawValue(entry.completionKind).toLatin1();
}

QByteArray document(const QList<TranscriptHistoryEntry>& entries) {
    QByteArray text(header);
    text.reserve(text.size() + entries.size() * 200);
    for (const TranscriptHistoryEntry& entry : entries) {
        text += '\n';
        appendRow(text, entry);
    }
    return text;
}

QString fileName(const QDateTime& now) {
    return kFileNameStart + now.toLocalTime().date().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".csv");
}

QString fileNamePattern() {
    return kFileNameStart + QStringLiteral("*.csv");
}

}  // namespace quorvelle::TranscriptHistoryCsv
