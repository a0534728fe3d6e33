#pragma once

#include <QByteArray>
#include <QString>

namespace quorvelle {

// One recording: a complete audio file held in memory and its format.
struct CapturedAudioClip {
    QByteArray data;
    double duration = 0;  // seconds
    double sampleRate = 0;
    int channelCount = 0;
    int bitsPerSample = 0;
    QString fileExtension;

    bool operator==(const CapturedAudioClip&) const = default;
};

}  // namespace quorvelle
