#pragma once

#include <QLocale>
#include <QString>

namespace quorvelle::test {

inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Explicit locales, so that folding and ordering do not depend on the machine's.
inline const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
inline const QLocale kTurkish(QLocale::Turkish, QLocale::Turkey);

}  // namespace quorvelle::test
