// The Status tab's rows and the settings panel's microphone options, as pure tables.
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Views/MenuBar/ReadyOverviewRows.h"
#include "Views/Settings/MicrophonePickerModel.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {

void PrintTo(const StatusRow& row, std::ostream* out) {
    *out << '{' << row.label.toStdString() << " = " << row.value.toStdString() << (row.isPrimary ? "" : ", secondary")
         << (row.isSmall ? ", small" : "") << '}';
}

namespace {

ReadyOverviewInputs baseline(const QString& language = QStringLiteral("en")) {
    ReadyOverviewInputs in;
    in.strings = AppStrings(language);
    in.accountStatusLabel = QStringLiteral("Connected");
    in.localRuntimeStatusLabel = QStringLiteral("Ready (CPU)");
    in.selectedLocalModelID = LocalTranscriptionModelID::baseMultilingual;
    in.selectedHotkey = HotkeyShortcut::suggestions().first();
    in.diagnosticsSnapshot.transcriptionLanguageModeLabel = QStringLiteral("Auto");
    in.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Ready.");
    return in;
}

QString valueOf(const QList<StatusRow>& rows, const QString& label) {
    for (const StatusRow& row : rows) {
        if (row.label == label) return row.value;
    }
    return QStringLiteral("<absent>");
}

const StatusRow* rowOf(const QList<StatusRow>& rows, const QString& label) {
    for (const StatusRow& row : rows) {
        if (row.label == label) return &row;
    }
    return nullptr;
}

TEST(ReadyOverviewRows, EveryAlwaysShownRowInOrderInBothLanguages) {
    const QString model = localModelDescriptor(LocalTranscriptionModelID::baseMultilingual).title;
    const QString badge = AppStrings().sessionStatusBadge(SessionState::idle());
    EXPECT_EQ(readyOverviewRows(baseline()), (QList<StatusRow>{
                                                 {"Transcription", "Cloud"},
                                                 {"Language detection", "Auto", false},
                                                 {"Cloud account", "Connected"},
                                                 {"Local runtime", "Ready (CPU)"},
                                                 {"Local model", model},
                                                 {"Hotkey", "Control + Alt + Space"},
                                                 {"Recording mode", "Push-to-Talk"},
                                                 {"Hotkey listener", "Passive"},
                                                 {"Readiness", "Ready."},
                                                 {"Session state", badge},
                                             }));

    ReadyOverviewInputs turkish = baseline(QStringLiteral("tr"));
    turkish.selectedTranscriptionBackend = TranscriptionBackend::local;
    turkish.isHotkeyMonitoringActive = true;
    turkish.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Hazır.");
    turkish.runtimeState = SessionState::recording();
    QStringList labels;
    for (const StatusRow& row : readyOverviewRows(turkish))
        labels << row.label;
    EXPECT_EQ(labels, (QStringList{"Transcription", "Dil algılama", "Bulut hesabı", "Yerel runtime", "Yerel model",
                                   "Hotkey", "Kayıt modu", "Hotkey listener", "Hazırlık", "Session durumu"}));
    const QList<StatusRow> rows = readyOverviewRows(turkish);
    EXPECT_EQ(valueOf(rows, "Transcription"), "Yerel");
    EXPECT_EQ(valueOf(rows, "Kayıt modu"), "Basılı tut");
    EXPECT_EQ(valueOf(rows, "Hotkey listener"), "Aktif");
    EXPECT_EQ(valueOf(rows, "Session durumu"), AppStrings("tr").sessionStatusBadge(SessionState::recording()));
    EXPECT_TRUE(rowOf(rows, "Hazırlık")->isPrimary);
}

TEST(ReadyOverviewRows, ValuesFollowTheirInputs) {
    struct Case {
        const char* name;
        std::function<void(ReadyOverviewInputs&)> change;
        const char* label;
        const char* value;
        bool isPrimary;
    };
    const Case cases[] = {
        {"an empty language code is English", [](auto& in) { in.strings = AppStrings(QString()); }, "Transcription",
         "Cloud", true},
        {"toggle reads the same in Turkish",
         [](auto& in) {
             in.strings = AppStrings("tr");
             in.selectedRecordingTriggerMode = RecordingTriggerMode::toggle;
         },
         "Kayıt modu", "Toggle", true},
        {"listener active", [](auto& in) { in.isHotkeyMonitoringActive = true; }, "Hotkey listener", "Active", true},
        {"missing items recede",
         [](auto& in) { in.diagnosticsSnapshot.recordingReadinessSummary = "Missing: Microphone."; }, "Readiness",
         "Missing: Microphone.", false},
        {"Turkish missing items recede",
         [](auto& in) {
             in.strings = AppStrings("tr");
             in.diagnosticsSnapshot.recordingReadinessSummary = "Eksik: Mikrofon.";
         },
         "Hazırlık", "Eksik: Mikrofon.", false},
        {"local engine rows recede under local",
         [](auto& in) { in.selectedTranscriptionBackend = TranscriptionBackend::local; }, "Local runtime",
         "Ready (CPU)", false},
    };
    for (const Case& c : cases) {
        ReadyOverviewInputs in = baseline();
        c.change(in);
        const QList<StatusRow> rows = readyOverviewRows(in);
        const StatusRow* row = rowOf(rows, c.label);
        ASSERT_TRUE(row) << c.name;
        EXPECT_EQ(row->value, c.value) << c.name;
        EXPECT_EQ(row->isPrimary, c.isPrimary) << c.name;
    }
}

TEST(ReadyOverviewRows, TheLocalSlotShowsTheErrorOrTheAnalysisOrNothing) {
    struct Case {
        const char* name;
        TranscriptionBackend backend;
        std::optional<QString> error;
        std::optional<qint64> segments;
        std::optional<double> noSpeech;
        QString expectedLabel;  // empty: no row in the slot
        QString expectedValue;
    };
    const auto local = TranscriptionBackend::local;
    const auto cloud = TranscriptionBackend::cloud;
    const Case cases[] = {
        {"cloud hides an old error", cloud, "model missing", 3, 0.5, {}, {}},
        {"local error", local, "model missing", std::nullopt, std::nullopt, "Local error", "model missing"},
        {"an error hides the analysis", local, "model missing", 3, 0.5, "Local error", "model missing"},
        {"analysis rounds to two places", local, std::nullopt, 3, 0.456, "Local analysis", "segment 3, no-speech 0.46"},
        {"segments alone show nothing", local, std::nullopt, 3, std::nullopt, {}, {}},
        {"probability alone shows nothing", local, std::nullopt, std::nullopt, 0.2, {}, {}},
    };
    for (const Case& c : cases) {
        ReadyOverviewInputs in = baseline();
        in.selectedTranscriptionBackend = c.backend;
        in.diagnosticsSnapshot.lastLocalRuntimeError = c.error;
        in.diagnosticsSnapshot.lastLocalSegmentCount = c.segments;
        in.diagnosticsSnapshot.lastLocalNoSpeechProbability = c.noSpeech;
        const QList<StatusRow> rows = readyOverviewRows(in);
        // The slot sits between the selected model and the hot key.
        ASSERT_EQ(rows[4].label, "Local model") << c.name;
        if (c.expectedLabel.isEmpty()) {
            EXPECT_EQ(rows[5].label, "Hotkey") << c.name;
        } else {
            EXPECT_EQ(rows[5], (StatusRow{c.expectedLabel, c.expectedValue, false})) << c.name;
            EXPECT_EQ(rows[6].label, "Hotkey") << c.name;
        }
    }
}

TEST(ReadyOverviewRows, OptionalRowsComeAfterTheSessionState) {
    ReadyOverviewInputs in = baseline();
    FocusedTargetSnapshot target;
    target.app.localizedName = QStringLiteral("Kate");
    target.element.role = QStringLiteral("AXTextArea");
    in.focusedTarget = target;
    in.lastCaptureSummary = QStringLiteral("2.1 s, 16 kHz");
    in.transcriptionTelemetry.lastElapsedMs = 1234;
    in.transcriptionTelemetry.p50ElapsedMs = 1000;
    in.transcriptionTelemetry.p95ElapsedMs = 4000;
    const QList<StatusRow> rows = readyOverviewRows(in);
    EXPECT_EQ(rows.mid(10), (QList<StatusRow>{
                                {"Focused target", "Kate \u2022 AXTextArea", false},
                                {"Last capture", "2.1 s, 16 kHz", false},
                                {"Latency", *in.transcriptionTelemetry.summaryLine(), false},
                                {"Target", in.transcriptionTelemetry.targetSummaryLine(), false, true},
                            }));

    // Without one of the three latencies neither latency row shows.
    in.transcriptionTelemetry.p95ElapsedMs.reset();
    in.focusedTarget.reset();
    const QList<StatusRow> fewer = readyOverviewRows(in);
    EXPECT_EQ(fewer.size(), 11);
    EXPECT_EQ(fewer.last().label, "Last capture");
}

TEST(MicrophonePickerOptions, DefaultThenUnpluggedChoiceThenDevices) {
    using Option = MicrophonePickerModel::Option;
    const QList<AudioDeviceInfo> devices{{1, "usb", "USB Mic", false}, {2, "builtin", "Built-in", true}};
    const AudioInputDevicePreference unplugged{"gone", "Old Mic"};
    const AudioInputDevicePreference plugged{"builtin", "Built-in"};

    const auto none = MicrophonePickerModel::options(AppStrings("tr"), devices, std::nullopt, {});
    EXPECT_EQ(none, (QList<Option>{{"Sistem Varsayılanı", std::nullopt}, {"USB Mic", "usb"}, {"Built-in", "builtin"}}));
    EXPECT_EQ(MicrophonePickerModel::selectedIndex(none, std::nullopt), 0);

    const auto stale = MicrophonePickerModel::options(AppStrings(), devices, unplugged, "Old Mic (bagli degil)");
    EXPECT_EQ(stale[0].title, "System Default");
    EXPECT_EQ(stale[1], (Option{"Old Mic (bagli degil)", "gone"}));
    EXPECT_EQ(MicrophonePickerModel::selectedIndex(stale, unplugged), 1);

    const auto present = MicrophonePickerModel::options(AppStrings(), devices, plugged, {});
    EXPECT_EQ(present.size(), 3);
    EXPECT_EQ(MicrophonePickerModel::selectedIndex(present, plugged), 2);
}

}  // namespace
}  // namespace quorvelle
