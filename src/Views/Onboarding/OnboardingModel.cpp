#include "Views/Onboarding/OnboardingModel.h"

#include "Models/RawValueEnum.h"
#include "ViewModel/AppViewModel.h"

namespace quorvelle {

namespace {

QString stateName(LocalModelInstallState::Kind kind) {
    switch (kind) {
        case LocalModelInstallState::Kind::installed: return QStringLiteral("installed");
        case LocalModelInstallState::Kind::failed: return QStringLiteral("failed");
        case LocalModelInstallState::Kind::notInstalled: return QStringLiteral("notInstalled");
        case LocalModelInstallState::Kind::downloading: return QStringLiteral("downloading");
    }
    return QStringLiteral("notInstalled");
}

QString stateTitle(LocalModelInstallState::Kind kind, const AppStrings& strings) {
    switch (kind) {
        case LocalModelInstallState::Kind::installed: return strings.localized(u"Installed", u"Kuruldu");
        case LocalModelInstallState::Kind::failed: return strings.localized(u"Retry needed", u"Tekrar deneme gerekli");
        case LocalModelInstallState::Kind::notInstalled:
            return strings.localized(u"Download required", u"İndirme gerekli");
        case LocalModelInstallState::Kind::downloading: return strings.localized(u"Downloading", u"İndiriliyor");
    }
    return {};
}

// The same words in both languages.
QString primaryTitle(const LocalModelStatus& status) {
    switch (status.installState.kind()) {
        case LocalModelInstallState::Kind::installed:
            return status.isSelected ? QStringLiteral("Selected") : QStringLiteral("Select");
        case LocalModelInstallState::Kind::failed: return QStringLiteral("Retry");
        case LocalModelInstallState::Kind::notInstalled: return QStringLiteral("Download");
        case LocalModelInstallState::Kind::downloading: return QStringLiteral("Cancel");
    }
    return {};
}

// Written in Turkish only, for both languages.
QString warningText(LocalModelWarningTier tier) {
    switch (tier) {
        case LocalModelWarningTier::none: return {};
        case LocalModelWarningTier::elevated:
            return QStringLiteral("Daha yuksek RAM ve daha uzun yukleme suresi bekleyin.");
        case LocalModelWarningTier::heavy:
            return QStringLiteral("Yaklasik 2.9 GiB disk ister. Daha guclu cihazlarda daha rahattir.");
    }
    return {};
}

}  // namespace

OnboardingModel::OnboardingModel(QObject* parent) : QObject(parent) {}

QObject* OnboardingModel::viewModel() const {
    return m_viewModel;
}

void OnboardingModel::setViewModel(QObject* viewModel) {
    auto* model = qobject_cast<AppViewModel*>(viewModel);
    if (model == m_viewModel) return;
    if (m_viewModel) {
        for (QObject* source : std::initializer_list<QObject*>{m_viewModel, m_viewModel->permissions(),
                                                               m_viewModel->account(), m_viewModel->localModels()})
            disconnect(source, nullptr, this, nullptr);
    }
    m_viewModel = model;
    if (model) {
        // Every signal of these objects is a change the screen may show.
        for (QObject* source :
             std::initializer_list<QObject*>{model, model->permissions(), model->account(), model->localModels()}) {
            const QMetaObject* meta = source->metaObject();
            const QMetaMethod changedSlot = metaObject()->method(metaObject()->indexOfSignal("changed()"));
            for (int index = QObject::staticMetaObject.methodCount(); index < meta->methodCount(); ++index) {
                const QMetaMethod method = meta->method(index);
                if (method.methodType() == QMetaMethod::Signal) connect(source, method, this, changedSlot);
            }
        }
    }
    Q_EMIT viewModelChanged();
    Q_EMIT changed();
}

QString OnboardingModel::transcriptionBackend() const {
    return rawValue(m_viewModel ? m_viewModel->localModels()->selectedTranscriptionBackend()
                                : TranscriptionBackend::cloud);
}

bool OnboardingModel::isLocalModeReady() const {
    return m_viewModel && m_viewModel->localModels()->isLocalModeReady();
}

QString OnboardingModel::microphonePermissionLabel() const {
    if (!m_viewModel) return {};
    return m_viewModel->strings().permissionStateLabel(
        m_viewModel->permissions()->onboardingStatus().microphonePermission);
}

QString OnboardingModel::accessibilityPermissionLabel() const {
    if (!m_viewModel) return {};
    return m_viewModel->strings().permissionStateLabel(
        m_viewModel->permissions()->onboardingStatus().accessibilityPermission);
}

QVariant OnboardingModel::challengeUserCode() const {
    const auto& challenge = m_viewModel ? m_viewModel->accountCopy().backendAuthChallenge : std::nullopt;
    return challenge ? QVariant(challenge->userCode) : QVariant::fromValue(nullptr);
}

QVariant OnboardingModel::verificationURLText() const {
    const std::optional<QString> text =
        m_viewModel ? m_viewModel->account()->backendAuthVerificationURLText() : std::nullopt;
    return text ? QVariant(*text) : QVariant::fromValue(nullptr);
}

QString OnboardingModel::runtimeStatusLabel() const {
    return m_viewModel ? m_viewModel->localModels()->localModelCopy().runtimeStatusLabel() : QString();
}

QString OnboardingModel::localStatusDetail() const {
    return m_viewModel ? m_viewModel->localModels()->localModelCopy().statusDetail() : QString();
}

QVariantList OnboardingModel::modelRows() const {
    QVariantList rows;
    if (!m_viewModel) return rows;
    const AppStrings strings = m_viewModel->strings();
    for (const LocalModelStatus& status : m_viewModel->localModels()->localModelStatuses())
        rows.append(rowFor(status, strings));
    return rows;
}

QVariantMap OnboardingModel::rowFor(const LocalModelStatus& status, const AppStrings& strings) {
    const LocalModelInstallState::Kind kind = status.installState.kind();
    return {
        {QStringLiteral("id"), rawValue(status.id)},
        {QStringLiteral("title"), status.descriptor.title},
        {QStringLiteral("subtitle"), status.descriptor.subtitle},
        {QStringLiteral("installState"), stateName(kind)},
        {QStringLiteral("stateTitle"), stateTitle(kind, strings)},
        {QStringLiteral("isSelected"), status.isSelected},
        {QStringLiteral("primaryTitle"), primaryTitle(status)},
        {QStringLiteral("warning"), warningText(status.descriptor.warningTier)},
    };
}

void OnboardingModel::selectTranscriptionBackend(const QString& backend) {
    const std::optional<TranscriptionBackend> value = fromRawValue<TranscriptionBackend>(backend);
    if (m_viewModel && value) m_viewModel->localModels()->selectTranscriptionBackend(*value);
}

void OnboardingModel::chooseLocalMode() {
    if (!m_viewModel) return;
    LocalModelsViewModel* models = m_viewModel->localModels();
    if (models->isLocalModeReady()) {
        models->selectTranscriptionBackend(TranscriptionBackend::local);
    } else {
        models->openLocalModeSetup();
    }
}

void OnboardingModel::runPrimaryModelAction(const QString& modelID) {
    const std::optional<LocalModelStatus> status = statusOf(modelID);
    if (!status) return;
    LocalModelsViewModel* models = m_viewModel->localModels();
    switch (status->installState.kind()) {
        case LocalModelInstallState::Kind::installed: models->selectLocalModel(status->id); return;
        case LocalModelInstallState::Kind::failed:
        case LocalModelInstallState::Kind::notInstalled: models->downloadLocalModel(status->id); return;
        case LocalModelInstallState::Kind::downloading: models->cancelLocalModelDownload(status->id); return;
    }
}

void OnboardingModel::deleteModel(const QString& modelID) {
    if (const std::optional<LocalModelStatus> status = statusOf(modelID))
        m_viewModel->localModels()->deleteLocalModel(status->id);
}

std::optional<LocalModelStatus> OnboardingModel::statusOf(const QString& modelID) const {
    if (!m_viewModel) return std::nullopt;
    for (const LocalModelStatus& status : m_viewModel->localModels()->localModelStatuses()) {
        if (rawValue(status.id) == modelID) return status;
    }
    return std::nullopt;
}

}  // namespace quorvelle
