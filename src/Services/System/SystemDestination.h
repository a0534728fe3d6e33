#pragma once

#include <QUrl>

namespace quorvelle {

// Where the navigator can take the user: an address, or one of the desktop's settings pages.
struct SystemDestination {
    enum class Kind {
        url,
        microphoneSettings,
        accessibilitySettings,
    };

    Kind kind = Kind::url;
    QUrl url;

    static SystemDestination address(const QUrl& address) { return {Kind::url, address}; }
    static SystemDestination microphoneSettings() { return {Kind::microphoneSettings, {}}; }
    static SystemDestination accessibilitySettings() { return {Kind::accessibilitySettings, {}}; }

    friend bool operator==(const SystemDestination&, const SystemDestination&) = default;
};

}  // namespace quorvelle
