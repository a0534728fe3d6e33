// The words written to the clipboard, as other applications on the display see them: served while our
// GUI thread is held up, in every text form a reader asks for, until another application copies.
#include "Platform/Linux/X11ClipboardOwnership.h"
#include "Platform/Linux/X11SelectionServer.h"
#include "SelectionClient.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/SystemPasteboardWriter.h"
#include "Support/CancellationError.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace quorvelle {
namespace {

using test::SelectionClient;

const QString kWords = u"Günaydın dünya — ışık"_qs;

class SelectionServing : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
    }

    // Runs `read` on a thread of its own while this thread, the GUI thread, waits for it doing nothing
    // else: what it gets was answered without our event loop.
    template <typename Read>
    auto whileTheGuiThreadIsBlocked(Read read) {
        return std::async(std::launch::async, read).get();
    }
    // Runs `read` on a thread of its own while the event loop here runs.
    template <typename Read>
    auto whileTheEventLoopRuns(Read read) {
        auto reading = std::async(std::launch::async, read);
        test::waitUntil([&] { return reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return reading.get();
    }

    QByteArray textOf(const char* selection, const char* target) {
        const auto answer = whileTheGuiThreadIsBlocked([&] { return m_reader.read(selection, target); });
        if (!answer) return "(no answer)";
        if (answer->refused) return "(refused)";
        return answer->data;
    }

    // Seconds a fetch wait took.
    double secondsToFetch(double limit) {
        QElapsedTimer waited;
        waited.start();
        test::runTask(m_writer.fetched(limit, {}));
        return double(waited.elapsed()) / 1000.0;
    }

    SystemPasteboardWriter m_writer;
    SelectionClient m_reader;
};

TEST_F(SelectionServing, EveryTextFormIsAnsweredWhileTheGuiThreadIsHeldUp) {
    m_writer.writeString(kWords);

    const auto targets = whileTheGuiThreadIsBlocked([&] { return m_reader.read("CLIPBOARD", "TARGETS"); });
    ASSERT_TRUE(targets && !targets->refused);
    EXPECT_EQ(targets->type, "ATOM");
    const QList<QByteArray> names = m_reader.atomNames(targets->data);
    for (const char* name : {"TARGETS", "MULTIPLE", "TIMESTAMP", "UTF8_STRING", "STRING", "TEXT",
                             "text/plain;charset=utf-8", "text/plain"})
        EXPECT_TRUE(names.contains(name)) << name;

    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), kWords.toUtf8());
    EXPECT_EQ(textOf("CLIPBOARD", "text/plain;charset=utf-8"), kWords.toUtf8());
    EXPECT_EQ(textOf("CLIPBOARD", "TEXT"), kWords.toUtf8());
    // Latin-1 has no dotless i nor a dash: they stand as question marks.
    EXPECT_EQ(textOf("CLIPBOARD", "STRING"), kWords.toLatin1());
    EXPECT_EQ(textOf("CLIPBOARD", "image/png"), "(refused)");
    EXPECT_EQ(textOf("CLIPBOARD", "TIMESTAMP").size(), 4);

    const auto parts = whileTheGuiThreadIsBlocked([&] {
        return m_reader.readMultiple("CLIPBOARD", {"UTF8_STRING", "image/png", "STRING"});
    });
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->size(), 3);
    EXPECT_EQ(parts->at(0), kWords.toUtf8());
    EXPECT_EQ(parts->at(1), std::nullopt);
    EXPECT_EQ(parts->at(2), kWords.toLatin1());

    // Qt's own reader, in this process, reads it like any other client.
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard), kWords);

    // xterm pastes the primary selection: it holds the same words.
    m_writer.copyClipboardToPrimarySelection();
    EXPECT_EQ(textOf("PRIMARY", "UTF8_STRING"), kWords.toUtf8());
}

TEST_F(SelectionServing, TheWaitForTheFetchEndsOnAnotherApplicationsReadOfTheWordsOnly) {
    m_writer.writeString(u"first"_qs);
    // Asking what the clipboard holds is not taking it; nor is our own snapshot of it.
    ASSERT_TRUE(whileTheGuiThreadIsBlocked([&] { return m_reader.read("CLIPBOARD", "TARGETS"); }));
    const QList<ClipboardItemSnapshot> ours = m_writer.snapshot();
    ASSERT_EQ(ours.size(), 1);
    EXPECT_EQ(ours.first().representations.value(u"text/plain"_qs), "first");
    EXPECT_GE(secondsToFetch(0.3), 0.25);

    const auto fetch = std::async(std::launch::async, [&] { return m_reader.read("CLIPBOARD", "UTF8_STRING"); });
    EXPECT_LT(secondsToFetch(10), 5);
    EXPECT_EQ(fetch.wait_for(std::chrono::seconds(5)), std::future_status::ready);

    // A new write is fetched anew; a fetch from the primary selection is a fetch of it.
    m_writer.writeString(u"second"_qs);
    EXPECT_GE(secondsToFetch(0.3), 0.25);
    m_writer.copyClipboardToPrimarySelection();
    EXPECT_EQ(textOf("PRIMARY", "STRING"), "second");
    EXPECT_LT(secondsToFetch(10), 5);
}

