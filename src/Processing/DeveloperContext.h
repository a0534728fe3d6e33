#pragma once

#include <QLatin1StringView>
#include <array>
#include <optional>

#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {

namespace DeveloperContextTables {

using L1 = QLatin1StringView;

// Substrings of an app's bundle identifier or name, or of the field's title or identifier, that mark
// a programming tool. Tested in this order.
inline constexpr std::array keywords{L1("xcode"),
                                     L1("cursor"),
                                     L1("visual studio code"),
                                     L1("vscode"),
                                     L1("com.microsoft.vscode"),
                                     L1("terminal"),
                                     L1("iterm"),
                                     L1("warp"),
                                     L1("ghostty"),
                                     L1("claude"),
                                     L1("codex"),
                                     L1("zed"),
                                     L1("jetbrains"),
                                     L1("intellij"),
                                     L1("webstorm"),
                                     L1("pycharm")};

// Terms added to the hints when dictating into a programming tool, after the user's own.
inline constexpr std::array vocabularyHints{
    L1("useEffect"),  L1("useState"),     L1("useMemo"),     L1("useCallback"),    L1("dependency array"),
    L1("TypeScript"), L1("JavaScript"),   L1("Node.js"),     L1("React Query"),    L1("Next.js"),
    L1("Fastify"),    L1("PostgreSQL"),   L1("Redis"),       L1("Docker Compose"), L1("kubectl"),
    L1("GitHub"),     L1("pull request"), L1("npm run dev"), L1("pnpm install"),   L1("bun run dev"),
    L1("SwiftUI"),    L1("Xcode"),        L1("Claude Code"), L1("Codex"),          L1("OpenAI")};

}  // namespace DeveloperContextTables

bool isDeveloperContext(const std::optional<FocusedTargetSnapshot>& target);

}  // namespace quorvelle
