#include "Support/Clocks.h"

#include <chrono>

namespace quorvelle {

QDateTime currentDate() {
    return QDateTime::currentDateTimeUtc();
}

quint64 monotonicUptimeNanoseconds() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return quint64(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceStart).count());
}

}  // namespace quorvelle
