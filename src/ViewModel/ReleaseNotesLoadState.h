#pragma once

#include "Services/Backend/ReleaseNoteEntry.h"

#include <QList>
#include <QObject>
#include <QVariantList>

namespace quorvelle {

// Where the release-notes page stands: nothing asked yet, loading, the entries, or a failure.
struct ReleaseNotesLoadState {
    Q_GADGET
    // "idle", "loading", "loaded" or "failed".
    Q_PROPERTY(QString kind READ kindName)
    Q_PROPERTY(QVariantList entries READ entryList)

public:
    enum class Kind { idle, loading, loaded, failed };

    Kind kind = Kind::idle;
    QList<ReleaseNoteEntry> entries;  // when loaded

    static ReleaseNotesLoadState idle() { return {}; }
    static ReleaseNotesLoadState loading() { return {Kind::loading, {}}; }
    static ReleaseNotesLoadState loaded(QList<ReleaseNoteEntry> entries) { return {Kind::loaded, std::move(entries)}; }
    static ReleaseNotesLoadState failed() { return {Kind::failed, {}}; }

    QString kindName() const {
        static const char* const names[] = {"idle", "loading", "loaded", "failed"};
        return QString::fromLatin1(names[int(kind)]);
    }
    QVariantList entryList() const {
        QVariantList list;
        for (const ReleaseNoteEntry& entry : entries)
            list.append(QVariant::fromValue(entry));
        return list;
    }

    bool operator==(const ReleaseNotesLoadState&) const = default;
};

}  // namespace quorvelle
