#include "AppStringsTestHelpers.h"
#include "Models/MainWindowSection.h"

#include <gtest/gtest.h>

#include <QSet>

#include <string>

namespace quorvelle {
namespace {

using test::kEnglish;
using test::kTurkish;
using test::utf8;

TEST(AppStringsSections, EverySectionHasItsOwnTitleAndSubtitleInBothLanguages) {
    for (const AppStrings& strings : {kEnglish, kTurkish}) {
        QSet<QString> titles;
        QSet<QString> subtitles;
        for (MainWindowSection section : allMainWindowSections()) {
            SCOPED_TRACE(utf8(strings.languageCode() + u' ' + rawValue(section)));
            const QString title = strings.sectionTitle(section);
            const QString subtitle = strings.sectionSubtitle(section, u"Quorvelle");
            EXPECT_FALSE(title.isEmpty());
            EXPECT_TRUE(subtitle.endsWith(u'.'));
            EXPECT_FALSE(subtitle.contains(u"%1"));
            titles.insert(title);
            subtitles.insert(subtitle);
        }
        // The sidebar tells the sections apart by these texts alone.
        EXPECT_EQ(titles.size(), qsizetype(allMainWindowSections().size()));
        EXPECT_EQ(subtitles.size(), qsizetype(allMainWindowSections().size()));
    }
}

TEST(AppStringsSections, ProductNameIsInsertedVerbatim) {
    // A name with its own placeholder-like text must not be expanded a second time.
    const QString name = QStringLiteral("Acme %1 %2");
    EXPECT_EQ(utf8(kEnglish.sectionSubtitle(MainWindowSection::dictionary, name)),
              "Define custom replacements so Acme %1 %2 produces clean, consistent language.");
    EXPECT_EQ(utf8(kTurkish.sectionSubtitle(MainWindowSection::changelog, name)), "Acme %1 %2 sürüm geçmişi.");
}

}  // namespace
}  // namespace quorvelle
