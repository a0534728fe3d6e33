#pragma once

#include "Services/Backend/ReleaseNoteEntry.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <stop_token>

namespace quorvelle {

// The recent stable releases with their notes in the app's language ("en" or "tr"), in the order the
// service lists them.
class ReleaseNotesFetching {
public:
    virtual ~ReleaseNotesFetching() = default;

    // A stop request aborts the request and ends the call with CancellationError.
    virtual QCoro::Task<QList<ReleaseNoteEntry>> fetchReleaseNotes(QString languageCode,
                                                                   std::stop_token stopToken = {}) = 0;
};

}  // namespace quorvelle
