#pragma once

#include "Support/QmlValues.h"

#include <QDateTime>
#include <QObject>
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
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString version MEMBER version)
    Q_PROPERTY(QString build MEMBER build)
    Q_PROPERTY(QString channel MEMBER channel)
    Q_PROPERTY(QDateTime releasedAt MEMBER releasedAt)
    Q_PROPERTY(QVariant summary READ summaryValue)

public:
    QString id;
    QString version;
    QString build;
    QString channel;
    QDateTime releasedAt;
    std::optional<QString> summary;
    QList<ReleaseNoteCategory> categories;

    QVariant summaryValue() const { return optionalValue(summary); }

    bool operator==(const ReleaseNoteEntry&) const = default;
};

}  // namespace quorvelle
