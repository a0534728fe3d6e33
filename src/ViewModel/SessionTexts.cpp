#include "ViewModel/SessionTexts.h"

namespace quorvelle::SessionTexts {

Failure sessionFailure(std::exception_ptr thrown, const AppStrings& strings) {
    const QuorvelleError unexpected(QuorvelleErrorCase::unexpectedRuntimeFailure);
    try {
        std::rethrow_exception(thrown);
    } catch (const QuorvelleError& error) {
        return {error, strings.errorMessage(error)};
    } catch (const AudioCaptureError& error) {
        return {unexpected, captureErrorMessage(error.errorCase(), strings)};
    } catch (...) {
        return {unexpected, unexpectedError(strings)};
    }
}

QString captureErrorMessage(AudioCaptureErrorCase errorCase, const AppStrings& strings) {
    using C = AudioCaptureErrorCase;
    switch (errorCase) {
        case C::captureAlreadyRunning: return strings.localized(u"Recording is already active.", u"Kayıt zaten aktif.");
        case C::captureNotRunning: return strings.localized(u"No active audio recording.", u"Aktif ses kaydı yok.");
        case C::targetFormatUnavailable:
        case C::converterUnavailable:
        case C::engineStartFailed:
            return strings.localized(u"Audio capture could not be started.", u"Audio capture başlatılamadı.");
        case C::inputDeviceSelectionFailed:
            return strings.localized(u"Selected microphone could not be activated.",
                                     u"Seçilen mikrofon etkinleştirilemedi.");
    }
    return unexpectedError(strings);
}

QString signInRequired(const AppStrings& strings) {
    return strings.localized(u"Sign in to your Quorvelle account.", u"Quorvelle hesabına giriş yapın.");
}

QString soundServerUnreachable(const AppStrings& strings) {
    return strings.localized(u"The sound server is not reachable. Start PipeWire or PulseAudio and try again.",
                             u"Ses sunucusuna ulaşılamıyor. PipeWire veya PulseAudio'yu başlatıp tekrar deneyin.");
}

QString recordingTooShortMessage(RecordingTriggerMode mode, double durationSeconds, const AppStrings& strings) {
    const QString seconds = QString::number(durationSeconds, 'f', 2);
    if (mode == RecordingTriggerMode::toggle) {
        return strings
            .localized(u"Recording is too short (%1 sec). Press the hotkey and speak, then press again to finish.",
                       u"Kayıt çok kısa (%1 sn). Hotkey'e basıp konuşun, bitirmek için tekrar basın.")
            .arg(seconds);
    }
    return strings
        .localized(u"Recording is too short (%1 sec). Hold the hotkey and speak.",
                   u"Kayıt çok kısa (%1 sn). Hotkey'i basılı tutup konuşun.")
        .arg(seconds);
}

QString noAudioDetectedMessage(const AudioCaptureDebugSnapshot& snapshot, const AppStrings& strings) {
    if (!snapshot.didObserveAudioFrames) {
        return strings.localized(
            u"No audio detected. The selected device produced no audio frames; check microphone "
            u"routing and driver status.",
            u"Ses algılanmadı. Seçili cihazdan audio frame gelmedi; mikrofon routing ve driver "
            u"durumunu kontrol edin.");
    }
    if (!snapshot.didObserveNonSilentAudio) {
        return strings.localized(
            u"No audio detected. Audio frames arrived but no non-silent samples were found; "
            u"check mixer and input routing.",
            u"Ses algılanmadı. Audio frame geldi ama non-silent sample yok; mixer ve giriş "
            u"routing'ini kontrol edin.");
    }
    return strings.localized(u"No audio detected. Check microphone and input level.",
                             u"Ses algılanmadı. Mikrofonu ve giriş seviyesini kontrol edin.");
}

QString unexpectedError(const AppStrings& strings) {
    return strings.localized(u"Unexpected error. Try again.", u"Beklenmeyen bir hata oluştu. Tekrar deneyin.");
}

QString cooldownMessage(int seconds) {
    return QStringLiteral("Çok fazla istek gönderildi. %1 saniye sonra tekrar deneyin.").arg(seconds);
}

QString rateLimitedMessage(const QuorvelleError& error, std::optional<int> seconds, const AppStrings& strings) {
    const bool rateLimit = error.errorCase() == QuorvelleErrorCase::rateLimited ||
                           error.errorCase() == QuorvelleErrorCase::rateLimitedRetryAfter;
    if (rateLimit && seconds) return cooldownMessage(*seconds);
    return strings.errorMessage(error);
}

QString maximumDurationMessage(double seconds, const AppStrings& strings) {
    return strings
        .localized(u"Recording was automatically stopped after the %1 sec maximum.",
                   u"Kayıt maksimum %1 sn sonra otomatik durduruldu.")
        .arg(QString::number(seconds, 'f', 0));
}

QString localNotReadyMessage(bool runtimeAvailable, const AppStrings& strings) {
    if (!runtimeAvailable)
        return strings.localized(u"Embedded runtime is not ready.", u"Embedded runtime hazır değil.");
    return strings.localized(u"Local model is not ready.", u"Local model hazır değil.");
}

QString hotkeyStartFailed(const AppStrings& strings) {
    return strings.localized(u"Hotkey listener could not be started.", u"Hotkey dinleyici başlatılamadı.");
}

QString wordsMayBeInSecureField(const AppStrings& strings) {
    return strings.localized(u"The words may have gone into a password field. Check it before you go on.",
                             u"Sözler bir parola alanına gitmiş olabilir. Devam etmeden önce kontrol edin.");
}

Block blocked(SessionBlockReason reason) {
    switch (reason) {
        case SessionBlockReason::noWritableTarget:
            return {QStringLiteral("Yazılabilir bir alan seçin."),
                    QStringLiteral("runtime.blocked.no_writable_target")};
        case SessionBlockReason::secureField:
            return {QStringLiteral("Secure field algılandı."), QStringLiteral("runtime.blocked.secure_field")};
        case SessionBlockReason::permissionsMissing: break;
    }
    return {QStringLiteral("İzinler eksik."), QStringLiteral("runtime.blocked.permissions_missing")};
}

LocalRunFailure localRuntimeFailure(const LocalTranscriptionRuntimeError& error, const AppStrings& strings) {
    using C = LocalTranscriptionRuntimeErrorCase;
    const QuorvelleError unexpected(QuorvelleErrorCase::unexpectedRuntimeFailure);
    const QString& title = error.modelTitle();
    switch (error.errorCase()) {
        case C::runtimeUnavailable:
            return {strings.localized(u"Local runtime is not ready: ", u"Local runtime hazır değil: ") + error.reason(),
                    true, unexpected, QStringLiteral("runtime.error.local_runtime_unavailable")};
        case C::modelMissing:
            return {title + strings.localized(u" model was not found. Download it again.",
                                              u" modeli bulunamadı. Tekrar indirin."),
                    true, unexpected, QStringLiteral("runtime.error.local_model_missing")};
        case C::modelLoadFailed:
            return {title + strings.localized(u" model could not be loaded.", u" modeli yüklenemedi."), true,
                    unexpected, QStringLiteral("runtime.error.local_model_load_failed")};
        case C::transcriptionFailed:
            return {strings.isTurkish() ? title + QStringLiteral(" ile transcription tamamlanamadı.")
                                        : QStringLiteral("Transcription could not be completed with ") + title + u'.',
                    true, unexpected, QStringLiteral("runtime.error.local_transcription_failed")};
        case C::noSpeechDetected:
            return {strings.localized(u"No speech detected. Try again.", u"Konuşma algılanamadı. Tekrar deneyin."),
                    false, QuorvelleError(QuorvelleErrorCase::noSpeechDetected),
                    QStringLiteral("runtime.error.no_speech_detected")};
        case C::emptyTranscript: break;
    }
    return {title + strings.localized(u" model produced no text.", u" modeli metin üretemedi."), true, unexpected,
            QStringLiteral("runtime.error.local_transcription_empty")};
}

Insertion insertionResult(TextInsertionOutcome outcome) {
    switch (outcome) {
        case TextInsertionOutcome::insertedAtCaret:
            return {QStringLiteral("Metin eklendi."), QStringLiteral("runtime.insert.inserted_at_caret")};
        case TextInsertionOutcome::replacedSelection:
            return {QStringLiteral("Seçili metin değiştirildi."), QStringLiteral("runtime.insert.replaced_selection")};
        case TextInsertionOutcome::pastedViaClipboard:
            return {QStringLiteral("Metin yapıştırıldı."), QStringLiteral("runtime.insert.pasted_via_clipboard")};
        case TextInsertionOutcome::pasteSentUnverified: break;
    }
    return {QStringLiteral("Yapıştırma gönderildi. Metin panoda tutuldu."),
            QStringLiteral("runtime.insert.paste_sent_unverified")};
}

Insertion pasteSentNotOnClipboard() {
    return {QStringLiteral("Yapıştırma gönderildi."), QStringLiteral("runtime.insert.paste_sent_unverified")};
}

QString insertionFailureReason(TextInsertionError::Case errorCase) {
    using C = TextInsertionError::Case;
    switch (errorCase) {
        case C::accessibilityPermissionMissing:
            return QStringLiteral("Accessibility permission missing during text insertion.");
        case C::missingTargetReference:
            return QStringLiteral("Focused target reference became unavailable before insertion.");
        case C::unsupportedTarget: return QStringLiteral("Focused target does not support direct text insertion.");
        case C::insertionLocationUnavailable:
            return QStringLiteral("Unable to resolve insertion range for the focused target.");
        case C::replacementHintMismatch:
            return QStringLiteral("Previous Quorvelle insertion no longer matched the focused target.");
        case C::writeFailed: break;
    }
    return QStringLiteral("Direct text insertion write failed for the focused target.");
}

QString pasteFailureReason(SyntheticPasteError::Case errorCase) {
    switch (errorCase) {
        case SyntheticPasteError::Case::frontmostApplicationChanged:
            return QStringLiteral("Frontmost application changed before paste.");
        case SyntheticPasteError::Case::eventSourceUnavailable:
            return QStringLiteral("Unable to create keyboard event source for synthetic paste.");
        case SyntheticPasteError::Case::eventCreationFailed: break;
    }
    return QStringLiteral("Unable to build synthetic Ctrl+V events.");
}

}  // namespace quorvelle::SessionTexts
