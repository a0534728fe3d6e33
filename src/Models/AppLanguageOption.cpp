#include "Models/AppLanguageOption.h"

namespace quorvelle {

QString languageCode(AppLanguageOption option, const QLocale& locale) {
    switch (option) {
        case AppLanguageOption::english: return QStringLiteral("en");
        case AppLanguageOption::turkish: return QStringLiteral("tr");
        case AppLanguageOption::system: break;
    }
    if (QLocale::languageToCode(locale.language()) == u"tr") return QStringLiteral("tr");
    return QStringLiteral("en");
}

}  // namespace quorvelle
