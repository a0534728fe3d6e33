#pragma once

#include <QDateTime>

#include <functional>

namespace quorvelle {

// The wall clock, for timestamps shown or stored.
using NowProvider = std::function<QDateTime()>;
// A monotonic count of nanoseconds, for measuring how long something took.
using UptimeNanosecondsProvider = std::function<quint64()>;

QDateTime currentDate();
// Nanoseconds of the monotonic clock (time since boot on Linux).
quint64 monotonicUptimeNanoseconds();

}  // namespace quorvelle
