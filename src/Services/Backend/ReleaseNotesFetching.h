#pragma once

#include "Services/Backend/ReleaseNoteEntry.h"

#include <QCoroTask>
#include <QList>
#include <QString>

namespace quorvelle {

// The recent stable releases with their notes in the app's language ("en" or "tr"), in the order the
// service lists them.
class ReleaseNotesFetching {
public:
    virtual ~ReleaseNotesFetching() = default;

    virtual QCoro::Task<QList<ReleaseNoteEntry>> fetchReleaseNotes(QString languageCode) = 0;
};

}  // namespace quorvelle
