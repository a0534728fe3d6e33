// The structure of a whisper model file in the ggml format, checked before the library loads it.
#pragma once

#include <QString>

namespace quorvelle {

// True when the file holds a header, mel filters, a vocabulary and exactly the tensors the header's
// layer counts call for, each with all of its data, and nothing after them. The library itself
// accepts a file cut short (even one with no tensors at all) and fails on it later.
bool isCompleteWhisperModelFile(const QString& path);

}  // namespace quorvelle
