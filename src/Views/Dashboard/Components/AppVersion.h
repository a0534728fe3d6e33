#pragma once

#include <QString>

namespace quorvelle {

// The version line of the settings page: the application's version, or "1.0.0" when the
// program was started without one.
QString appVersionString();

}  // namespace quorvelle