// While the paste keys go out, a reader's request for the words waits unanswered; let go, it gets them,
// or a refusal that stays until other contents are served, in either selection. A refused request
// counts as the fetch: the keys' application asked.
TEST_F(SelectionServing, HeldWordsWaitForTheKeysThenGoOrAreRefusedUntilServedAnew) {
    m_writer.writeString(kWords);
    m_writer.copyClipboardToPrimarySelection();
    const auto readLater = [&](const char* selection) {
        return std::async(std::launch::async,
                          [this, selection] { return m_reader.read(selection, "UTF8_STRING", 20000); });
    };

    m_writer.holdText();
    auto given = readLater("CLIPBOARD");
    EXPECT_EQ(given.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout) << "answered while held";
    m_writer.letText(true);
    const auto gave = given.get();
    ASSERT_TRUE(gave && !gave->refused);
    EXPECT_EQ(gave->data, kWords.toUtf8());

    m_writer.holdText();
    auto refused = readLater("PRIMARY");
    EXPECT_EQ(refused.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout) << "answered while held";
    m_writer.letText(false);
    const auto refusal = refused.get();
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->refused);
    EXPECT_LT(secondsToFetch(10), 5);
    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), "(refused)");

    ASSERT_TRUE(m_writer.keepWritten(u"served anew"_qs));
    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), "served anew");
}

// Once the keys' order let the words go, each request that would carry them waits for a verdict given
// on our thread, where the look at the application's focus runs; a question for the targets does not
// wait. A refusal holds for later requests until other contents are served, and the judging's end
// lets the words go.
TEST_F(SelectionServing, JudgedWordsGoOnlyOnAVerdictForThem) {
    QList<bool> verdicts;
    int judged = 0;
    m_writer.writeString(kWords);
    m_writer.judgeRequests([&] { return ++judged, verdicts.takeFirst(); });
    m_writer.holdText();
    m_writer.letText(true);

    // No verdict without our event loop: the targets come, the words wait.
    EXPECT_TRUE(whileTheGuiThreadIsBlocked([&] { return m_reader.read("CLIPBOARD", "TARGETS"); }));
    auto waiting = std::async(std::launch::async, [&] { return m_reader.read("CLIPBOARD", "UTF8_STRING", 20000); });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout) << "answered unjudged";
    verdicts = {true, false};
    test::waitUntil([&] { return waiting.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    const auto given = waiting.get();
    ASSERT_TRUE(given && !given->refused);
    EXPECT_EQ(given->data, kWords.toUtf8());
    EXPECT_EQ(judged, 1);

    const auto refused = whileTheEventLoopRuns([&] { return m_reader.read("CLIPBOARD", "UTF8_STRING", 20000); });
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->refused);
    EXPECT_EQ(judged, 2);
    EXPECT_EQ(textOf("CLIPBOARD", "STRING"), "(refused)");
    EXPECT_EQ(judged, 2);

    // Served anew, judged anew; once nobody judges, the held request gets the words.
    m_writer.writeString(u"again"_qs);
    m_writer.holdText();
    m_writer.letText(true);
    auto unjudged = std::async(std::launch::async, [&] { return m_reader.read("CLIPBOARD", "UTF8_STRING", 20000); });
    EXPECT_EQ(unjudged.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    m_writer.judgeRequests({});
    const auto afterEnd = unjudged.get();
    ASSERT_TRUE(afterEnd && !afterEnd->refused);
    EXPECT_EQ(afterEnd->data, "again");
    EXPECT_EQ(judged, 2);
}

// A paste's keys asked for the words: they get them or nothing. Requests held when the user's
// clipboard comes back in their place are refused first; at the end, held ones are refused and the
// wait for the keys' fetch is over as soon as they were.
TEST_F(SelectionServing, RequestsHeldForTheWordsAreNeverAnsweredWithWhatTakesTheirPlace) {
    const ClipboardItemSnapshot user{{{u"text/plain"_qs, "the user's copy"}}};
    m_writer.writeString(kWords);
    m_writer.holdText();
    auto held = std::async(std::launch::async, [&] { return m_reader.read("CLIPBOARD", "UTF8_STRING", 20000); });
    EXPECT_EQ(held.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    m_writer.restore({user});
    const auto heldAnswer = held.get();
    ASSERT_TRUE(heldAnswer);
    EXPECT_TRUE(heldAnswer->refused);
    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), "the user's copy");

    m_writer.writeString(kWords);
    m_writer.holdText();
    auto atTheEnd = std::async(std::launch::async, [&] { return m_reader.read("CLIPBOARD", "UTF8_STRING", 20000); });
    EXPECT_EQ(atTheEnd.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    QElapsedTimer waited;
    waited.start();
    m_writer.awaitFetchBeforeTheEnd(10);
    EXPECT_LT(waited.elapsed(), 5000);
    const auto endAnswer = atTheEnd.get();
    ASSERT_TRUE(endAnswer);
    EXPECT_TRUE(endAnswer->refused);

    // Keys whose words were let go and not asked for yet: the end waits for the request, bounded.
    m_writer.writeString(kWords);
    m_writer.holdText();
    m_writer.letText(true);
    auto late = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return m_reader.read("CLIPBOARD", "UTF8_STRING", 20000);
    });
    m_writer.awaitFetchBeforeTheEnd(10);
    const auto lateAnswer = late.get();
    ASSERT_TRUE(lateAnswer && !lateAnswer->refused);
    EXPECT_EQ(lateAnswer->data, kWords.toUtf8());
    waited.restart();
    m_writer.writeString(kWords);
    m_writer.holdText();
    m_writer.letText(true);
    m_writer.awaitFetchBeforeTheEnd(0.3);
    EXPECT_GE(waited.elapsed(), 250);
}

