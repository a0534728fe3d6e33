#pragma once

#include "Models/AppStrings.h"
#include "Models/HotkeyShortcut.h"

#include <QList>
#include <QString>

namespace quorvelle {

// Whether a recorded combination is taken, already in use, or refused (with suggestions).
struct HotkeySelectionDecision {
    enum class Kind {
        noChange,
        apply,
        invalid,
    };

    Kind kind = Kind::noChange;
    // The status line.
    QString message;
    // The bare validation text, for the diagnostics log; empty unless invalid.
    QString reason;

    static HotkeySelectionDecision decide(const HotkeyShortcut& candidate, const HotkeyShortcut& current,
                                          const AppStrings& strings);

    friend bool operator==(const HotkeySelectionDecision&, const HotkeySelectionDecision&) = default;
};

// The refusal text followed by the suggested combinations, when there are any.
QString hotkeyInvalidMessage(const QString& message, const QList<HotkeyShortcut>& suggestions,
                             const AppStrings& strings);

// The presets other than the given combination, in preset order.
QList<HotkeyShortcut> hotkeySuggestions(const HotkeyShortcut& selected);

}  // namespace quorvelle
