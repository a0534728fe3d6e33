// AppLanguageOption: the interface language: follow the system, or English or Turkish.
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <QLocale>
#include <QString>

#include <array>
#include <utility>

namespace quorvelle {

enum class AppLanguageOption {
    system,
    english,
    turkish,
};

template <>
struct RawValueTable<AppLanguageOption> {
    static constexpr std::array entries{
        std::pair{AppLanguageOption::system, "system"},
        std::pair{AppLanguageOption::english, "english"},
        std::pair{AppLanguageOption::turkish, "turkish"},
    };
};

// The code that picks the text tables: "en" or "tr". system follows the locale's language:
// exactly "tr" gives "tr", anything else (or no language) gives "en".
QString languageCode(AppLanguageOption option, const QLocale& locale = QLocale::system());

}  // namespace quorvelle
