#pragma once

#include "Models/TranscriptionTelemetryRecording.h"
#include "Scripted.h"
#include "Services/Storage/DiagnosticsStoring.h"
#include "Services/Storage/TranscriptHistoryStoring.h"

#include <QList>

namespace quorvelle::test {

// Keeps the events in memory, newest first, without pruning.
class FakeDiagnosticsStore final : public DiagnosticsStoring {
public:
    QList<SanitizedDiagnosticsEvent> stored;
    mutable int readCount = 0;

    QList<SanitizedDiagnosticsEvent> events() const override;
    void record(const SanitizedDiagnosticsEvent& event) override { stored.prepend(event); }

    QStringList codes() const;
};

// The history in memory, sorted newest first on save as the real store does; saves can be made to
// fail (silently, as the real store's do).
class FakeTranscriptHistoryStore final : public TranscriptHistoryStoring {
public:
    QList<TranscriptHistoryEntry> entries;
    bool failSaves = false;
    bool failClears = false;
    int loadCount = 0;
    int saveCount = 0;
    Scripted<QString> exportAnswer{QStringLiteral("/run/user/0/quorvelle-history.csv")};

    QList<TranscriptHistoryEntry> loadEntries() override;
    void save(const QList<TranscriptHistoryEntry>& newEntries) override;
    void clear() override;
    QString exportCSV() override { return exportAnswer.next(); }
};

class FakeTelemetryRecorder final : public TranscriptionTelemetryRecording {
public:
    struct Sample {
        int elapsedMs;
        bool wasSuccessful;
    };
    TranscriptionTelemetrySnapshot current;
    QList<Sample> recorded;

    TranscriptionTelemetrySnapshot snapshot() const override { return current; }
    void record(int elapsedMs, bool wasSuccessful) override { recorded.append({elapsedMs, wasSuccessful}); }
};

}  // namespace quorvelle::test
