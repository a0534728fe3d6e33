// The text pipeline a dictation runs after transcription: cleanup (mode `default`), snippets, then a
// 200-entry dictionary, on a 2,000-character transcript with spoken punctuation and fillers.
#include <benchmark/benchmark.h>

#include <QList>
#include <QString>
#include <QUuid>

#include "Processing/DictionaryReplacement.h"
#include "Processing/SnippetExpansion.h"
#include "Processing/TranscriptCleanup.h"

namespace {

using namespace quorvelle;

QString transcript() {
    const QString sentence = QStringLiteral(
        "um so the quarterly report for acme corp is ready comma and the kubernetes cluster is at "
        "percent 85 period şey yarın sabah toplantı var virgül ama uh we can meet at 10:30 question mark ");
    QString text;
    while (text.size() < 2000)
        text += sentence;
    return text.left(2000);
}

QList<VoiceSnippet> snippets() {
    QList<VoiceSnippet> list;
    for (int i = 0; i < 20; ++i) {
        list.append(
            {QUuid::createUuid(), QStringLiteral("my signature %1").arg(i), QStringLiteral("Best, Ada"), false});
    }
    return list;
}

QList<DictionaryReplacementEntry> dictionary() {
    QList<DictionaryReplacementEntry> entries;
    for (int i = 0; i < 196; ++i) {
        entries.append({QUuid::createUuid(),
                        QStringLiteral("term%1 name").arg(i),
                        QStringLiteral("Term%1").arg(i),
                        QStringLiteral("general"),
                        {}});
    }
    // A few that do occur in the text.
    entries.append({QUuid::createUuid(), QStringLiteral("acme corp"), QStringLiteral("ACME Corp."), {}, {}});
    entries.append({QUuid::createUuid(), QStringLiteral("kubernetes"), QStringLiteral("Kubernetes"), {}, {}});
    entries.append({QUuid::createUuid(), QStringLiteral("toplantı"), QStringLiteral("Toplantı"), {}, {}});
    entries.append({QUuid::createUuid(), QStringLiteral("report"), QStringLiteral("Report"), {}, {}});
    return entries;
}

void fullPipeline(benchmark::State& state) {
    const QString raw = transcript();
    const QList<VoiceSnippet> snippetList = snippets();
    const QList<DictionaryReplacementEntry> entries = dictionary();
    qsizetype delivered = 0;
    for (auto _ : state) {
        const QString cleaned = applyCleanupMode(raw, TranscriptionPostProcessingMode::default_).transcript;
        const SnippetExpansionResult expanded = expandSnippets(cleaned, snippetList);
        QString text = expanded.transcript;
        if (!expanded.matchedSnippet) text = applyDictionaryReplacements(text, entries);
        delivered = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["delivered_chars"] = static_cast<double>(delivered);
}
BENCHMARK(fullPipeline)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void cleanupOnly(benchmark::State& state) {
    const QString raw = transcript();
    for (auto _ : state) {
        benchmark::DoNotOptimize(applyCleanupMode(raw, TranscriptionPostProcessingMode::default_));
    }
}
BENCHMARK(cleanupOnly)->Unit(benchmark::kMicrosecond);

// 50 KB of spaces between two words: the spacing rules must stay linear in the run's length.
void cleanupOfALongWhitespaceRun(benchmark::State& state) {
    const QString raw = QStringLiteral("hello") + QString(50'000, QLatin1Char(' ')) + QStringLiteral("world");
    for (auto _ : state) {
        benchmark::DoNotOptimize(applyCleanupMode(raw, TranscriptionPostProcessingMode::default_));
    }
}
BENCHMARK(cleanupOfALongWhitespaceRun)->Unit(benchmark::kMillisecond);

void dictionaryOnly(benchmark::State& state) {
    const QString cleaned = applyCleanupMode(transcript(), TranscriptionPostProcessingMode::default_).transcript;
    const QList<DictionaryReplacementEntry> entries = dictionary();
    for (auto _ : state)
        benchmark::DoNotOptimize(applyDictionaryReplacements(cleaned, entries));
}
BENCHMARK(dictionaryOnly)->Unit(benchmark::kMicrosecond);

// The unlikely worst case: every one of the 200 originals occurs in the text.
void dictionaryAllPresent(benchmark::State& state) {
    QString text;
    QList<DictionaryReplacementEntry> entries;
    for (int i = 0; i < 200; ++i) {
        text += QStringLiteral("word%1 ").arg(i);
        entries.append({QUuid::createUuid(), QStringLiteral("word%1").arg(i), QStringLiteral("Word%1").arg(i), {}, {}});
    }
    text = text.left(2000);
    for (auto _ : state)
        benchmark::DoNotOptimize(applyDictionaryReplacements(text, entries));
}
BENCHMARK(dictionaryAllPresent)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
