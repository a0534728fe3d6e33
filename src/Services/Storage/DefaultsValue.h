#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>
#include <variant>

namespace quorvelle {

// One value of the user defaults. The kinds stay apart on purpose: readers decide what a value
// means by its kind (data that decodes, a string that names a case, a boolean switch), so a value
// read back must have the kind it was written with.
class DefaultsValue {
public:
    enum class Kind { boolean, number, string, data, array, dictionary };
    using Array = QList<DefaultsValue>;
    using Dictionary = QMap<QString, DefaultsValue>;

    DefaultsValue(bool value);
    DefaultsValue(double value);
    DefaultsValue(int value);
    DefaultsValue(qint64 value);
    DefaultsValue(QString value);
    DefaultsValue(const char* value) = delete;  // say whether text or bytes are meant
    DefaultsValue(QByteArray value);
    DefaultsValue(Array value);
    DefaultsValue(Dictionary value);

    Kind kind() const;

    // Each gives the value only when it is of that kind.
    std::optional<bool> boolValue() const;
    std::optional<double> numberValue() const;
    std::optional<QString> stringValue() const;
    std::optional<QByteArray> dataValue() const;
    std::optional<Array> arrayValue() const;
    std::optional<Dictionary> dictionaryValue() const;

    bool operator==(const DefaultsValue& other) const;

    // The tagged JSON form used on disk: an object with one member named after the kind,
    // as {"bool": true} or {"data": "<base64>"}.
    QJsonValue toTaggedJson() const;
    // Accepts only the form toTaggedJson writes; anything else gives nothing.
    static std::optional<DefaultsValue> fromTaggedJson(const QJsonValue& json);

private:
    std::variant<bool, double, QString, QByteArray, Array, Dictionary> m_value;
};

}  // namespace quorvelle