TEST_F(SelectionServing, TheQuestionForTargetsCountsForTheClientThatAskedSinceTheLastWrite) {
    SelectionClient other;
    const auto asked = [&](std::chrono::milliseconds limit) {
        return test::runTask(m_writer.targetsRequested(m_reader.window(), limit, {}));
    };
    m_writer.writeString(u"words"_qs);
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(asked(std::chrono::milliseconds(200)));
    EXPECT_GE(waited.elapsed(), 150);

    // Another application's question is not the front one's.
    ASSERT_TRUE(whileTheGuiThreadIsBlocked([&] { return other.read("CLIPBOARD", "TARGETS"); }));
    EXPECT_FALSE(asked(std::chrono::milliseconds(0)));

    // The wait ends as the question comes, long before its limit, and then at once.
    auto question = std::async(std::launch::async, [&] { return m_reader.read("CLIPBOARD", "TARGETS"); });
    waited.restart();
    EXPECT_TRUE(asked(std::chrono::seconds(10)));
    EXPECT_LT(waited.elapsed(), 5000);
    EXPECT_TRUE(question.get());
    EXPECT_TRUE(asked(std::chrono::milliseconds(0)));

    // A question about the words before does not count for new ones.
    m_writer.writeString(u"more words"_qs);
    EXPECT_FALSE(asked(std::chrono::milliseconds(0)));

    std::stop_source stop;
    stop.request_stop();
    EXPECT_TRUE(test::failureOf<CancellationError>(
                    m_writer.targetsRequested(m_reader.window(), std::chrono::seconds(10), stop.get_token()))
                    .has_value());
}

TEST_F(SelectionServing, AWriteWinsOverANewerCopyAndTheUsersClipboardComesBack) {
    const ClipboardItemSnapshot user{
        {{u"text/plain"_qs, "the user's words"}, {u"text/html"_qs, "<b>the user's</b> words"}}};
    // Earlier contents come back over words of ours only.
    m_writer.writeString(u"earlier words"_qs);
    m_writer.restore({user});
    const QList<ClipboardItemSnapshot> saved = m_writer.snapshot();
    // Read back as any application's clipboard is, with the names of its conversions beside.
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().representations.value(u"text/plain"_qs), "the user's words");
    EXPECT_EQ(saved.first().representations.value(u"text/html"_qs), "<b>the user's</b> words");

    // The user copies elsewhere just before the words go onto the clipboard.
    ASSERT_TRUE(m_reader.take("CLIPBOARD"));
    m_writer.writeString(u"dictated"_qs);
    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), "dictated");

    m_writer.restore(saved);
    const auto restored = whileTheEventLoopRuns([&] { return m_reader.read("CLIPBOARD", "text/html"); });
    ASSERT_TRUE(restored && !restored->refused);
    EXPECT_EQ(restored->data, "<b>the user's</b> words");
    // The primary selection takes what the clipboard now holds.
    m_writer.copyClipboardToPrimarySelection();
    EXPECT_EQ(textOf("PRIMARY", "UTF8_STRING"), "the user's words");

    // An empty clipboard comes back empty, also after a write of ours.
    m_writer.writeString(u"dictated"_qs);
    m_writer.restore({});
    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), "(refused)");
}

