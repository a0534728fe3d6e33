// Writes a whisper model file of the "tiny" shapes with random weights, in the ggml format that
// whisper.cpp loads: enough for the real engine to run, detect a language and decode. Its decoder is
// rigged so that every clip reads as the one word kTinyModelWord.
#pragma once

#include <QString>

namespace quorvelle::test {

inline constexpr const char* kTinyModelWord = "w60";

// About 75 MB. Returns false when the file cannot be written.
bool writeTinyRandomWhisperModel(const QString& path, quint32 seed = 1);

}  // namespace quorvelle::test
