#pragma once

#include <QLatin1StringView>
#include <QString>
#include <algorithm>
#include <initializer_list>
#include <optional>

namespace quorvelle {

// Whether `text` contains one of the keywords as a substring (case-sensitive: callers lower-case).
template <typename Keywords>
bool containsAnyKeyword(const QString& text, const Keywords& keywords) {
    return std::any_of(std::begin(keywords), std::end(keywords),
                       [&](QLatin1StringView keyword) { return text.contains(keyword); });
}

// The first present value, lower-cased, that contains one of the keywords; values in the given order.
template <typename Keywords>
std::optional<QString> firstLoweredValueContaining(std::initializer_list<const std::optional<QString>*> values,
                                                   const Keywords& keywords) {
    for (const std::optional<QString>* value : values) {
        if (!value->has_value()) continue;
        QString lowered = (*value)->toLower();
        if (containsAnyKeyword(lowered, keywords)) return lowered;
    }
    return std::nullopt;
}

}  // namespace quorvelle
