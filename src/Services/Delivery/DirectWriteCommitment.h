#pragma once

namespace quorvelle {

struct FocusedTargetSnapshot;

// Whether the application keeps what a direct write puts into the target. Calc's cell editor shows
// the written words and reads them back, but on Enter it commits its own input line, which the
// write never reached: the words are gone. Such targets take the words by paste.
bool keepsDirectWrites(const FocusedTargetSnapshot& target);

}  // namespace quorvelle
