#include "Services/Storage/InMemoryUserDefaults.h"

namespace quorvelle {

std::optional<DefaultsValue> InMemoryUserDefaults::value(const QString& key) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_values.constFind(key);
    if (it == m_values.cend()) return std::nullopt;
    return *it;
}

void InMemoryUserDefaults::setValue(const QString& key, const DefaultsValue& value) {
    std::lock_guard lock(m_mutex);
    m_values.insert(key, value);
}

void InMemoryUserDefaults::removeValue(const QString& key) {
    std::lock_guard lock(m_mutex);
    m_values.remove(key);
}

QStringList InMemoryUserDefaults::keys() const {
    std::lock_guard lock(m_mutex);
    return m_values.keys();
}

}  // namespace quorvelle
