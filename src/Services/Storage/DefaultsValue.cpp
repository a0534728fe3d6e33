#include "Services/Storage/DefaultsValue.h"

#include <QJsonArray>
#include <QJsonObject>

namespace quorvelle {

namespace {

const QString kBoolTag = QStringLiteral("bool");
const QString kNumberTag = QStringLiteral("number");
const QString kStringTag = QStringLiteral("string");
const QString kDataTag = QStringLiteral("data");
const QString kArrayTag = QStringLiteral("array");
const QString kDictionaryTag = QStringLiteral("dictionary");

template <typename T, typename Variant>
std::optional<T> alternative(const Variant& value) {
    if (const T* held = std::get_if<T>(&value)) return *held;
    return std::nullopt;
}

}  // namespace

DefaultsValue::DefaultsValue(bool value) : m_value(value) {}
DefaultsValue::DefaultsValue(double value) : m_value(value) {}
DefaultsValue::DefaultsValue(int value) : m_value(static_cast<double>(value)) {}
DefaultsValue::DefaultsValue(qint64 value) : m_value(static_cast<double>(value)) {}
DefaultsValue::DefaultsValue(QString value) : m_value(std::move(value)) {}
DefaultsValue::DefaultsValue(QByteArray value) : m_value(std::move(value)) {}
DefaultsValue::DefaultsValue(Array value) : m_value(std::move(value)) {}
DefaultsValue::DefaultsValue(Dictionary value) : m_value(std::move(value)) {}

DefaultsValue::Kind DefaultsValue::kind() const {
    return static_cast<Kind>(m_value.index());
}

std::optional<bool> DefaultsValue::boolValue() const {
    return alternative<bool>(m_value);
}
std::optional<double> DefaultsValue::numberValue() const {
    return alternative<double>(m_value);
}
std::optional<QString> DefaultsValue::stringValue() const {
    return alternative<QString>(m_value);
}
std::optional<QByteArray> DefaultsValue::dataValue() const {
    return alternative<QByteArray>(m_value);
}
std::optional<DefaultsValue::Array> DefaultsValue::arrayValue() const {
    return alternative<Array>(m_value);
}
std::optional<DefaultsValue::Dictionary> DefaultsValue::dictionaryValue() const {
    return alternative<Dictionary>(m_value);
}

bool DefaultsValue::operator==(const DefaultsValue& other) const {
    return m_value == other.m_value;
}

QJsonValue DefaultsValue::toTaggedJson() const {
    QJsonObject tagged;
    switch (kind()) {
        case Kind::boolean: tagged.insert(kBoolTag, std::get<bool>(m_value)); break;
        case Kind::number: tagged.insert(kNumberTag, std::get<double>(m_value)); break;
        case Kind::string: tagged.insert(kStringTag, std::get<QString>(m_value)); break;
        case Kind::data: tagged.insert(kDataTag, QString::fromLatin1(std::get<QByteArray>(m_value).toBase64())); break;
        case Kind::array: {
            QJsonArray elements;
            for (const DefaultsValue& element : std::get<Array>(m_value))
                elements.append(element.toTaggedJson());
            tagged.insert(kArrayTag, elements);
            break;
        }
        case Kind::dictionary: {
            QJsonObject members;
            const Dictionary& dictionary = std::get<Dictionary>(m_value);
            for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
                members.insert(it.key(), it.value().toTaggedJson());
            }
            tagged.insert(kDictionaryTag, members);
            break;
        }
    }
    return tagged;
}

std::optional<DefaultsValue> DefaultsValue::fromTaggedJson(const QJsonValue& json) {
    if (!json.isObject()) return std::nullopt;
    const QJsonObject tagged = json.toObject();
    if (tagged.size() != 1) return std::nullopt;
    const QString tag = tagged.begin().key();
    const QJsonValue content = tagged.begin().value();

    if (tag == kBoolTag && content.isBool()) return DefaultsValue(content.toBool());
    if (tag == kNumberTag && content.isDouble()) return DefaultsValue(content.toDouble());
    if (tag == kStringTag && content.isString()) return DefaultsValue(content.toString());
    if (tag == kDataTag && content.isString()) {
        auto decoded =
            QByteArray::fromBase64Encoding(content.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) return std::nullopt;
        return DefaultsValue(std::move(*decoded));
    }
    if (tag == kArrayTag && content.isArray()) {
        Array elements;
        for (const QJsonValue& element : content.toArray()) {
            auto decoded = fromTaggedJson(element);
            if (!decoded) return std::nullopt;
            elements.append(std::move(*decoded));
        }
        return DefaultsValue(std::move(elements));
    }
    if (tag == kDictionaryTag && content.isObject()) {
        Dictionary members;
        const QJsonObject object = content.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            auto decoded = fromTaggedJson(it.value());
            if (!decoded) return std::nullopt;
            members.insert(it.key(), std::move(*decoded));
        }
        return DefaultsValue(std::move(members));
    }
    return std::nullopt;
}

}  // namespace quorvelle
