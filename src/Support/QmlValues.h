// How values reach the views: an absent optional is null (an invalid QVariant would read as
// undefined), a present one its value; an id is its text without braces.
#pragma once

#include <QString>
#include <QUuid>
#include <QVariant>

#include <optional>

namespace quorvelle {

template <typename T>
QVariant optionalValue(const std::optional<T>& value) {
    return value ? QVariant::fromValue(*value) : QVariant::fromValue(nullptr);
}

inline QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

}  // namespace quorvelle
