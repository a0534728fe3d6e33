#include "Views/Dashboard/Pages/AccountCardState.h"

#include "ViewModel/AppViewModel.h"

namespace quorvelle {

void AccountCardState::observe(AppViewModel& viewModel) {
    const auto changed = &AccountCardState::changed;
    AccountViewModel* account = viewModel.account();
    connect(&viewModel, &AppViewModel::stringsChanged, this, changed);
    connect(viewModel.permissions(), &PermissionsViewModel::onboardingStatusChanged, this, changed);
    connect(account, &AccountViewModel::backendAuthChallengeChanged, this, changed);
    connect(account, &AccountViewModel::isBackendAuthActionRunningChanged, this, changed);
    connect(account, &AccountViewModel::registeredBackendDeviceIDChanged, this, changed);
    connect(viewModel.localModels(), &LocalModelsViewModel::selectedTranscriptionBackendChanged, this, changed);
}

QString AccountCardState::cardState() const {
    if (!viewModel()) return QStringLiteral("notLinked");
    if (viewModel()->permissions()->onboardingStatus().hasAPIKey) return QStringLiteral("linked");
    if (viewModel()->account()->backendAuthChallenge()) return QStringLiteral("codePending");
    return QStringLiteral("notLinked");
}

QString AccountCardState::statusLabel() const {
    return viewModel() ? viewModel()->accountCopy().accountStatusLabel() : QString();
}

QString AccountCardState::deviceLabel() const {
    return viewModel() ? viewModel()->accountCopy().registeredDeviceLabel() : QString();
}

QVariant AccountCardState::userCode() const {
    if (!viewModel() || !viewModel()->account()->backendAuthChallenge()) return {};
    return viewModel()->account()->backendAuthChallenge()->userCode;
}

QVariant AccountCardState::verificationAddress() const {
    const auto address = viewModel() ? viewModel()->account()->backendAuthVerificationURLText() : std::nullopt;
    return address ? QVariant(*address) : QVariant();
}

bool AccountCardState::isPolling() const {
    return viewModel() && viewModel()->account()->isBackendAuthActionRunning();
}

}  // namespace quorvelle
