#include "Services/Storage/UserDefaults.h"

#include <cmath>

namespace quorvelle {

namespace {

QString numberText(double number) {
    if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) < 9.0e15) {
        return QString::number(static_cast<qint64>(number));
    }
    return QString::number(number, 'g', 17);
}

// The usual reading of a text as a switch: leading blanks, a sign and zeros are skipped, then
// Y, T or a digit 1 to 9 means on.
bool textMeansTrue(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) ++i;
    while (i < text.size() && text.at(i) == u'0')
        ++i;
    if (i == text.size()) return false;
    const QChar first = text.at(i);
    return first == u'Y' || first == u'y' || first == u'T' || first == u't' || (first >= u'1' && first <= u'9');
}

}  // namespace

std::optional<QByteArray> UserDefaults::data(const QString& key) const {
    const auto stored = value(key);
    return stored ? stored->dataValue() : std::nullopt;
}

std::optional<QString> UserDefaults::string(const QString& key) const {
    const auto stored = value(key);
    if (!stored) return std::nullopt;
    if (auto text = stored->stringValue()) return text;
    if (auto number = stored->numberValue()) return numberText(*number);
    return std::nullopt;
}

bool UserDefaults::boolean(const QString& key) const {
    const auto stored = value(key);
    if (!stored) return false;
    if (auto flag = stored->boolValue()) return *flag;
    if (auto number = stored->numberValue()) return *number != 0.0;
    if (auto text = stored->stringValue()) return textMeansTrue(*text);
    return false;
}

}  // namespace quorvelle
