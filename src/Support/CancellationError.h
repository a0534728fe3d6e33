#pragma once

#include <exception>
#include <stop_token>

namespace quorvelle {

// The one way a stopped job ends: a wait, an upload, a download, an on-device run or an account
// call that was asked to stop throws this, and callers treat it as "nothing happened", never as a
// failure to report.
class CancellationError : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

inline void throwIfStopped(const std::stop_token& stopToken) {
    if (stopToken.stop_requested()) throw CancellationError();
}

}  // namespace quorvelle
