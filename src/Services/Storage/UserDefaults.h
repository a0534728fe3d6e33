#pragma once

#include "Services/Storage/DefaultsValue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quorvelle {

// A per-user domain of typed settings values. Implementations are safe to call from several
// threads; each call is one whole read or one whole write of a key.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    virtual std::optional<DefaultsValue> value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const DefaultsValue& value) = 0;
    virtual void removeValue(const QString& key) = 0;
    // The keys that hold a value, in no set order.
    virtual QStringList keys() const = 0;

    // Returns once every change made so far is stored; at once where nothing is written later.
    virtual void waitUntilWritten() {}

    bool contains(const QString& key) const { return value(key).has_value(); }

    // Data values only; any other kind reads as absent.
    std::optional<QByteArray> data(const QString& key) const;
    // Strings, and numbers as their decimal text; any other kind reads as absent.
    std::optional<QString> string(const QString& key) const;
    // Booleans as they are, numbers true unless zero, strings true when they begin with
    // y, t or a non-zero digit (as "YES", "true", "1"); everything else, absence included, false.
    bool boolean(const QString& key) const;

    // Told, on the thread that made the change, of a change the domain refused (the key keeps
    // its old value), so that the user hears of it. Set before the domain is shared.
    using RefusalObserver = std::function<void(const QString& key)>;
    void setRefusalObserver(RefusalObserver observer) { m_refusalObserver = std::move(observer); }

    void setBool(const QString& key, bool value) { setValue(key, DefaultsValue(value)); }
    void setString(const QString& key, const QString& value) { setValue(key, DefaultsValue(value)); }
    void setData(const QString& key, const QByteArray& value) { setValue(key, DefaultsValue(value)); }

protected:
    void reportRefusal(const QString& key) const {
        if (m_refusalObserver) m_refusalObserver(key);
    }

private:
    RefusalObserver m_refusalObserver;
};

}  // namespace quorvelle
