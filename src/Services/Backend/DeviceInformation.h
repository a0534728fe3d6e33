#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quorvelle {

// What the backend is told about this computer when a sign-in starts and when it is registered.
struct DeviceInformation {
    std::optional<QString> deviceName;
    std::optional<QString> osVersion;
    std::optional<QString> appVersion;
    std::optional<QString> build;

    bool operator==(const DeviceInformation&) const = default;
};

// Reads the device information afresh on every call: the host name and the operating system's pretty
// name from os-release; the program's version and build are fixed at construction.
class DeviceInformationReader {
public:
    struct Options {
        std::optional<QString> appVersion;
        std::optional<QString> build;
        // Tried in order; the first file that can be read is used.
        QStringList osReleasePaths{QStringLiteral("/etc/os-release"), QStringLiteral("/usr/lib/os-release")};
        // The system's host name unless given.
        std::function<QString()> hostName;
    };

    DeviceInformationReader();
    explicit DeviceInformationReader(Options options);

    DeviceInformation read() const;

    // PRETTY_NAME of an os-release text, unquoted; none when absent or empty.
    static std::optional<QString> prettyNameOfOSRelease(const QString& text);

private:
    std::optional<QString> osVersion() const;

    Options m_options;
};

// 64 lowercase hexadecimal digits: SHA-256 of "com.dovent.Quorvelle|" followed by the install id.
QString deviceFingerprintHash(const QString& installID);

}  // namespace quorvelle