// Another application copies after the words went onto the clipboard: giving the clipboard back leaves
// its copy, whether the clipboard held something before or nothing, also when the copy races the
// giving back itself. With nobody copying, what the clipboard held comes back.
TEST_F(SelectionServing, GivingTheClipboardBackLeavesACopyMadeSinceByAnotherApplication) {
    const QList<QList<ClipboardItemSnapshot>> earlier{{{{{u"text/plain"_qs, "the user's words"}}}}, {}};
    for (const QList<ClipboardItemSnapshot>& before : earlier) {
        const char* label = before.isEmpty() ? "empty before" : "text before";
        SelectionClient copier;
        m_writer.writeString(u"dictated"_qs);
        ASSERT_TRUE(copier.take("CLIPBOARD")) << label;
        EXPECT_NO_THROW(m_writer.restore(before)) << label;
        EXPECT_TRUE(copier.owns("CLIPBOARD")) << label;

        // The user's key for the copy came after the words, its copy reaches the X server only after the
        // giving back: the copy is the newer one and stays.
        m_writer.writeString(u"dictated"_qs);
        SelectionClient late;
        const std::optional<quint32> pressed = late.serverTime();
        ASSERT_TRUE(pressed) << label;
        EXPECT_NO_THROW(m_writer.restore(before)) << label;
        EXPECT_TRUE(late.takeAt("CLIPBOARD", *pressed)) << label;

        // The copy and the giving back at the same moment: whichever comes first, the copy stays.
        for (int round = 0; round < 100; ++round) {
            SelectionClient racer;
            m_writer.writeString(u"dictated"_qs);
            std::promise<void> go;
            auto copying = std::async(std::launch::async, [&racer, ready = go.get_future()] {
                ready.wait();
                return racer.take("CLIPBOARD");
            });
            go.set_value();
            EXPECT_NO_THROW(m_writer.restore(before)) << label << ", round " << round;
            // A copy taken from the copier before it could check is lost as well.
            const bool took = copying.get();
            EXPECT_TRUE(took && racer.owns("CLIPBOARD")) << label << ", round " << round;
        }

        m_writer.writeString(u"dictated"_qs);
        m_writer.restore(before);
        const QByteArray expected = before.isEmpty() ? "(refused)" : "the user's words";
        EXPECT_EQ(whileTheEventLoopRuns([&] {
                      const auto answer = m_reader.read("CLIPBOARD", "UTF8_STRING");
                      return !answer ? QByteArray("(no answer)") : answer->refused ? "(refused)" : answer->data;
                  }),
                  expected)
            << label;
    }
}

// Once the earlier contents came back, the clipboard is the user's again: a second giving back (a
// quit's, then the paste's own), even of contents only Qt can serve, goes over it no more than over
// another application's copy, and nor does the transcript kept in place of the words.
TEST_F(SelectionServing, OnlyTheWordsAreGivenBackOverOrKept) {
    const QList<ClipboardItemSnapshot> users{{{{u"text/plain"_qs, "the user's words"}}}};
    const QList<ClipboardItemSnapshot> large{{{{u"text/plain"_qs, QByteArray(17 * 1024 * 1024, 'a')}}}};
    const auto served = [&] { return textOf("CLIPBOARD", "UTF8_STRING"); };

    m_writer.writeString(u" dictated"_qs);
    m_writer.restore(users);
    EXPECT_NO_THROW(m_writer.restore(large));
    EXPECT_EQ(served(), "the user's words");
    EXPECT_FALSE(m_writer.keepWritten(u"dictated"_qs));
    EXPECT_EQ(served(), "the user's words");

    // Over the words it is kept, until another application copies.
    m_writer.writeString(u" dictated"_qs);
    EXPECT_TRUE(m_writer.keepWritten(u"dictated"_qs));
    EXPECT_EQ(served(), "dictated");
    SelectionClient copier;
    ASSERT_TRUE(copier.take("CLIPBOARD"));
    EXPECT_FALSE(m_writer.keepWritten(u"dictated"_qs));
    EXPECT_TRUE(copier.owns("CLIPBOARD"));
}

