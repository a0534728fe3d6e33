#include "Views/MenuBar/ReadyOverviewRows.h"

#include "Models/LocalTranscriptionModelDescriptor.h"

namespace quorvelle {

namespace {

// The focused element's role in plain words ("AXTextArea" reads "text area"): the role names the
// delivery rules use internally mean nothing to a user of this desktop.
QString plainRoleName(const QString& roleName) {
    QString plain;
    for (const QChar c : roleName.startsWith(u"AX") ? roleName.mid(2) : roleName) {
        if (c.isUpper() && !plain.isEmpty()) plain += u' ';
        plain += c.toLower();
    }
    return plain;
}

QString targetDescription(const FocusedTargetSnapshot& target) {
    const QString app =
        target.app.localizedName.value_or(target.app.bundleIdentifier.value_or(QStringLiteral("Unknown App")));
    return app + QStringLiteral(" \u2022 ") +
           plainRoleName(target.element.subrole.value_or(target.element.role.value_or(QStringLiteral("AXUnknown"))));
}

}  // namespace

QList<StatusRow> readyOverviewRows(const ReadyOverviewInputs& in) {
    const AppStrings& s = in.strings;
    const auto text = [&s](const char16_t* english, const char16_t* turkish) { return s.localized(english, turkish); };
    const bool isLocal = in.selectedTranscriptionBackend == TranscriptionBackend::local;
    const DiagnosticsSnapshot& diagnostics = in.diagnosticsSnapshot;
    QList<StatusRow> rows;

    rows.append({QStringLiteral("Transcription"), isLocal ? text(u"Local", u"Yerel") : text(u"Cloud", u"Bulut")});
    rows.append({text(u"Language detection", u"Dil algılama"), diagnostics.transcriptionLanguageModeLabel, false});
    rows.append({text(u"Cloud account", u"Bulut hesabı"), in.accountStatusLabel});
    // The local engine's rows recede while the local engine is the one in use.
    rows.append({text(u"Local runtime", u"Yerel runtime"), in.localRuntimeStatusLabel, !isLocal});
    rows.append({text(u"Local model", u"Yerel model"), localModelDescriptor(in.selectedLocalModelID).title, !isLocal});
    if (isLocal && diagnostics.lastLocalRuntimeError) {
        rows.append({text(u"Local error", u"Yerel hata"), *diagnostics.lastLocalRuntimeError, false});
    } else if (isLocal && diagnostics.lastLocalSegmentCount && diagnostics.lastLocalNoSpeechProbability) {
        const QString analysis = QStringLiteral("segment %1, no-speech %2")
                                     .arg(*diagnostics.lastLocalSegmentCount)
                                     .arg(*diagnostics.lastLocalNoSpeechProbability, 0, 'f', 2);
        rows.append({text(u"Local analysis", u"Yerel analiz"), analysis, false});
    }
    rows.append({QStringLiteral("Hotkey"), in.selectedHotkey.displayTitle});
    rows.append({text(u"Recording mode", u"Kayıt modu"), in.selectedRecordingTriggerMode == RecordingTriggerMode::toggle
                                                             ? QStringLiteral("Toggle")
                                                             : text(u"Push-to-Talk", u"Basılı tut")});
    rows.append({QStringLiteral("Hotkey listener"),
                 in.isHotkeyMonitoringActive ? text(u"Active", u"Aktif") : text(u"Passive", u"Pasif")});
    const QString& readiness = diagnostics.recordingReadinessSummary;
    rows.append({text(u"Readiness", u"Hazırlık"), readiness, readiness == u"Ready." || readiness == u"Hazır."});
    rows.append({text(u"Session state", u"Session durumu"),
                 s.sessionStatusBadge(in.runtimeState, in.selectedTranscriptionBackend)});
    if (in.focusedTarget) {
        rows.append({text(u"Focused target", u"Odaktaki hedef"), targetDescription(*in.focusedTarget), false});
    }
    if (in.lastCaptureSummary) {
        rows.append({text(u"Last capture", u"Son capture"), *in.lastCaptureSummary, false});
    }
    if (const std::optional<QString> latency = in.transcriptionTelemetry.summaryLine()) {
        rows.append({QStringLiteral("Latency"), *latency, false});
        rows.append({text(u"Target", u"Hedef"), in.transcriptionTelemetry.targetSummaryLine(), false, true});
    }
    return rows;
}

}  // namespace quorvelle
