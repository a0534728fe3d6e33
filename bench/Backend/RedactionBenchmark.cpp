// How long the main thread spends on a failure report whose server problem title is one long
// word: a title may be as long as the server likes.
#include "Services/Backend/BackendDiagnosticErrorReport.h"
#include "Services/Transcription/BackendTranscriptionClient.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

void BM_FailureReportWithALongProblemTitle(benchmark::State& state) {
    const QString title(state.range(0), QLatin1Char('A'));
    const quorvelle::BackendRequestDiagnosticContext context{std::nullopt, 503, title, 1};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            quorvelle::makeTranscriptionFailureReport(std::runtime_error("failed"), context, QStringLiteral("KEY")));
}
BENCHMARK(BM_FailureReportWithALongProblemTitle)->Arg(120'000)->Unit(benchmark::kMillisecond);

void BM_RedactAWordOfAHundredThousandCharacters(benchmark::State& state) {
    const QString word(100'000, QLatin1Char('a'));
    for (auto _ : state)
        benchmark::DoNotOptimize(quorvelle::redactedDiagnosticText(word));
}
BENCHMARK(BM_RedactAWordOfAHundredThousandCharacters)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
