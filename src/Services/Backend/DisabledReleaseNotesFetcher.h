#pragma once

#include "Services/Backend/ReleaseNotesFetching.h"

namespace quorvelle {

// Stands in for the release list in test runs: every fetch fails with WebRequestError unsupportedURL
// and nothing goes to the network.
class DisabledReleaseNotesFetcher : public ReleaseNotesFetching {
public:
    QCoro::Task<QList<ReleaseNoteEntry>> fetchReleaseNotes(QString languageCode,
                                                           std::stop_token stopToken = {}) override;
};

}  // namespace quorvelle
