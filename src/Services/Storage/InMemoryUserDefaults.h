#pragma once

#include "Services/Storage/UserDefaults.h"

#include <QHash>

#include <mutex>

namespace quorvelle {

// Defaults that live only as long as the object: for tests and for runs that must not persist.
class InMemoryUserDefaults final : public UserDefaults {
public:
    std::optional<DefaultsValue> value(const QString& key) const override;
    void setValue(const QString& key, const DefaultsValue& value) override;
    void removeValue(const QString& key) override;
    QStringList keys() const override;

private:
    mutable std::mutex m_mutex;
    QHash<QString, DefaultsValue> m_values;
};

}  // namespace quorvelle
