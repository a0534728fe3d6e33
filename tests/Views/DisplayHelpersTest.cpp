// The dashboard's history timestamps.
#include "Views/Dashboard/Components/HistoryTimestampFormatter.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace quorvelle {
namespace {

TEST(HistoryTimestamps, UseEnglishMonthsTwelveHourClockAndLocalTime) {
    // Istanbul is three hours ahead of UTC all year: the label is in the user's zone.
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Istanbul");
    const struct {
        QDateTime moment;
        const char* expected;
    } cases[] = {
        {QDateTime({2026, 3, 5}, {15, 7}), "Mar 5 AT 3:07 PM"},
        {QDateTime({2026, 1, 12}, {0, 5}).toUTC(), "Jan 12 AT 12:05 AM"},
        {QDateTime({2026, 6, 1}, {21, 15}, QTimeZone::utc()), "Jun 2 AT 12:15 AM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HistoryTimestampFormatter::format(c.moment), QLatin1String(c.expected));
    if (savedZone.isEmpty())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedZone);
}

}  // namespace
}  // namespace quorvelle
