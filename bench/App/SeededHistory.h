#pragma once

#include "AppUnderTest.h"
#include "SeededHistoryFile.h"

namespace quorvelle::test {

// A seeded history put into the data folder of an app about to start.
class SeededHistory : public bench::SeededHistoryFile {
public:
    using SeededHistoryFile::SeededHistoryFile;

    static QString folderOf(const AppUnderTest& app) {
        return app.environment().value(QStringLiteral("XDG_DATA_HOME")) +
               QStringLiteral("/com.dovent.Quorvelle/History");
    }

    // False when the copy could not be written.
    bool writeInto(const AppUnderTest& app) const {
        return writeTo(folderOf(app) + QStringLiteral("/transcript-history.json"));
    }
};

}  // namespace quorvelle::test
