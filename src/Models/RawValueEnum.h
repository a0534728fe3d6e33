// Shared machinery for enumerations stored as their case names. Each such enumeration
// specialises RawValueTable with its cases in declaration order; then
//   rawValue(E)            the stored string of a case,
//   fromRawValue<E>(text)  the case of an exact string, none for anything else,
//   allCases<E>()          every case in declaration order.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QtDebug>

#include <optional>

namespace quorvelle {

template <typename E>
struct RawValueTable;  // static constexpr std::array<std::pair<E, const char*>, N> entries

template <typename E>
QString rawValue(E value) {
    for (const auto& [candidate, text] : RawValueTable<E>::entries) {
        if (candidate == value) return QString::fromLatin1(text);
    }
    return {};
}

template <typename E>
std::optional<E> fromRawValue(QStringView text) {
    for (const auto& [candidate, raw] : RawValueTable<E>::entries) {
        if (text == QLatin1String(raw)) return candidate;
    }
    return std::nullopt;
}

// Calls op with the case of an exact stored name, as the views name cases; any other text is
// refused with a warning and op is not called.
template <typename E, typename Op>
void withCaseNamed(QStringView text, Op&& op) {
    if (const std::optional<E> value = fromRawValue<E>(text)) {
        op(*value);
        return;
    }
    qWarning() << "No such case:" << text;
}

template <typename E>
QList<E> allCases() {
    QList<E> cases;
    cases.reserve(qsizetype(RawValueTable<E>::entries.size()));
    for (const auto& entry : RawValueTable<E>::entries)
        cases.append(entry.first);
    return cases;
}

}  // namespace quorvelle
