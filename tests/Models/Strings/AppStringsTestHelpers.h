#pragma once

#include "Models/AppStrings.h"

#include <string>

namespace quorvelle::test {

inline const AppStrings kEnglish{QStringLiteral("en")};
inline const AppStrings kTurkish{QStringLiteral("tr")};

// Compared as UTF-8 so that a failure prints readable text.
inline std::string utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace quorvelle::test
