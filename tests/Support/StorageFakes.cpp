#include "StorageFakes.h"

#include <algorithm>

namespace quorvelle::test {

QList<SanitizedDiagnosticsEvent> FakeDiagnosticsStore::events() const {
    ++readCount;
    return stored;
}

QStringList FakeDiagnosticsStore::codes() const {
    QStringList result;
    for (const auto& event : stored)
        result << event.code;
    return result;
}

QList<TranscriptHistoryEntry> FakeTranscriptHistoryStore::loadEntries() {
    ++loadCount;
    return entries;
}

void FakeTranscriptHistoryStore::save(const QList<TranscriptHistoryEntry>& newEntries) {
    ++saveCount;
    if (failSaves) return;
    entries = newEntries;
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.completedAt > b.completedAt; });
}

void FakeTranscriptHistoryStore::clear() {
    if (!failClears) entries.clear();
}

}  // namespace quorvelle::test
