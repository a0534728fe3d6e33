#pragma once

#include <QLatin1StringView>
#include <array>
#include <optional>

#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {

// Substrings of an app's bundle identifier or name, or of the field's title or identifier, that mark
// a programming tool. Tested in this order.
inline constexpr std::array kDeveloperContextKeywords{QLatin1StringView("xcode"),
                                                      QLatin1StringView("cursor"),
                                                      QLatin1StringView("visual studio code"),
                                                      QLatin1StringView("vscode"),
                                                      QLatin1StringView("com.microsoft.vscode"),
                                                      QLatin1StringView("terminal"),
                                                      QLatin1StringView("iterm"),
                                                      QLatin1StringView("warp"),
                                                      QLatin1StringView("ghostty"),
                                                      QLatin1StringView("claude"),
                                                      QLatin1StringView("codex"),
                                                      QLatin1StringView("zed"),
                                                      QLatin1StringView("jetbrains"),
                                                      QLatin1StringView("intellij"),
                                                      QLatin1StringView("webstorm"),
                                                      QLatin1StringView("pycharm")};

// Terms added to the hints when dictating into a programming tool, after the user's own.
inline constexpr std::array kDeveloperVocabularyHints{QLatin1StringView("useEffect"),
                                                      QLatin1StringView("useState"),
                                                      QLatin1StringView("useMemo"),
                                                      QLatin1StringView("useCallback"),
                                                      QLatin1StringView("dependency array"),
                                                      QLatin1StringView("TypeScript"),
                                                      QLatin1StringView("JavaScript"),
                                                      QLatin1StringView("Node.js"),
                                                      QLatin1StringView("React Query"),
                                                      QLatin1StringView("Next.js"),
                                                      QLatin1StringView("Fastify"),
                                                      QLatin1StringView("PostgreSQL"),
                                                      QLatin1StringView("Redis"),
                                                      QLatin1StringView("Docker Compose"),
                                                      QLatin1StringView("kubectl"),
                                                      QLatin1StringView("GitHub"),
                                                      QLatin1StringView("pull request"),
                                                      QLatin1StringView("npm run dev"),
                                                      QLatin1StringView("pnpm install"),
                                                      QLatin1StringView("bun run dev"),
                                                      QLatin1StringView("SwiftUI"),
                                                      QLatin1StringView("Xcode"),
                                                      QLatin1StringView("Claude Code"),
                                                      QLatin1StringView("Codex"),
                                                      QLatin1StringView("OpenAI")};

bool isDeveloperContext(const std::optional<FocusedTargetSnapshot>& target);

}  // namespace quorvelle
