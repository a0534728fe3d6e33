#include "Services/Backend/DisabledReleaseNotesFetcher.h"

#include "Services/Backend/WebRequestError.h"

namespace quorvelle {

QCoro::Task<QList<ReleaseNoteEntry>> DisabledReleaseNotesFetcher::fetchReleaseNotes(QString, std::stop_token) {
    throw WebRequestError::unsupportedURL();
    co_return {};
}

}  // namespace quorvelle
