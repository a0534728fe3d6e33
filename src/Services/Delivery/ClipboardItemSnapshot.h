#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace quorvelle {

// One clipboard item: its data per type (MIME type on this desktop).
struct ClipboardItemSnapshot {
    QMap<QString, QByteArray> representations;

    friend bool operator==(const ClipboardItemSnapshot&, const ClipboardItemSnapshot&) = default;
};

}  // namespace quorvelle
