#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

namespace quorvelle::test {

// The test desktop's microphone: 16 kHz mono s16le written into its FIFO is what it records.
class TestMicrophone {
public:
    TestMicrophone();
    ~TestMicrophone();
    TestMicrophone(const TestMicrophone&) = delete;
    TestMicrophone& operator=(const TestMicrophone&) = delete;

    // A short English sentence spoken by espeak-ng, as raw samples; empty when the tools are missing.
    static QByteArray speech();

    // Throws away audio left in the FIFO by an earlier case.
    void drain();
    // Starts writing `pcm` from another thread at the pace of a real microphone; the pipe is kept
    // small, so once the writer is done all but a few milliseconds have been read.
    void speak(const QByteArray& pcm);
    // Starts writing `pcm` at once, at the pace of a real microphone, as a live one speaks whether
    // anyone records or not: a piece the sound server does not take when it comes (nobody records yet)
    // is dropped, never held for a later reader. Only the pipe's room (kPipeBytes, 128 ms) waits for
    // one, as a sound card's buffer holds a moment of sound.
    void speakLive(const QByteArray& pcm);
    static constexpr int kPipeBytes = 4096;
    // Waits until everything was written.
    void finish();
    // Bytes of the last speakLive that were dropped.
    qsizetype droppedBytes() const { return m_dropped; }

private:
    void startWriter(const QByteArray& pcm, bool dropsUnread);

    QString m_path;
    std::thread m_writer;
    std::atomic<qsizetype> m_dropped = 0;
};

}  // namespace quorvelle::test
