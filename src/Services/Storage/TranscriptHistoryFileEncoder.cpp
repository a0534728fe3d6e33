#include "Services/Storage/TranscriptHistoryFileEncoder.h"

#include <QJsonDocument>

namespace quorvelle {

namespace {

// One entry as an indented element of the top-level array.
QByteArray encodeElement(const TranscriptHistoryEntry& entry) {
    QByteArray object = QJsonDocument(entry.toJson()).toJson(QJsonDocument::Indented);
    object.chop(1);  // the document's closing line feed
    return "    " + object.replace('\n', "\n    ");
}

}  // namespace

QByteArray TranscriptHistoryFileEncoder::encode(const QList<TranscriptHistoryEntry>& entries) {
    QHash<QUuid, EncodedEntry> encoded;
    encoded.reserve(entries.size());
    QList<QByteArray> elements;
    elements.reserve(entries.size());
    qsizetype size = 4;
    for (const TranscriptHistoryEntry& entry : entries) {
        const auto previous = m_encoded.constFind(entry.id);
        QByteArray text =
            previous != m_encoded.cend() && previous->entry == entry ? previous->text : encodeElement(entry);
        size += text.size() + 2;
        encoded.insert(entry.id, EncodedEntry{entry, text});
        elements.append(std::move(text));
    }
    m_encoded = std::move(encoded);

    QByteArray document;
    document.reserve(size);
    document += '[';
    for (qsizetype i = 0; i < elements.size(); ++i) {
        document += i == 0 ? "\n" : ",\n";
        document += elements[i];
    }
    document += "\n]\n";
    return document;
}

}  // namespace quorvelle
