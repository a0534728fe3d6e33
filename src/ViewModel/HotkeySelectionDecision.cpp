#include "ViewModel/HotkeySelectionDecision.h"

#include <QStringList>

namespace quorvelle {

HotkeySelectionDecision HotkeySelectionDecision::decide(const HotkeyShortcut& candidate, const HotkeyShortcut& current,
                                                        const AppStrings& strings) {
    if (const auto rejection = HotkeyShortcut::validate(candidate.keyCode, candidate.carbonModifiers)) {
        return {Kind::invalid, hotkeyInvalidMessage(rejection->message, rejection->suggestions, strings),
                rejection->message};
    }
    if (candidate == current) {
        return {Kind::noChange,
                strings.localized(u"This hotkey is already active: ", u"Bu hotkey zaten aktif: ") +
                    candidate.displayTitle + u'.',
                {}};
    }
    return {Kind::apply,
            strings.localized(u"Hotkey updated: ", u"Hotkey güncellendi: ") + candidate.displayTitle + u'.',
            {}};
}

QString hotkeyInvalidMessage(const QString& message, const QList<HotkeyShortcut>& suggestions,
                             const AppStrings& strings) {
    QStringList titles;
    for (const HotkeyShortcut& suggestion : suggestions)
        titles << suggestion.displayTitle;
    const QString joined = titles.join(QStringLiteral(", "));
    if (joined.isEmpty()) return message;
    return message + strings.localized(u" Suggestions: ", u" Öneriler: ") + joined + u'.';
}

QList<HotkeyShortcut> hotkeySuggestions(const HotkeyShortcut& selected) {
    QList<HotkeyShortcut> result;
    for (const HotkeyShortcut& preset : HotkeyShortcut::suggestions())
        if (!(preset == selected)) result << preset;
    return result;
}

}  // namespace quorvelle
