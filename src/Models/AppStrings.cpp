#include "Models/AppStrings.h"

#include <utility>

namespace quorvelle {

namespace {

struct TextPair {
    QStringView english;
    QStringView turkish;
};

// Status badges of the popover's status row.
constexpr TextPair kBadgeBlocked{u"Blocked", u"Engellendi"};
constexpr TextPair kBadgeError{u"Error", u"Hata"};
constexpr TextPair kBadgeIdle{u"Idle", u"Boşta"};
constexpr TextPair kBadgeRecording{u"Recording", u"Kayıt alınıyor"};
constexpr TextPair kBadgeUploading{u"Uploading", u"Yükleniyor"};
constexpr TextPair kBadgeTranscribingOnDevice{u"Transcribing", u"Yazıya dökülüyor"};
constexpr TextPair kBadgeInjecting{u"Inserting", u"Metin ekleniyor"};
constexpr TextPair kBadgeCopied{u"Copied", u"Kopyalandı"};
constexpr TextPair kBadgeSuccess{u"Success", u"Başarılı"};

// Title line of the overlay pill.
constexpr TextPair kTitleIdle{u"Quorvelle ready", u"Quorvelle hazır"};
constexpr TextPair kTitleRecording{u"Recording", u"Kayıt alınıyor"};
constexpr TextPair kTitleUploading{u"Uploading transcription", u"Transcription yükleniyor"};
constexpr TextPair kTitleTranscribingOnDevice{u"Transcribing on this computer", u"Bu bilgisayarda yazıya dökülüyor"};
constexpr TextPair kTitleInjecting{u"Inserting text", u"Metin ekleniyor"};
constexpr TextPair kTitleFallbackCopied{u"Copied to clipboard", u"Panoya kopyalandı"};

constexpr TextPair kTitleWritableTargetRequired{u"Writable target required", u"Yazma hedefi gerekli"};
constexpr TextPair kTitleSecureFieldBlocked{u"Secure field blocked", u"Secure alan engellendi"};
constexpr TextPair kTitlePermissionRequired{u"Permission required", u"İzin gerekli"};

// The session sets these Turkish delivery messages whatever the interface language; the
// completion title recognises them only when they match to the character.
struct CompletionRow {
    QStringView deliveryMessage;
    TextPair title;
};
constexpr CompletionRow kCompletionRows[] = {
    {u"Seçili metin değiştirildi.", {u"Selection updated", u"Seçim güncellendi"}},
    {u"Metin eklendi.", {u"Text inserted", u"Metin eklendi"}},
    {u"Metin yapıştırıldı.", {u"Text pasted", u"Metin yapıştırıldı"}},
    {u"Yapıştırma gönderildi. Metin panoda tutuldu.", {u"Paste sent", u"Yapıştırma gönderildi"}},
    // The same, where the words are not on the clipboard afterwards (the user's clipboard came back,
    // or another application's copy took their place).
    {u"Yapıştırma gönderildi.", {u"Paste sent", u"Yapıştırma gönderildi"}},
};
constexpr TextPair kCompletionGeneric{u"Completed", u"Tamamlandı"};

// Failure titles.
constexpr TextPair kFailureAccountSession{u"Account session error", u"Hesap oturumu hatası"};
constexpr TextPair kFailureDictation{u"Dictation failed", u"Dikte tamamlanamadı"};
constexpr TextPair kFailureCooldown{u"Cooldown active", u"Bekleme süresi aktif"};
constexpr TextPair kFailureLoginCodeUsed{u"Login code used", u"Giriş kodu kullanıldı"};
constexpr TextPair kFailureNoSpeech{u"No speech detected", u"Konuşma algılanamadı"};

// Detail line of the overlay pill.
constexpr TextPair kDetailLastCapturePrefix{u"Last capture: ", u"Son capture: "};
constexpr TextPair kDetailIdle{u"Hold-to-talk hotkey ready.", u"Hold-to-talk hotkey hazır."};
constexpr TextPair kDetailRecordingPushToTalk{u"Release to stop capture and start transcription.",
                                              u"Bırakınca capture kapanır ve transcription akışı başlar."};
constexpr TextPair kDetailRecordingToggle{u"Press again to stop capture and start transcription.",
                                          u"Tekrar basınca capture kapanır ve transcription akışı başlar."};
constexpr TextPair kDetailUploading{u"Audio is being sent to the cloud transcription service.",
                                    u"Ses bulut transcription servisine gönderiliyor."};
constexpr TextPair kDetailTranscribingOnDevice{
    u"Your words are being transcribed on this computer; the audio stays here.",
    u"Sözleriniz bu bilgisayarda yazıya dökülüyor; ses bilgisayardan çıkmıyor."};
constexpr TextPair kDetailInjecting{u"Text is being inserted into the target app.",
                                    u"Hedef uygulamaya metin ekleniyor."};
constexpr TextPair kDetailFallbackCopied{u"Text copied to clipboard.", u"Metin panoya kopyalandı."};
constexpr TextPair kDetailSuccess{u"Dictation completed successfully.", u"Dikte başarıyla tamamlandı."};

constexpr TextPair kDetailSelectWritableField{u"Select a writable field.", u"Yazılabilir bir alan seçin."};
constexpr TextPair kDetailSecureField{u"Secure field detected.", u"Secure field algılandı."};
constexpr TextPair kDetailPermissionsMissing{u"Permissions are missing.", u"İzinler eksik."};

// One-line error messages. The retry-after sentence is Turkish in both interfaces.
constexpr QStringView kRetryAfterPrefix = u"Çok fazla istek gönderildi. ";
constexpr QStringView kRetryAfterSuffix = u" saniye sonra tekrar deneyin.";
constexpr TextPair kErrorMicrophonePermission{u"Microphone permission is required.", u"Mikrofon izni gerekli."};
constexpr TextPair kErrorAccessibilityPermission{u"Accessibility permission is required.",
                                                 u"Accessibility izni gerekli."};
constexpr TextPair kErrorInvalidSession{u"Quorvelle session is invalid. Sign in again.",
                                        u"Quorvelle oturumu geçersiz. Tekrar giriş yapın."};
constexpr TextPair kErrorNetworkUnavailable{u"Network connection could not be established.",
                                            u"Ağ bağlantısı kurulamadı."};
constexpr TextPair kErrorRequestTimedOut{u"Request timed out. Try again.",
                                         u"İstek zaman aşımına uğradı. Tekrar deneyin."};
constexpr TextPair kErrorRateLimited{u"Too many requests. Try again.", u"Çok fazla istek gönderildi. Tekrar deneyin."};
constexpr TextPair kErrorProviderTimeout{u"Cloud transcription service timed out. Try again shortly.",
                                         u"Cloud transcription servisi zaman aşımına uğradı. Birazdan tekrar deneyin."};
constexpr TextPair kErrorProviderUnavailable{
    u"Cloud transcription service timed out or is temporarily unavailable. Try again shortly.",
    u"Cloud transcription servisi zaman aşımına uğradı veya geçici olarak kullanılamıyor. Birazdan tekrar deneyin."};
constexpr TextPair kErrorLoginCodeUsed{
    u"This login code was already used. Start Sign In again to get a new code.",
    u"Bu giriş kodu zaten kullanıldı. Yeni bir kod almak için tekrar Giriş Yap başlatın."};
constexpr TextPair kErrorNoSpeech{u"Recording was too short. Hold the hotkey and speak.",
                                  u"Kayıt çok kısa. Hotkey'i basılı tutup konuşun."};
constexpr TextPair kErrorSessionAlreadyActive{u"Another session is already active.", u"Başka bir session zaten aktif."};
constexpr TextPair kErrorUnexpected{u"Unexpected error. Try again.", u"Beklenmeyen bir hata oluştu. Tekrar deneyin."};

// History rows.
constexpr TextPair kHistoryInserted{u"Inserted", u"Eklendi"};
constexpr TextPair kHistoryPasted{u"Pasted", u"Yapıştırıldı"};
constexpr TextPair kHistoryPasteSent{u"Paste sent", u"Paste gönderildi"};
constexpr TextPair kHistoryCopied{u"Copied", u"Kopyalandı"};

// Permission and start-at-login states.
constexpr TextPair kPermissionPending{u"Pending", u"Bekliyor"};
constexpr TextPair kPermissionReady{u"Ready", u"Hazır"};
constexpr TextPair kPermissionMissing{u"Missing", u"Eksik"};

constexpr TextPair kStartAtLoginEnabled{u"Enabled", u"Aktif"};
constexpr TextPair kStartAtLoginOff{u"Off", u"Kapalı"};
constexpr TextPair kStartAtLoginNeedsApproval{u"Needs approval", u"Onay gerekiyor"};
constexpr TextPair kStartAtLoginUnsupported{u"Unsupported", u"Desteklenmiyor"};

// Recording trigger modes.
constexpr TextPair kModePushToTalk{u"Record while the hotkey is held.", u"Hotkey basılı tutulurken kayıt alınır."};
constexpr TextPair kModeToggle{u"Press once to start recording, press again to stop.",
                               u"Kaydı başlatmak için bir kez, bitirmek için tekrar basın."};

// Desktop themes; the brand theme carries the product name in both languages.
constexpr TextPair kThemeQuorvelle{u"Quorvelle", u"Quorvelle"};
constexpr TextPair kThemeBlack{u"Black", u"Siyah"};
constexpr TextPair kThemeLight{u"Light", u"Açık"};

// App language choices.
constexpr TextPair kLanguageSystemTitle{u"System Default", u"Sistem Varsayılanı"};
constexpr TextPair kLanguageEnglishTitle{u"English", u"İngilizce"};
constexpr TextPair kLanguageTurkishTitle{u"Turkish", u"Türkçe"};
constexpr TextPair kLanguageSystemDescription{u"Follow this computer's preferred language.",
                                              u"Bu bilgisayarın tercih edilen dilini takip et."};
constexpr TextPair kLanguageEnglishDescription{u"Use English for Quorvelle menus and screens.",
                                               u"Quorvelle menü ve ekranları için İngilizce kullan."};
constexpr TextPair kLanguageTurkishDescription{u"Use Turkish for Quorvelle menus and screens.",
                                               u"Quorvelle menü ve ekranları için Türkçe kullan."};

// Transcription language picker.
constexpr TextPair kTranscriptionLanguageAuto{u"Auto (Recommended)", u"Otomatik (Önerilen)"};
constexpr QStringView kTurkishTitleOfEnglish = u"İngilizce (en)";
constexpr QStringView kTurkishTitleOfTurkish = u"Türkçe (tr)";

QString pick(const AppStrings& strings, const TextPair& text) {
    return strings.localized(text.english, text.turkish);
}

// A blocked or error state always carries its payload; the fallbacks only keep a malformed
// value from going without text.
SessionBlockReason blockReasonOf(const SessionState& state) {
    return state.blockReason().value_or(SessionBlockReason::permissionsMissing);
}

QuorvelleError errorOf(const SessionState& state) {
    return state.error().value_or(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
}

}  // namespace

AppStrings::AppStrings(QString languageCode) : m_languageCode(std::move(languageCode)) {}

bool AppStrings::isTurkish() const {
    return m_languageCode == u"tr";
}

QString AppStrings::localized(QStringView english, QStringView turkish) const {
    return (isTurkish() ? turkish : english).toString();
}

QString AppStrings::buttonDescription(QStringView action, QStringView subject) const {
    return isTurkish() ? QStringLiteral("%1: %2").arg(subject, action) : QStringLiteral("%1 %2").arg(action, subject);
}

QString AppStrings::completionTitle(const std::optional<QString>& statusMessage) const {
    if (statusMessage) {
        for (const CompletionRow& row : kCompletionRows) {
            if (*statusMessage == row.deliveryMessage) return pick(*this, row.title);
        }
    }
    return pick(*this, kCompletionGeneric);
}

QString AppStrings::sessionStatusBadge(const SessionState& state, TranscriptionBackend backend) const {
    switch (state.kind()) {
        case SessionState::Kind::blocked: return pick(*this, kBadgeBlocked);
        case SessionState::Kind::error: return pick(*this, kBadgeError);
        case SessionState::Kind::idle: return pick(*this, kBadgeIdle);
        case SessionState::Kind::recording: return pick(*this, kBadgeRecording);
        case SessionState::Kind::uploading:
            return pick(*this, backend == TranscriptionBackend::local ? kBadgeTranscribingOnDevice : kBadgeUploading);
        case SessionState::Kind::injecting: return pick(*this, kBadgeInjecting);
        case SessionState::Kind::fallbackCopied: return pick(*this, kBadgeCopied);
        case SessionState::Kind::success: return pick(*this, kBadgeSuccess);
    }
    return pick(*this, kBadgeIdle);
}

QString AppStrings::sessionStateTitle(const SessionState& state, const std::optional<QString>& statusMessage,
                                      TranscriptionBackend backend) const {
    switch (state.kind()) {
        case SessionState::Kind::blocked: return blockedTitle(blockReasonOf(state));
        case SessionState::Kind::error: return failureTitle(errorOf(state));
        case SessionState::Kind::idle: return pick(*this, kTitleIdle);
        case SessionState::Kind::recording: return pick(*this, kTitleRecording);
        case SessionState::Kind::uploading:
            return pick(*this, backend == TranscriptionBackend::local ? kTitleTranscribingOnDevice : kTitleUploading);
        case SessionState::Kind::injecting: return pick(*this, kTitleInjecting);
        case SessionState::Kind::fallbackCopied: return pick(*this, kTitleFallbackCopied);
        case SessionState::Kind::success: return completionTitle(statusMessage);
    }
    return pick(*this, kTitleIdle);
}

QString AppStrings::blockedTitle(SessionBlockReason reason) const {
    switch (reason) {
        case SessionBlockReason::noWritableTarget: return pick(*this, kTitleWritableTargetRequired);
        case SessionBlockReason::secureField: return pick(*this, kTitleSecureFieldBlocked);
        case SessionBlockReason::permissionsMissing: return pick(*this, kTitlePermissionRequired);
    }
    return pick(*this, kTitlePermissionRequired);
}

QString AppStrings::failureTitle(const QuorvelleError& error) const {
    switch (error.errorCase()) {
        case QuorvelleErrorCase::microphonePermissionDenied:
        case QuorvelleErrorCase::accessibilityPermissionDenied: return pick(*this, kTitlePermissionRequired);
        case QuorvelleErrorCase::invalidAPIKey: return pick(*this, kFailureAccountSession);
        case QuorvelleErrorCase::networkUnavailable:
        case QuorvelleErrorCase::requestTimedOut:
        case QuorvelleErrorCase::providerTimeout:
        case QuorvelleErrorCase::providerUnavailable:
        case QuorvelleErrorCase::sessionAlreadyActive:
        case QuorvelleErrorCase::unexpectedRuntimeFailure: return pick(*this, kFailureDictation);
        case QuorvelleErrorCase::rateLimited:
        case QuorvelleErrorCase::rateLimitedRetryAfter: return pick(*this, kFailureCooldown);
        case QuorvelleErrorCase::loginCodeAlreadyUsed: return pick(*this, kFailureLoginCodeUsed);
        case QuorvelleErrorCase::noSpeechDetected: return pick(*this, kFailureNoSpeech);
        case QuorvelleErrorCase::unsupportedTarget: return pick(*this, kTitleWritableTargetRequired);
    }
    return pick(*this, kFailureDictation);
}

QString AppStrings::sessionDetail(const SessionState& state, const std::optional<QString>& message,
                                  const std::optional<QString>& lastCaptureSummary, RecordingTriggerMode mode,
                                  TranscriptionBackend backend) const {
    if (message && !message->isEmpty()) return *message;
    if (lastCaptureSummary && !lastCaptureSummary->isEmpty())
        return pick(*this, kDetailLastCapturePrefix) + *lastCaptureSummary;
    switch (state.kind()) {
        case SessionState::Kind::blocked: return blockedDetail(blockReasonOf(state));
        case SessionState::Kind::error: return errorMessage(errorOf(state));
        case SessionState::Kind::idle: return pick(*this, kDetailIdle);
        case SessionState::Kind::recording:
            return pick(*this,
                        mode == RecordingTriggerMode::toggle ? kDetailRecordingToggle : kDetailRecordingPushToTalk);
        case SessionState::Kind::uploading:
            return pick(*this, backend == TranscriptionBackend::local ? kDetailTranscribingOnDevice : kDetailUploading);
        case SessionState::Kind::injecting: return pick(*this, kDetailInjecting);
        case SessionState::Kind::fallbackCopied: return pick(*this, kDetailFallbackCopied);
        case SessionState::Kind::success: return pick(*this, kDetailSuccess);
    }
    return pick(*this, kDetailIdle);
}

QString AppStrings::blockedDetail(SessionBlockReason reason) const {
    switch (reason) {
        case SessionBlockReason::noWritableTarget: return pick(*this, kDetailSelectWritableField);
        case SessionBlockReason::secureField: return pick(*this, kDetailSecureField);
        case SessionBlockReason::permissionsMissing: return pick(*this, kDetailPermissionsMissing);
    }
    return pick(*this, kDetailPermissionsMissing);
}

QString AppStrings::errorMessage(const QuorvelleError& error) const {
    switch (error.errorCase()) {
        case QuorvelleErrorCase::rateLimitedRetryAfter:
            return kRetryAfterPrefix.toString() + QString::number(error.retryAfterSeconds().value_or(0)) +
                   kRetryAfterSuffix.toString();
        case QuorvelleErrorCase::microphonePermissionDenied: return pick(*this, kErrorMicrophonePermission);
        case QuorvelleErrorCase::accessibilityPermissionDenied: return pick(*this, kErrorAccessibilityPermission);
        case QuorvelleErrorCase::invalidAPIKey: return pick(*this, kErrorInvalidSession);
        case QuorvelleErrorCase::networkUnavailable: return pick(*this, kErrorNetworkUnavailable);
        case QuorvelleErrorCase::requestTimedOut: return pick(*this, kErrorRequestTimedOut);
        case QuorvelleErrorCase::rateLimited: return pick(*this, kErrorRateLimited);
        case QuorvelleErrorCase::providerTimeout: return pick(*this, kErrorProviderTimeout);
        case QuorvelleErrorCase::providerUnavailable: return pick(*this, kErrorProviderUnavailable);
        case QuorvelleErrorCase::loginCodeAlreadyUsed: return pick(*this, kErrorLoginCodeUsed);
        case QuorvelleErrorCase::noSpeechDetected: return pick(*this, kErrorNoSpeech);
        case QuorvelleErrorCase::sessionAlreadyActive: return pick(*this, kErrorSessionAlreadyActive);
        case QuorvelleErrorCase::unsupportedTarget: return pick(*this, kDetailSelectWritableField);
        case QuorvelleErrorCase::unexpectedRuntimeFailure: return pick(*this, kErrorUnexpected);
    }
    return pick(*this, kErrorUnexpected);
}

QString AppStrings::historyCompletionKindLabel(TranscriptHistoryCompletionKind kind) const {
    switch (kind) {
        case TranscriptHistoryCompletionKind::inserted: return pick(*this, kHistoryInserted);
        case TranscriptHistoryCompletionKind::pastedViaClipboard: return pick(*this, kHistoryPasted);
        case TranscriptHistoryCompletionKind::pasteSentUnverified: return pick(*this, kHistoryPasteSent);
        case TranscriptHistoryCompletionKind::copiedToClipboard: return pick(*this, kHistoryCopied);
    }
    return pick(*this, kHistoryInserted);
}

QString AppStrings::permissionStateLabel(PermissionState state) const {
    switch (state) {
        case PermissionState::notDetermined: return pick(*this, kPermissionPending);
        case PermissionState::authorized: return pick(*this, kPermissionReady);
        case PermissionState::denied: return pick(*this, kPermissionMissing);
    }
    return pick(*this, kPermissionPending);
}

QString AppStrings::startAtLoginStatusLabel(StartAtLoginStatus status) const {
    switch (status) {
        case StartAtLoginStatus::enabled: return pick(*this, kStartAtLoginEnabled);
        case StartAtLoginStatus::disabled: return pick(*this, kStartAtLoginOff);
        case StartAtLoginStatus::requiresApproval: return pick(*this, kStartAtLoginNeedsApproval);
        case StartAtLoginStatus::unsupported: return pick(*this, kStartAtLoginUnsupported);
    }
    return pick(*this, kStartAtLoginUnsupported);
}

QString AppStrings::recordingTriggerModeDescription(RecordingTriggerMode mode) const {
    return pick(*this, mode == RecordingTriggerMode::toggle ? kModeToggle : kModePushToTalk);
}

QString AppStrings::desktopThemeTitle(DesktopThemeOption theme) const {
    switch (theme) {
        case DesktopThemeOption::quorvelle: return pick(*this, kThemeQuorvelle);
        case DesktopThemeOption::black: return pick(*this, kThemeBlack);
        case DesktopThemeOption::light: return pick(*this, kThemeLight);
    }
    return pick(*this, kThemeBlack);
}

QString AppStrings::appLanguageOptionTitle(AppLanguageOption option) const {
    switch (option) {
        case AppLanguageOption::system: return pick(*this, kLanguageSystemTitle);
        case AppLanguageOption::english: return pick(*this, kLanguageEnglishTitle);
        case AppLanguageOption::turkish: return pick(*this, kLanguageTurkishTitle);
    }
    return pick(*this, kLanguageSystemTitle);
}

QString AppStrings::appLanguageOptionDescription(AppLanguageOption option) const {
    switch (option) {
        case AppLanguageOption::system: return pick(*this, kLanguageSystemDescription);
        case AppLanguageOption::english: return pick(*this, kLanguageEnglishDescription);
        case AppLanguageOption::turkish: return pick(*this, kLanguageTurkishDescription);
    }
    return pick(*this, kLanguageSystemDescription);
}

QString AppStrings::transcriptionLanguageTitle(const TranscriptionLanguageOption& option) const {
    if (!option.code) return pick(*this, kTranscriptionLanguageAuto);
    if (isTurkish() && *option.code == u"en") return kTurkishTitleOfEnglish.toString();
    if (isTurkish() && *option.code == u"tr") return kTurkishTitleOfTurkish.toString();
    return option.name + QStringLiteral(" (") + *option.code + u')';
}

QString AppStrings::settingsChangeNotSaved() const {
    return localized(u"The change was not saved: the settings file would grow past 16 MiB.",
                     u"Değişiklik kaydedilmedi: ayar dosyası 16 MiB sınırını aşacaktı.");
}

QString AppStrings::singleInstanceUnguarded(const QString& folders) const {
    return localized(
               u"No lock file can be made in %1, so a second copy of Quorvelle could run beside this one "
               u"and overwrite its settings and history. Start it only once until the folder is writable.",
               u"%1 içinde kilit dosyası oluşturulamıyor; bu yüzden Quorvelle'in ikinci bir kopyası bununla "
               u"birlikte çalışıp ayarlarını ve geçmişini ezebilir. Klasör yazılabilir olana dek onu yalnızca "
               u"bir kez başlatın.")
        .arg(folders);
}

// Transcript history.

QString AppStrings::historySaveFailed(const QString& reason) const {
    return localized(
               u"The transcript history could not be saved: %1. The change is kept and saved with the next "
               u"dictation.",
               u"Transcript geçmişi kaydedilemedi: %1. Değişiklik saklanıyor ve bir sonraki dikteyle "
               u"kaydedilecek.")
        .arg(reason);
}

}  // namespace quorvelle
