// The Status tab's rows, as pure tables.
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Views/MenuBar/ReadyOverviewRows.h"

#include <gtest/gtest.h>

namespace quorvelle {

void PrintTo(const StatusRow& row, std::ostream* out) {
    *out << '{' << row.label.toStdString() << " = " << row.value.toStdString() << (row.isPrimary ? "" : ", secondary")
         << (row.isSmall ? ", small" : "") << '}';
}

namespace {

ReadyOverviewInputs baseline() {
    ReadyOverviewInputs in;
    in.accountStatusLabel = QStringLiteral("Connected");
    in.localRuntimeStatusLabel = QStringLiteral("Ready (CPU)");
    in.selectedLocalModelID = LocalTranscriptionModelID::baseMultilingual;
    in.selectedHotkey = HotkeyShortcut::suggestions().first();
    in.diagnosticsSnapshot.transcriptionLanguageModeLabel = QStringLiteral("Auto");
    in.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Ready.");
    return in;
}

TEST(ReadyOverviewRows, EveryAlwaysShownRowInOrder) {
    EXPECT_EQ(readyOverviewRows(baseline()),
              (QList<StatusRow>{
                  {"Transcription", "Cloud"},
                  {"Language detection", "Auto", false},
                  {"Cloud account", "Connected"},
                  {"Local runtime", "Ready (CPU)"},
                  {"Local model", localModelDescriptor(LocalTranscriptionModelID::baseMultilingual).title},
                  {"Hotkey", "Control + Alt + Space"},
                  {"Recording mode", "Push-to-Talk"},
                  {"Hotkey listener", "Passive"},
                  {"Readiness", "Ready."},
                  {"Session state", AppStrings().sessionStatusBadge(SessionState::idle())},
              }));
}

TEST(ReadyOverviewRows, TurkishRowsOfALocalRecording) {
    ReadyOverviewInputs in = baseline();
    in.strings = AppStrings("tr");
    in.selectedTranscriptionBackend = TranscriptionBackend::local;
    in.isHotkeyMonitoringActive = true;
    in.runtimeState = SessionState::recording();
    in.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Hazır.");
    // The local engine's rows recede while it is the engine in use.
    EXPECT_EQ(readyOverviewRows(in),
              (QList<StatusRow>{
                  {"Transcription", "Yerel"},
                  {"Dil algılama", "Auto", false},
                  {"Bulut hesabı", "Connected"},
                  {"Yerel runtime", "Ready (CPU)", false},
                  {"Yerel model", localModelDescriptor(LocalTranscriptionModelID::baseMultilingual).title, false},
                  {"Hotkey", "Control + Alt + Space"},
                  {"Kayıt modu", "Basılı tut"},
                  {"Hotkey listener", "Aktif"},
                  {"Hazırlık", "Hazır."},
                  {"Session durumu", AppStrings("tr").sessionStatusBadge(SessionState::recording())},
              }));
}

TEST(ReadyOverviewRows, LanguageModeAndReadinessCases) {
    ReadyOverviewInputs in = baseline();
    in.strings = AppStrings(QString());
    EXPECT_EQ(readyOverviewRows(in)[0], (StatusRow{"Transcription", "Cloud"}));
    in.strings = AppStrings("tr");
    in.selectedRecordingTriggerMode = RecordingTriggerMode::toggle;
    // Any text but the ready summary lists missing items, shown receding.
    in.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Eksik: Mikrofon.");
    const QList<StatusRow> rows = readyOverviewRows(in);
    EXPECT_EQ(rows[6], (StatusRow{"Kayıt modu", "Toggle"}));
    EXPECT_EQ(rows[8], (StatusRow{"Hazırlık", "Eksik: Mikrofon.", false}));
}

TEST(ReadyOverviewRows, TheLocalSlotShowsTheErrorOrTheAnalysisOrNothing) {
    const auto local = TranscriptionBackend::local;
    const struct {
        TranscriptionBackend backend;
        std::optional<QString> error;
        std::optional<qint64> segments;
        std::optional<double> noSpeech;
        QString label;  // empty: no row in the slot
        QString value;
    } cases[] = {
        {TranscriptionBackend::cloud, "model missing", 3, 0.5, {}, {}},
        {local, "model missing", std::nullopt, std::nullopt, "Local error", "model missing"},
        {local, "model missing", 3, 0.5, "Local error", "model missing"},
        {local, std::nullopt, 3, 0.456, "Local analysis", "segment 3, no-speech 0.46"},
        {local, std::nullopt, 3, std::nullopt, {}, {}},
        {local, std::nullopt, std::nullopt, 0.2, {}, {}},
    };
    for (const auto& c : cases) {
        ReadyOverviewInputs in = baseline();
        in.selectedTranscriptionBackend = c.backend;
        in.diagnosticsSnapshot.lastLocalRuntimeError = c.error;
        in.diagnosticsSnapshot.lastLocalSegmentCount = c.segments;
        in.diagnosticsSnapshot.lastLocalNoSpeechProbability = c.noSpeech;
        // The slot sits between the selected model and the hot key.
        const QList<StatusRow> rows = readyOverviewRows(in);
        const StatusRow expected = c.label.isEmpty() ? rows[5] : StatusRow{c.label, c.value, false};
        EXPECT_EQ(rows[5], expected) << c.label.toStdString();
        EXPECT_EQ(rows[c.label.isEmpty() ? 5 : 6].label, "Hotkey");
    }
}

TEST(ReadyOverviewRows, OptionalRowsComeAfterTheSessionState) {
    ReadyOverviewInputs in = baseline();
    FocusedTargetSnapshot target;
    target.app.localizedName = QStringLiteral("Kate");
    target.element.role = QStringLiteral("AXTextArea");
    in.focusedTarget = target;
    in.lastCaptureSummary = QStringLiteral("2.1 s");
    in.transcriptionTelemetry.lastElapsedMs = 1234;
    in.transcriptionTelemetry.p50ElapsedMs = 1000;
    in.transcriptionTelemetry.p95ElapsedMs = 4000;
    EXPECT_EQ(readyOverviewRows(in).mid(10), (QList<StatusRow>{
                                                 {"Focused target", "Kate \u2022 AXTextArea", false},
                                                 {"Last capture", "2.1 s", false},
                                                 {"Latency", *in.transcriptionTelemetry.summaryLine(), false},
                                                 {"Target", in.transcriptionTelemetry.targetSummaryLine(), false, true},
                                             }));
    // Without one of the three latencies neither latency row shows.
    in.transcriptionTelemetry.p95ElapsedMs.reset();
    EXPECT_EQ(readyOverviewRows(in).last().label, "Last capture");
}

}  // namespace
}  // namespace quorvelle
