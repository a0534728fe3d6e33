#pragma once

#include <QString>
#include <optional>

namespace quorvelle {

struct FocusedTargetSnapshot;

// Why the target looks like a terminal (where text is never written through accessibility), or
// none. The reason names the value that matched, lower-cased, for diagnostics.
std::optional<QString> terminalLikeReason(const FocusedTargetSnapshot& target);

}  // namespace quorvelle
