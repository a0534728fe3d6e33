#pragma once

#include <QString>

namespace quorvelle {

// The application's version as the build wrote it (the sidebar's too), or "1.0.0" when the build
// wrote none.
QString appVersionString();

}  // namespace quorvelle
