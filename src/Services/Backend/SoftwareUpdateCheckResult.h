#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace quorvelle {

// The verdict of one update check against the latest stable release.
struct SoftwareUpdateCheckResult {
    enum class Status { updateAvailable, upToDate };

    Status status = Status::upToDate;
    QString latestVersion;
    QString latestBuild;
    // The backend's download address; absent when it did not parse.
    std::optional<QUrl> downloadURL;
    // The public download page, always present.
    QUrl releasePageURL;

    bool operator==(const SoftwareUpdateCheckResult&) const = default;
};

}  // namespace quorvelle
