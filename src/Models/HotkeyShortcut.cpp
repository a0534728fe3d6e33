#include "Models/HotkeyShortcut.h"

#include <QHashFunctions>
#include <QJsonValue>

#include <array>
#include <cmath>

namespace quorvelle {

namespace {

constexpr quint32 spaceKey = 49;
constexpr quint32 tabKey = 48;
constexpr quint32 returnKey = 36;
constexpr quint32 rKey = 15;

// Indexed by virtual key code; empty entries are the digit, punctuation and ISO keys.
constexpr std::array<const char*, HotkeyShortcut::namedKeyLimit> keyNames = {
    "A", "S", "D", "F", "H", "G",      "Z", "X",   "C",     "V",              // 0-9
    "",  "B", "Q", "W", "E", "R",      "Y", "T",                              // 10-17
    "",  "",  "",  "",  "",  "",       "",  "",    "",      "",  "", "", "",  // 18-30
    "O", "U", "",  "I", "P", "Return", "L", "J",   "",      "K",              // 31-40
    "",  "",  "",  "",  "N", "M",      "",  "Tab", "Space",                   // 41-49
};

std::optional<quint32> readUInt32(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number < 0 || number > 4294967295.0 || std::floor(number) != number) {
        return std::nullopt;
    }
    return static_cast<quint32>(number);
}

}  // namespace

std::optional<QString> HotkeyShortcut::keyName(quint32 keyCode) {
    if (keyCode >= namedKeyLimit || keyNames[keyCode][0] == '\0') {
        return std::nullopt;
    }
    return QString::fromLatin1(keyNames[keyCode]);
}

QStringList HotkeyShortcut::modifierTitle(quint32 carbonModifiers) {
    QStringList names;
    if (carbonModifiers & controlMask) {
        names << QStringLiteral("Control");
    }
    if (carbonModifiers & optionMask) {
        names << QStringLiteral("Alt");
    }
    if (carbonModifiers & shiftMask) {
        names << QStringLiteral("Shift");
    }
    if (carbonModifiers & commandMask) {
        names << QStringLiteral("Super");
    }
    return names;
}

std::optional<HotkeyShortcut> HotkeyShortcut::fromKeyPress(quint32 keyCode, quint32 carbonModifiers) {
    const quint32 mask = carbonModifiers & modifierBits;
    const std::optional<QString> key = keyName(keyCode);
    if (mask == 0 || !key) {
        return std::nullopt;
    }
    QStringList parts = modifierTitle(mask);
    parts << *key;
    return HotkeyShortcut{keyCode, mask, parts.join(QStringLiteral(" + "))};
}

const QList<HotkeyShortcut>& HotkeyShortcut::suggestions() {
    static const QList<HotkeyShortcut> presets = {
        {spaceKey, controlMask | optionMask, QStringLiteral("Control + Alt + Space")},
        {returnKey, controlMask | optionMask, QStringLiteral("Control + Alt + Return")},
        {rKey, controlMask | optionMask, QStringLiteral("Control + Alt + R")},
    };
    return presets;
}

std::optional<HotkeyValidationRejection> HotkeyShortcut::validate(quint32 keyCode, quint32 carbonModifiers) {
    const auto reject = [&](const char* message) {
        HotkeyValidationRejection rejection{QString::fromLatin1(message), {}};
        for (const HotkeyShortcut& preset : suggestions()) {
            if (preset.keyCode != keyCode || preset.carbonModifiers != carbonModifiers) {
                rejection.suggestions << preset;
            }
        }
        return std::optional<HotkeyValidationRejection>(rejection);
    };

    if (!keyName(keyCode)) {
        return reject("Bu tus kombinasyonu simdilik desteklenmiyor.");
    }
    if (carbonModifiers & commandMask) {
        if (keyCode == spaceKey) {
            return reject("Super + Space masaustu aramasiyla cakisir.");
        }
        if (keyCode == tabKey) {
            return reject("Super + Tab uygulama degistirici ile cakisir.");
        }
        return reject("Super iceren hotkey'ler sistem ve uygulama kisayollariyla cakisabilecegi icin bloke edildi.");
    }
    if (keyCode == spaceKey && (carbonModifiers & modifierBits) == controlMask) {
        return reject("Control + Space masaustu input source kisayoluyla cakisabilir.");
    }
    if (carbonModifiers & (controlMask | optionMask)) {
        return std::nullopt;
    }
    return reject("En az Control veya Alt iceren bir kombinasyon sec.");
}

QJsonObject HotkeyShortcut::toJson() const {
    return QJsonObject{
        {QStringLiteral("keyCode"), static_cast<double>(keyCode)},
        {QStringLiteral("carbonModifiers"), static_cast<double>(carbonModifiers)},
        {QStringLiteral("displayTitle"), displayTitle},
    };
}

std::optional<HotkeyShortcut> HotkeyShortcut::fromJson(const QJsonObject& object) {
    const std::optional<quint32> keyCode = readUInt32(object, QStringLiteral("keyCode"));
    const std::optional<quint32> modifiers = readUInt32(object, QStringLiteral("carbonModifiers"));
    const QJsonValue title = object.value(QStringLiteral("displayTitle"));
    if (!keyCode || !modifiers || !title.isString()) {
        return std::nullopt;
    }
    return HotkeyShortcut{*keyCode, *modifiers, title.toString()};
}

size_t qHash(const HotkeyShortcut& shortcut, size_t seed) noexcept {
    return qHashMulti(seed, shortcut.keyCode, shortcut.carbonModifiers);
}

}  // namespace quorvelle
