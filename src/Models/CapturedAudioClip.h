#pragma once

#include <QByteArray>
#include <QString>

namespace quorvelle {

// One finished recording: a complete WAV file in memory and what it holds.
struct CapturedAudioClip {
    QByteArray data;
    double duration = 0;  // seconds of captured audio, not wall-clock time
    double sampleRate = 16000;
    int channelCount = 1;
    int bitsPerSample = 16;
    QString fileExtension = QStringLiteral("wav");

    friend bool operator==(const CapturedAudioClip&, const CapturedAudioClip&) = default;
};

}  // namespace quorvelle
