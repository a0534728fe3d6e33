// The Status tab's rows, as pure tables.
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Views/MenuBar/ReadyOverviewRows.h"

#include <gtest/gtest.h>

namespace quorvelle {

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

TEST(ReadyOverviewRows, TheLocalEngineRowsRecedeWhileInUseAndOnlyTheReadySummaryReadsAsReady) {
    ReadyOverviewInputs in = baseline();
    in.strings = AppStrings("tr");
    in.selectedTranscriptionBackend = TranscriptionBackend::local;
    in.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Hazır.");
    const QString model = localModelDescriptor(LocalTranscriptionModelID::baseMultilingual).title;
    QList<StatusRow> rows = readyOverviewRows(in);
    EXPECT_EQ(rows.size(), 10);
    EXPECT_EQ(rows.mid(3, 2),
              (QList<StatusRow>{{"Yerel runtime", "Ready (CPU)", false}, {"Yerel model", model, false}}));
    EXPECT_EQ(rows[8], (StatusRow{"Hazırlık", "Hazır."}));
    in.selectedTranscriptionBackend = TranscriptionBackend::cloud;
    in.selectedRecordingTriggerMode = RecordingTriggerMode::toggle;
    in.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Eksik: Mikrofon.");
    rows = readyOverviewRows(in);
    EXPECT_EQ(rows.mid(3, 2), (QList<StatusRow>{{"Yerel runtime", "Ready (CPU)"}, {"Yerel model", model}}));
    EXPECT_EQ(QList({rows[6], rows[8]}),
              (QList<StatusRow>{{"Kayıt modu", "Toggle"}, {"Hazırlık", "Eksik: Mikrofon.", false}}));
}

// On this computer nothing is uploaded: the session's state says the words are being transcribed.
TEST(ReadyOverviewRows, TheSessionStateOfAnOnDeviceTranscriptionIsNotAnUpload) {
    const std::tuple<const char*, TranscriptionBackend, const char*> cases[] = {
        {"en", TranscriptionBackend::local, "Transcribing"},
        {"tr", TranscriptionBackend::local, "Yazıya dökülüyor"},
        {"en", TranscriptionBackend::cloud, "Uploading"},
        {"tr", TranscriptionBackend::cloud, "Yükleniyor"},
    };
    for (const auto& [language, backend, state] : cases) {
        ReadyOverviewInputs in = baseline();
        in.strings = AppStrings(QString::fromLatin1(language));
        in.selectedTranscriptionBackend = backend;
        in.runtimeState = SessionState::uploading();
        EXPECT_EQ(readyOverviewRows(in)[9].value, QString::fromUtf8(state)) << language;
    }
}

TEST(ReadyOverviewRows, TheLocalSlotShowsTheErrorOrTheAnalysisOrNothing) {
    const auto local = TranscriptionBackend::local, cloud = TranscriptionBackend::cloud;
    const std::optional<QString> error = QStringLiteral("model missing"), none;
    // backend, error, segments, no-speech, then the row's label and value (nullptr: no row in the slot)
    const std::tuple<TranscriptionBackend, std::optional<QString>, std::optional<qint64>, std::optional<double>,
                     const char*, const char*>
        cases[] = {
            {cloud, error, 3, 0.5, nullptr, nullptr},
            {local, error, std::nullopt, std::nullopt, "Local error", "model missing"},
            {local, error, 3, 0.5, "Local error", "model missing"},
            {local, none, 3, 0.456, "Local analysis", "segment 3, no-speech 0.46"},
            {local, none, 3, std::nullopt, nullptr, nullptr},
            {local, none, std::nullopt, 0.2, nullptr, nullptr},
        };
    for (const auto& [backend, runtimeError, segments, noSpeech, label, value] : cases) {
        ReadyOverviewInputs in = baseline();
        in.selectedTranscriptionBackend = backend;
        in.diagnosticsSnapshot.lastLocalRuntimeError = runtimeError;
        in.diagnosticsSnapshot.lastLocalSegmentCount = segments;
        in.diagnosticsSnapshot.lastLocalNoSpeechProbability = noSpeech;
        // The slot sits between the selected model and the hot key.
        const StatusRow slot = readyOverviewRows(in)[5];
        const StatusRow expected =
            label ? StatusRow{label, value, false} : StatusRow{"Hotkey", "Control + Alt + Space"};
        EXPECT_EQ(slot, expected);
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
                                                 {"Focused target", "Kate \u2022 text area", false},
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
