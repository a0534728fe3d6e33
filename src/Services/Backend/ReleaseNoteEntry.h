#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorvelle {

// One group of a release's notes ("New", "Fixed" ...) with its lines as written.
struct ReleaseNoteCategory {
    QString label;
    QStringList items;

    bool operator==(const ReleaseNoteCategory&) const = default;
};

// One published release with its notes in the language the app asked for.
struct ReleaseNoteEntry {
    QString id;
    QString version;
    QString build;
    QString channel;
    QDateTime releasedAt;
    std::optional<QString> summary;
    QList<ReleaseNoteCategory> categories;

    bool operator==(const ReleaseNoteEntry&) const = default;
};

}  // namespace quorvelle
