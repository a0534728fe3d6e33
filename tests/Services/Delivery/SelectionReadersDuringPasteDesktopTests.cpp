// Readers of our selections other than the paste's application, during a paste: a clipboard manager that
// reads every new copy as its owner changes, and a middle click that reads an older primary selection of
// ours. Neither read is the paste's fetch, the hold of the paste's keys covers only the paste's words,
// and neither the hold nor a refusal outlasts the paste it was for.
#include "SelectionClient.h"
#include "Services/Delivery/SystemPasteboardWriter.h"
#include "TestEventLoop.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <future>

namespace quorvelle {
namespace {

using test::SelectionClient;

const QString kWords = u"dictated words"_qs;
const QList<ClipboardItemSnapshot> kUsersClipboard{{{{u"text/plain"_qs, "the user's words"}}}};

class SelectionReadersDuringPaste : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
    }

    // The text `reader` gets from the selection, read on a thread of its own while this one waits.
    static QByteArray textFor(SelectionClient& reader, const char* selection) {
        const auto answer = std::async(std::launch::async, [&] { return reader.read(selection, "UTF8_STRING"); }).get();
        if (!answer) return "(no answer)";
        return answer->refused ? "(refused)" : answer->data;
    }
    // Whether the wait for the paste's fetch ended well before its limit of `seconds`, the event loop
    // running meanwhile (reads reach the writer through it).
    bool fetchedWithin(double seconds) {
        QElapsedTimer waited;
        waited.start();
        test::runTask(m_writer.fetched(seconds, {}));
        return double(waited.elapsed()) < seconds * 1000 * 0.8;
    }
    // Starts the paste application's read, which the hold keeps waiting.
    std::future<std::optional<SelectionClient::Answer>> pasteRead(const char* selection) {
        return std::async(std::launch::async,
                          [this, selection] { return m_paster.read(selection, "UTF8_STRING", 20000); });
    }

    SystemPasteboardWriter m_writer;
    SelectionClient m_manager, m_paster;
};

TEST_F(SelectionReadersDuringPaste, AClipboardManagersReadAsTheWordsCameIsNotThePastesFetch) {
    m_writer.writeString(kWords);
    // The manager takes its copy of the words as they come, before the keys go out.
    ASSERT_EQ(textFor(m_manager, "CLIPBOARD"), kWords.toUtf8());
    ASSERT_TRUE(fetchedWithin(10)) << "a read of the words before any keys is a fetch of them";

    m_writer.holdText();
    EXPECT_FALSE(fetchedWithin(0.3)) << "the manager's read was taken for the paste's fetch";
    auto paste = pasteRead("CLIPBOARD");
    EXPECT_EQ(paste.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout) << "answered while held";
    m_writer.letText(true);
    EXPECT_TRUE(fetchedWithin(10));
    const auto pasted = paste.get();
    ASSERT_TRUE(pasted && !pasted->refused);
    EXPECT_EQ(pasted->data, kWords.toUtf8());
}

// The primary selection still holds an earlier dictation's words (a terminal pasted them) when the next
// words go onto the clipboard: a middle click elsewhere reads them at once while the new paste's keys
// go out, is not that paste's fetch, and is not refused with the paste's words.
TEST_F(SelectionReadersDuringPaste, AnOlderPrimarySelectionIsNeitherHeldNorFetchedNorRefusedWithThePaste) {
    m_writer.writeString(u"earlier words"_qs);
    m_writer.copyClipboardToPrimarySelection();
    m_writer.writeString(kWords);

    m_writer.holdText();
    EXPECT_EQ(textFor(m_manager, "PRIMARY"), "earlier words");
    EXPECT_FALSE(fetchedWithin(0.3)) << "a read of an earlier claim was taken for the paste's fetch";
    auto paste = pasteRead("CLIPBOARD");
    m_writer.letText(false);
    const auto refusal = paste.get();
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->refused);
    EXPECT_TRUE(fetchedWithin(10)) << "a refused read of the words is the paste's fetch";
    EXPECT_EQ(textFor(m_manager, "PRIMARY"), "earlier words");
}

// A refusal lasts until other contents are served in the words' place, and a hold lasts no longer than
// its paste: the next dictation's words, in either selection, and the user's clipboard given back over
// refused words are served at once; a hold never let go does not hold the next words.
TEST_F(SelectionReadersDuringPaste, NeitherAHoldNorARefusalOutlastsItsPaste) {
    const auto refuseNextPaste = [&](const QString& words) {
        m_writer.writeString(words);
        m_writer.copyClipboardToPrimarySelection();
        m_writer.holdText();
        m_writer.letText(false);
        ASSERT_EQ(textFor(m_paster, "CLIPBOARD"), "(refused)");
        ASSERT_EQ(textFor(m_paster, "PRIMARY"), "(refused)");
    };
    refuseNextPaste(u"refused words"_qs);
    m_writer.writeString(kWords);
    EXPECT_EQ(textFor(m_paster, "CLIPBOARD"), kWords.toUtf8());
    m_writer.copyClipboardToPrimarySelection();
    EXPECT_EQ(textFor(m_paster, "PRIMARY"), kWords.toUtf8());

    refuseNextPaste(u"refused again"_qs);
    m_writer.restore(kUsersClipboard);
    EXPECT_EQ(textFor(m_manager, "CLIPBOARD"), "the user's words");

    m_writer.writeString(u"never let"_qs);
    m_writer.holdText();
    m_writer.writeString(kWords);
    EXPECT_EQ(textFor(m_paster, "CLIPBOARD"), kWords.toUtf8());
}

}  // namespace
}  // namespace quorvelle
