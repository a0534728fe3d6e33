// The sign-in road against the desktop's Secret Service (gnome-keyring in the desktop test environment).

#include "AccountRoadTests.h"

#include "Platform/Linux/LibsecretItemStore.h"

#include <QtGlobal>

namespace quorvelle::test {

std::vector<KeyringKind> keyringKinds() {
    return {{"SecretService", []() -> std::shared_ptr<SecretItemStoring> {
                 if (qEnvironmentVariableIsEmpty("QUORVELLE_DESKTOP_ENV")) return nullptr;
                 return std::make_shared<LibsecretItemStore>();
             }}};
}

}  // namespace quorvelle::test
