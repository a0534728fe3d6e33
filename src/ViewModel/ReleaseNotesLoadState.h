#pragma once

#include "Services/Backend/ReleaseNoteEntry.h"

#include <QList>

namespace quorvelle {

// Where the release-notes page stands: nothing asked yet, loading, the entries, or a failure.
struct ReleaseNotesLoadState {
    enum class Kind { idle, loading, loaded, failed };

    Kind kind = Kind::idle;
    QList<ReleaseNoteEntry> entries;  // when loaded

    static ReleaseNotesLoadState idle() { return {}; }
    static ReleaseNotesLoadState loading() { return {Kind::loading, {}}; }
    static ReleaseNotesLoadState loaded(QList<ReleaseNoteEntry> entries) { return {Kind::loaded, std::move(entries)}; }
    static ReleaseNotesLoadState failed() { return {Kind::failed, {}}; }

    bool operator==(const ReleaseNotesLoadState&) const = default;
};

}  // namespace quorvelle
