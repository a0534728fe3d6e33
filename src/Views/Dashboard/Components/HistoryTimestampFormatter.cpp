#include "Views/Dashboard/Components/HistoryTimestampFormatter.h"

#include <QLocale>

namespace quorvelle {

QString HistoryTimestampFormatter::format(const QDateTime& moment) {
    // The C locale: Gregorian calendar, English abbreviated months, "AM"/"PM".
    static const QLocale posix = QLocale::c();
    return posix.toString(moment.toLocalTime(), QStringLiteral("MMM d 'AT' h:mm AP"));
}

}  // namespace quorvelle
