#include "Views/Dashboard/Pages/AccountCardState.h"

#include "ViewModel/AppViewModel.h"

namespace quorvelle {

AccountCardState::AccountCardState(QObject* parent) : QObject(parent) {}

QObject* AccountCardState::viewModelObject() const {
    return m_viewModel;
}

void AccountCardState::setViewModel(QObject* viewModel) {
    auto* typed = qobject_cast<AppViewModel*>(viewModel);
    if (typed == m_viewModel) return;
    if (m_viewModel) {
        for (QObject* source : std::initializer_list<QObject*>{m_viewModel, m_viewModel->permissions(),
                                                               m_viewModel->account(), m_viewModel->localModels()})
            disconnect(source, nullptr, this, nullptr);
    }
    m_viewModel = typed;
    if (typed) {
        const auto changed = &AccountCardState::changed;
        AccountViewModel* account = typed->account();
        connect(typed, &AppViewModel::stringsChanged, this, changed);
        connect(typed->permissions(), &PermissionsViewModel::onboardingStatusChanged, this, changed);
        connect(account, &AccountViewModel::backendAuthChallengeChanged, this, changed);
        connect(account, &AccountViewModel::isBackendAuthPollingChanged, this, changed);
        connect(account, &AccountViewModel::registeredBackendDeviceIDChanged, this, changed);
        connect(typed->localModels(), &LocalModelsViewModel::selectedTranscriptionBackendChanged, this, changed);
    }
    Q_EMIT changed();
}

QString AccountCardState::cardState() const {
    if (!m_viewModel) return QStringLiteral("notLinked");
    if (m_viewModel->permissions()->onboardingStatus().hasAPIKey) return QStringLiteral("linked");
    if (m_viewModel->account()->backendAuthChallenge()) return QStringLiteral("codePending");
    return QStringLiteral("notLinked");
}

QString AccountCardState::statusLabel() const {
    return m_viewModel ? m_viewModel->accountCopy().accountStatusLabel() : QString();
}

QString AccountCardState::deviceLabel() const {
    return m_viewModel ? m_viewModel->accountCopy().registeredDeviceLabel() : QString();
}

QVariant AccountCardState::userCode() const {
    if (!m_viewModel || !m_viewModel->account()->backendAuthChallenge()) return {};
    return m_viewModel->account()->backendAuthChallenge()->userCode;
}

QVariant AccountCardState::verificationAddress() const {
    const auto address = m_viewModel ? m_viewModel->account()->backendAuthVerificationURLText() : std::nullopt;
    return address ? QVariant(*address) : QVariant();
}

bool AccountCardState::isPolling() const {
    return m_viewModel && m_viewModel->account()->isBackendAuthPolling();
}

}  // namespace quorvelle
