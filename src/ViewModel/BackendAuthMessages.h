#pragma once

#include "Models/AppStrings.h"

#include <exception>
#include <utility>

namespace quorvelle {

// The status lines of the account sign-in, in the interface language of the given tables.
namespace backend_auth_messages {

QString signInStarted(const AppStrings& strings, const QString& userCode);
QString signInPending(const AppStrings& strings, const QString& status);
// The prefix (already in the interface language) with the suffix that explains the failure.
QString error(const AppStrings& strings, const QString& prefix, std::exception_ptr failure, const QString& baseURLText);
// Why a keyring call failed, to follow a colon: "the keyring is unavailable. Unlock it, ...".
QString keyringUnavailable(const AppStrings& strings);
// The hint (English, Turkish) for a backend that could not be reached at the given address.
std::pair<QString, QString> backendUnreachable(const QString& baseURLText);

}  // namespace backend_auth_messages

}  // namespace quorvelle
