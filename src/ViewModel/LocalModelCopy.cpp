#include "ViewModel/LocalModelCopy.h"

#include "Models/QuorvelleError.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/LocalModelManagerError.h"

#include <QLocale>

#include <algorithm>

namespace quorvelle {

namespace {

QString title(LocalTranscriptionModelID id) {
    return localModelDescriptor(id).title;
}

QString accelerationLabel(LocalWhisperAccelerationMode mode) {
    return mode == LocalWhisperAccelerationMode::accelerated ? QStringLiteral("GPU") : QStringLiteral("CPU");
}

// Why a download failed, as the clause after the row's opening words.
QString downloadFailureReason(const AppStrings& strings, const std::exception_ptr& failure) {
    using Network = QNetworkReply::NetworkError;
    try {
        std::rethrow_exception(failure);
    } catch (const WebRequestError& error) {
        const Network code = error.networkError();
        if (code == Network::TimeoutError)
            return strings.localized(
                u"the download stopped making progress. Check your internet connection and try again.",
                u"indirme ilerlemiyor. İnternet bağlantınızı kontrol edip tekrar deneyin.");
        if (error.errorCase() == WebRequestError::Case::responseTooLarge)
            return strings.localized(u"the model host sent an unexpected file. Try again later.",
                                     u"model sunucusu beklenmeyen bir dosya gönderdi. Daha sonra tekrar deneyin.");
        if (code == Network::HostNotFoundError || code == Network::ConnectionRefusedError ||
            code == Network::TemporaryNetworkFailureError || code == Network::NetworkSessionFailedError ||
            code == Network::UnknownNetworkError || code == Network::ProxyConnectionRefusedError ||
            code == Network::ProxyNotFoundError)
            return strings.localized(
                u"the network or the model host is unreachable. Check your internet connection "
                u"and try again.",
                u"ağa veya model sunucusuna ulaşılamıyor. İnternet bağlantınızı kontrol edip "
                u"tekrar deneyin.");
        return strings.localized(u"the connection was interrupted. Try again.", u"bağlantı kesildi. Tekrar deneyin.");
    } catch (const QuorvelleError& error) {
        if (error.errorCase() == QuorvelleErrorCase::networkUnavailable)
            return strings.localized(u"the model host refused the download. Try again later.",
                                     u"model sunucusu indirmeyi reddetti. Daha sonra tekrar deneyin.");
        return strings.localized(u"the model host sent an empty file. Try again later.",
                                 u"model sunucusu boş bir dosya gönderdi. Daha sonra tekrar deneyin.");
    } catch (const LocalModelFileError& error) {
        if (error.errorCase() == LocalModelFileError::Case::noSpace)
            return strings.localized(u"there is not enough disk space. Free up some space and try again.",
                                     u"yeterli disk alanı yok. Biraz yer açıp tekrar deneyin.");
        return strings.localized(u"the model file could not be saved (", u"model dosyası kaydedilemedi (") +
               error.systemMessage() +
               strings.localized(u"). Check the models folder and try again.",
                                 u"). Modeller klasörünü kontrol edip tekrar deneyin.");
    } catch (...) {
    }
    return {};
}

}  // namespace

QString LocalModelCopy::downloadFailureText(const AppStrings& strings, const std::exception_ptr& failure) {
    const QString opening = strings.localized(u"Download could not be completed", u"İndirme tamamlanamadı");
    const QString reason = downloadFailureReason(strings, failure);
    return reason.isEmpty() ? opening : opening + QStringLiteral(": ") + reason;
}

QString LocalModelCopy::modelDownloadFailedMessage(const AppStrings& strings, LocalTranscriptionModelID id,
                                                   const std::exception_ptr& failure) {
    const QString reason = downloadFailureReason(strings, failure);
    if (reason.isEmpty()) return modelDownloadFailedMessage(strings, id);
    // The reason as a sentence of its own; Turkish capitals are dotted ("indirme" gives "İndirme").
    const QLocale locale(strings.isTurkish() ? QLocale::Turkish : QLocale::English);
    return modelDownloadFailedMessage(strings, id) + QLatin1Char(' ') + locale.toUpper(reason.left(1)) + reason.mid(1);
}

QString LocalModelCopy::runtimeStatusLabel() const {
    if (const auto& reason = localRuntimeAvailability.unavailableReason()) return *reason;
    const QString mode = selectedLocalWhisperAccelerationMode == LocalWhisperAccelerationMode::accelerated
                             ? QStringLiteral("GPU dene")
                             : QStringLiteral("CPU");
    return appStrings.localized(u"Ready (", u"Hazır (") + mode + QLatin1Char(')');
}

bool LocalModelCopy::hasInstalledModel() const {
    return std::any_of(localModelStatuses.begin(), localModelStatuses.end(), [](const LocalModelStatus& status) {
        return status.installState.kind() == LocalModelInstallState::Kind::installed;
    });
}

std::optional<LocalModelStatus> LocalModelCopy::selectedModelStatus() const {
    for (const LocalModelStatus& status : localModelStatuses)
        if (status.id == selectedLocalModelID) return status;
    return std::nullopt;
}

QString LocalModelCopy::statusDetail() const {
    if (const auto& reason = localRuntimeAvailability.unavailableReason())
        return appStrings.localized(u"Local speech runtime is not ready. ", u"Yerel speech runtime hazır değil. ") +
               *reason;
    if (activeLocalModelDownloadID)
        return title(*activeLocalModelDownloadID) +
               appStrings.localized(u" is downloading. Finish or cancel it before starting another model.",
                                    u" indiriliyor. Başka bir model için önce bu indirmeyi bitirin veya iptal edin.");
    if (lastLocalRuntimeError && selectedTranscriptionBackend == TranscriptionBackend::local)
        return appStrings.localized(u"Last local error: ", u"Son yerel hata: ") + *lastLocalRuntimeError;
    if (const auto selected = selectedModelStatus()) {
        if (selected->descriptor.warningTier == LocalModelWarningTier::elevated)
            return QStringLiteral("Daha yuksek RAM ve daha uzun yukleme suresi bekleyin.");
        if (selected->descriptor.warningTier == LocalModelWarningTier::heavy)
            return QStringLiteral("Yaklasik 2.9 GiB disk ister. Daha guclu cihazlarda daha rahattir.");
    }
    if (hasInstalledModel()) {
        const QString label = accelerationLabel(selectedLocalWhisperAccelerationMode);
        return appStrings.localized(u"After setup, local mode works without internet or an API key in ",
                                    u"Model kurulduktan sonra yerel mod internetsiz, API key gerektirmeden ve ") +
               label + appStrings.localized(u" mode.", u" modunda çalışır.");
    }
    return appStrings.localized(u"Download and select Tiny, Base, Small, Medium, or Large v3.",
                                u"Tiny, Base, Small, Medium veya Large v3 modellerinden birini indirip seçin.");
}

LocalModelCopy::Outcome LocalModelCopy::accelerationModeMessage(const AppStrings& strings,
                                                                LocalWhisperAccelerationMode mode,
                                                                LocalWhisperAccelerationMode current) {
    if (mode == current)
        return {strings.localized(u"Local runtime mode is already selected.", u"Local runtime modu zaten seçili."),
                false};
    return {strings.localized(u"Local runtime mode updated: ", u"Local runtime modu güncellendi: ") +
                accelerationLabel(mode) + QLatin1Char('.'),
            true};
}

LocalModelCopy::Outcome LocalModelCopy::modelSelectionMessage(const AppStrings& strings, LocalTranscriptionModelID id,
                                                              LocalTranscriptionModelID previous, bool isInstalled) {
    if (id == previous)
        return {strings.localized(u"Local model is already selected.", u"Local model zaten seçili."), false};
    if (isInstalled)
        return {strings.localized(u"Local model selection updated: ", u"Local model seçimi güncellendi: ") + title(id) +
                    QLatin1Char('.'),
                true};
    return {strings.localized(u"Local model selected. Download it before activating.",
                              u"Local model seçildi. Aktifleştirmek için önce modeli indirin."),
            true};
}

QString LocalModelCopy::downloadBlockedMessage(const AppStrings& strings, LocalTranscriptionModelID id) {
    return title(id) + strings.localized(u" is downloading. Finish or cancel it before starting a new download.",
                                         u" indiriliyor. Yeni indirme için önce onu tamamlayın veya iptal edin.");
}

QString LocalModelCopy::downloadCancelledMessage(const AppStrings& strings, LocalTranscriptionModelID id) {
    return title(id) + strings.localized(u" download cancelled.", u" indirmesi iptal edildi.");
}

QString LocalModelCopy::modelDownloadedMessage(const AppStrings& strings, LocalTranscriptionModelID id) {
    return title(id) + strings.localized(u" model downloaded.", u" modeli indirildi.");
}

QString LocalModelCopy::modelDownloadFailedMessage(const AppStrings& strings, LocalTranscriptionModelID id) {
    return title(id) + strings.localized(u" could not be downloaded.", u" indirilemedi.");
}

QString LocalModelCopy::modelDeletedMessage(const AppStrings& strings, LocalTranscriptionModelID id) {
    return title(id) + strings.localized(u" model deleted.", u" modeli silindi.");
}

QString LocalModelCopy::modelDeleteFailedMessage(const AppStrings& strings, LocalTranscriptionModelID id) {
    return title(id) + strings.localized(u" model could not be deleted.", u" modeli silinemedi.");
}

QString LocalModelCopy::modelVerificationFailedMessage(const AppStrings& strings, const QString& modelTitle) {
    return modelTitle + strings.localized(u" model could not be verified. Download it again.",
                                          u" modeli doğrulanamadı. Tekrar indirin.");
}

}  // namespace quorvelle