// The server hears of another application's copy (what the hand-over to a clipboard manager at the end
// goes by), and Qt's claim of contents too large for it goes only over the owner it names.
TEST_F(SelectionServing, AnotherApplicationsCopyIsHeardAndQtClaimsOnlyOverTheNamedOwner) {
    X11SelectionServer server;
    using Selection = X11SelectionServer::Selection;
    ASSERT_TRUE(server.claim(Selection::clipboard, kWords, 1));
    bool replaced = false;
    EXPECT_TRUE(X11ClipboardOwnership::replaceWhileOwnedBy(server.ownerWindow(), [&] { replaced = true; }));
    EXPECT_TRUE(replaced);

    SelectionClient copier;
    ASSERT_TRUE(copier.take("CLIPBOARD"));
    replaced = false;
    EXPECT_FALSE(X11ClipboardOwnership::replaceWhileOwnedBy(server.ownerWindow(), [&] { replaced = true; }));
    EXPECT_FALSE(replaced);
    EXPECT_TRUE(test::waitUntil([&] { return !server.serves(Selection::clipboard, 1); }, 5000));
    EXPECT_TRUE(copier.owns("CLIPBOARD"));
}

// Earlier contents beyond one request of the X server come back through Qt, which sends them in
// pieces, and likewise only over our words.
TEST_F(SelectionServing, EarlierContentsTooLargeForOurServerComeBackThroughQtOverOurWordsOnly) {
    const QByteArray large(17 * 1024 * 1024, 'a');
    const QList<ClipboardItemSnapshot> before{{{{u"text/plain"_qs, large}}}};
    m_writer.writeString(u"dictated"_qs);
    EXPECT_NO_THROW(m_writer.restore(before));
    EXPECT_TRUE(X11ClipboardOwnership::ownsClipboard());
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard).size(), large.size());

    SelectionClient copier;
    m_writer.writeString(u"dictated"_qs);
    ASSERT_TRUE(copier.take("CLIPBOARD"));
    EXPECT_NO_THROW(m_writer.restore(before));
    EXPECT_TRUE(copier.owns("CLIPBOARD"));
}

// A clipboard manager that hung (it holds the manager's selection and answers nothing) is offered the
// words and does not hold our end: the wait for it is bounded. Without the bound this test never ends
// and the test run's time limit fails it.
TEST_F(SelectionServing, AClipboardManagerThatNeverAnswersDoesNotHoldTheEnd) {
    auto writer = std::make_unique<SystemPasteboardWriter>();
    writer->writeString(kWords);
    SelectionClient manager;
    ASSERT_TRUE(manager.take("CLIPBOARD_MANAGER"));
    auto asked = std::async(std::launch::async, [&] { return manager.askedToKeepClipboard(60000); });
    writer.reset();
    EXPECT_TRUE(asked.get());
}

TEST_F(SelectionServing, WordsLargerThanOneRequestAreRefusedAndTheServingGoesOn) {
    // Beyond what one request of the X server carries (16 MiB with big requests).
    m_writer.writeString(QString(17 * 1024 * 1024, u'a'));
    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), "(refused)");
    EXPECT_EQ(textOf("CLIPBOARD", "STRING"), "(refused)");

    m_writer.writeString(u"short"_qs);
    EXPECT_EQ(textOf("CLIPBOARD", "UTF8_STRING"), "short");
}

TEST_F(SelectionServing, AnotherApplicationsCopyEndsTheServing) {
    m_writer.writeString(u"dictated"_qs);
    SelectionClient copier;
    ASSERT_TRUE(copier.take("CLIPBOARD"));
    // The copier answers nobody; the words are no longer ours to hand out.
    const auto answer = whileTheGuiThreadIsBlocked([&] { return m_reader.read("CLIPBOARD", "UTF8_STRING", 500); });
    EXPECT_FALSE(answer);
    // Giving up the clipboard then must not take it from the copier, which still answers nobody.
    m_writer.restore({});
    EXPECT_FALSE(whileTheGuiThreadIsBlocked([&] { return m_reader.read("CLIPBOARD", "UTF8_STRING", 500); }));
}

// The words left on the clipboard outlive the app where a clipboard manager runs.
TEST_F(SelectionServing, AClipboardManagerKeepsTheWordsWhenTheServingEnds) {
    auto writer = std::make_unique<SystemPasteboardWriter>();
    writer->writeString(kWords);
    SelectionClient manager;
    ASSERT_TRUE(manager.take("CLIPBOARD_MANAGER"));
    auto keeping = std::async(std::launch::async, [&] { return manager.keepClipboardWhenAsked(5000); });
    writer.reset();
    EXPECT_EQ(keeping.get(), kWords.toUtf8());
}

}  // namespace
}  // namespace quorvelle
