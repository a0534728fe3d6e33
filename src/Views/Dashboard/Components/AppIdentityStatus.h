#pragma once

#include <QObject>
#include <QtQmlIntegration>

namespace quorvelle {

// Which backend profile the build talks to, as the sidebar badge shows it.
namespace AppIdentity {
Q_NAMESPACE
QML_NAMED_ELEMENT(AppIdentityStatus)

enum class Status { Production, Local, Custom };
Q_ENUM_NS(Status)

}  // namespace AppIdentity

using AppIdentityStatus = AppIdentity::Status;

}  // namespace quorvelle
