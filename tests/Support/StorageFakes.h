#pragma once

#include "Models/TranscriptionTelemetryRecording.h"
#include "Scripted.h"
#include "Services/Storage/DiagnosticsStoring.h"
#include "Services/Storage/TranscriptHistoryStoring.h"

#include <QList>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

namespace quorvelle::test {

// Keeps the events in memory, newest first, without pruning.
class FakeDiagnosticsStore final : public DiagnosticsStoring {
public:
    QList<SanitizedDiagnosticsEvent> stored;
    std::optional<SanitizedDiagnosticsEvent> mark;

    QList<SanitizedDiagnosticsEvent> events() const override { return stored; }
    void record(const SanitizedDiagnosticsEvent& event) override { stored.prepend(event); }
    std::optional<SanitizedDiagnosticsEvent> lifecycleMark() const override { return mark; }
    void setLifecycleMark(const SanitizedDiagnosticsEvent& event) override { mark = event; }

    QStringList codes() const {
        QStringList result;
        for (const auto& event : stored)
            result << event.code;
        return result;
    }
};

// The history in memory, sorted newest first on save as the real store does; saves can be made to
// fail (silently, as the real store's do, until `reportSaveFailure` says so), and the first read
// can be held back.
class FakeTranscriptHistoryStore final : public TranscriptHistoryStoring {
public:
    QList<TranscriptHistoryEntry> entries;
    bool failSaves = false;
    bool failClears = false;
    Scripted<QString> exportAnswer{QStringLiteral("/run/user/0/quorvelle-history.csv")};
    // While true, the stored history is still being read: whenLoaded waits for finishLoading().
    bool holdLoading = false;
    // What hold() was given, in order.
    QList<TranscriptHistoryEntry> held;
    QList<QUuid> withdrawn;

    QList<TranscriptHistoryEntry> loadEntries() override { return entries; }
    void save(const QList<TranscriptHistoryEntry>& newEntries) override {
        if (failSaves) return;
        entries = newEntries;
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.completedAt > b.completedAt; });
    }
    void clear() override {
        if (!failClears) entries.clear();
    }
    QString exportCSV() override { return exportAnswer.next(); }
    // Called once, when set, as the next entry is held.
    std::function<void()> onHold;
    void hold(const TranscriptHistoryEntry& entry) override {
        held.append(entry);
        if (const auto call = std::exchange(onHold, {})) call();
    }
    void withdraw(const QUuid& id) override { withdrawn.append(id); }
    void whenLoaded(QObject*, std::function<void()> loaded) override {
        if (holdLoading)
            m_loaded = std::move(loaded);
        else
            loaded();
    }
    void finishLoading() {
        holdLoading = false;
        if (m_loaded) std::exchange(m_loaded, {})();
    }
    void whenSaveFails(QObject*, std::function<void(const QString&)> failed) override {
        m_saveFailed = std::move(failed);
    }
    void reportSaveFailure(const QString& reason) {
        if (m_saveFailed) m_saveFailed(reason);
    }

private:
    std::function<void()> m_loaded;
    std::function<void(const QString&)> m_saveFailed;
};

class FakeTelemetryRecorder final : public TranscriptionTelemetryRecording {
public:
    QList<TranscriptionTelemetrySnapshot::Sample> recorded;

    TranscriptionTelemetrySnapshot snapshot() const override { return {}; }
    void record(int elapsedMs, bool wasSuccessful) override { recorded.append({elapsedMs, wasSuccessful}); }
};

}  // namespace quorvelle::test
