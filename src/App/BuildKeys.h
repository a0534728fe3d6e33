#pragma once

#include <QString>

namespace quorvelle {

// What the build wrote into the program (CMake cache settings of the same names). Empty when unset.
struct BuildKeys {
    QString backendBaseURL;  // QUORVELLE_BACKEND_BASE_URL
    QString publicWebURL;    // QUORVELLE_PUBLIC_WEB_URL
    QString shortVersion;    // the project version
    QString buildNumber;     // QUORVELLE_BUILD_NUMBER

    // The values of this build.
    static BuildKeys current();
};

}  // namespace quorvelle
