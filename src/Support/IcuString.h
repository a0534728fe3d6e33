#pragma once

#include <unicode/unistr.h>
#include <QString>

// QString and icu::UnicodeString are both UTF-16, so text passes between them without conversion.
namespace quorvelle::IcuString {

// A read-only ICU view of the QString's buffer; valid while `text` lives and is not modified.
inline icu::UnicodeString alias(const QString& text) {
    return icu::UnicodeString(false, reinterpret_cast<const char16_t*>(text.utf16()),
                              static_cast<int32_t>(text.size()));
}

inline QString toQString(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace quorvelle::IcuString
