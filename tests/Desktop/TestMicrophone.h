#pragma once

#include <QByteArray>
#include <QString>

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
    // Waits until everything was written.
    void finish();

private:
    QString m_path;
    std::thread m_writer;
};

}  // namespace quorvelle::test
