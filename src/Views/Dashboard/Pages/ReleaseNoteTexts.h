#pragma once

#include <QDateTime>
#include <QString>

namespace quorvelle {

// The texts of a release-notes entry that are not taken as they come.
namespace ReleaseNoteTexts {

// The heading of a category: the three known labels in the interface language, any other label
// upper-cased without regard to the language ("i" stays "I" in Turkish too).
QString categoryHeading(const QString& label, const QString& languageCode);

// The release day as a medium-length date without time, in the interface language ("tr" or
// English) and the local time zone; "" for an invalid date.
QString releaseDate(const QDateTime& releasedAt, const QString& languageCode);

}  // namespace ReleaseNoteTexts

}  // namespace quorvelle
