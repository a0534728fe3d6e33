// The dictation rig itself: each round gets its own words from the stand-in transcriber, whatever the
// round before it did. A dictation dropped before transcription (here a clip too short to send) must
// not leave its words for the next round, which would then fail for a fault it does not have.
#include "AudioFakes.h"
#include "DesktopInput.h"
#include "FixtureApp.h"
#include "RealAppDictation.h"
#include "TestEventLoop.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::xdotool;

TEST(RealAppDictationRig, ARoundDroppedBeforeTranscriptionLeavesNoWordsForTheNext) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    test::RealAppDictation dictation;
    ASSERT_TRUE(dictation.isReady());
    test::FixtureApp fixture(test::FixtureApp::Toolkit::Qt, u"Rig form"_qs);
    fixture.focus(u"single"_qs);
    ASSERT_TRUE(xdotool({u"search"_qs, u"--name"_qs, u"^Rig form$"_qs, u"windowactivate"_qs, u"--sync"_qs}));
    ASSERT_TRUE(dictation.focusedFieldHoldsStill());

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        fixture.setText(u"single"_qs, {});
        const qsizetype transcribed = dictation.fakes.transcriber->requests.size();
        dictation.fakes.audioCapture->stopAnswer.push({.data = QByteArray(44 + 3200, '\0'), .duration = 0.1});
        dictation.dictate(u"dropped words %1"_qs.arg(round));
        EXPECT_EQ(fixture.texts().value(u"single"_qs).toString().toStdString(), "");
        ASSERT_EQ(dictation.fakes.transcriber->requests.size(), transcribed) << "the short clip was transcribed";

        const QString words = u"kept words %1"_qs.arg(round);
        EXPECT_EQ(dictation.dictate(words), Kind::inserted);
        EXPECT_EQ(fixture.texts().value(u"single"_qs).toString().toStdString(), words.toStdString());
    }
}

}  // namespace
}  // namespace quorvelle
