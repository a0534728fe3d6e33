#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace quorvelle {

// An element's attributes as read, before defaults are applied.
struct RawFocusedElementMetadata {
    static constexpr int kSecureScore = 100;
    // The most any element that is not secure can score.
    static constexpr int kWritableScore = 90;

    std::optional<QString> role;
    std::optional<QString> subrole;
    std::optional<QString> title;
    std::optional<QString> identifier;
    std::optional<QRectF> frame;
    std::optional<QSizeF> size;
    std::optional<bool> isEnabled;
    std::optional<bool> isEditable;
    std::optional<bool> isFocused;  // the element itself reports the keyboard focus
    bool isValueSettable = false;
    bool isSelectedTextRangeSettable = false;

    // A text-input role, not disabled, and something settable.
    bool isWritableTextCandidate() const;
    // How writable the element looks; a secure field outranks everything so it is never missed.
    int candidateScore() const;

    friend bool operator==(const RawFocusedElementMetadata&, const RawFocusedElementMetadata&) = default;
};

}  // namespace quorvelle
