#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace quorvelle {

struct HotkeyValidationRejection;

// The one global key combination. Key codes are macOS virtual key codes (ANSI layout) and the
// modifier mask uses the Carbon bits, so stored values stay portable; the X11 layer translates them.
// A gadget, so that views read the three fields by name.
struct HotkeyShortcut {
    Q_GADGET
    Q_PROPERTY(quint32 keyCode MEMBER keyCode)
    Q_PROPERTY(quint32 carbonModifiers MEMBER carbonModifiers)
    Q_PROPERTY(QString displayTitle MEMBER displayTitle)

public:
    static constexpr quint32 commandMask = 0x100;
    static constexpr quint32 shiftMask = 0x200;
    static constexpr quint32 optionMask = 0x800;
    static constexpr quint32 controlMask = 0x1000;
    static constexpr quint32 modifierBits = controlMask | optionMask | shiftMask | commandMask;
    static constexpr quint32 namedKeyLimit = 50;

    quint32 keyCode = 0;
    quint32 carbonModifiers = 0;
    QString displayTitle;

    // Builds the combination of a recorded key press; none without a modifier or for a key we
    // cannot name. Bits outside the four modifiers are dropped.
    static std::optional<HotkeyShortcut> fromKeyPress(quint32 keyCode, quint32 carbonModifiers);

    static std::optional<QString> keyName(quint32 keyCode);
    // Always Control, Alt, Shift, Super in this order, whatever the bit order.
    static QStringList modifierTitle(quint32 carbonModifiers);
    // The presets offered instead of a refused combination; the first is the default hotkey.
    static const QList<HotkeyShortcut>& suggestions();
    // No value means the combination may be used.
    static std::optional<HotkeyValidationRejection> validate(quint32 keyCode, quint32 carbonModifiers);

    QJsonObject toJson() const;
    // Requires all three keys with the right types; does not validate.
    static std::optional<HotkeyShortcut> fromJson(const QJsonObject& object);

    // The title is presentation only: equal key and modifiers make equal shortcuts.
    friend bool operator==(const HotkeyShortcut& a, const HotkeyShortcut& b) {
        return a.keyCode == b.keyCode && a.carbonModifiers == b.carbonModifiers;
    }
};

struct HotkeyValidationRejection {
    QString message;
    QList<HotkeyShortcut> suggestions;
};

size_t qHash(const HotkeyShortcut& shortcut, size_t seed = 0) noexcept;

}  // namespace quorvelle
