#pragma once

#include <QDateTime>
#include <QString>

namespace quorvelle {

// The history rows' timestamps: "Mar 5 AT 3:07 PM" in the user's time zone, in English month
// names and AM/PM whatever the interface language.
class HistoryTimestampFormatter {
public:
    static QString format(const QDateTime& moment);
};

}  // namespace quorvelle
