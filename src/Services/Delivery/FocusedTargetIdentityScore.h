#pragma once

#include <QString>
#include <QStringList>

namespace quorvelle {

struct FocusedTargetSnapshot;

// How sure we are that two snapshots describe the same input surface. Every rule is symmetric.
struct FocusedTargetIdentityScore {
    static constexpr int sameSurfaceThreshold = 50;

    int score = 0;
    bool isSameSurface = false;
    QStringList reasons;  // in the order the checks ran

    bool operator==(const FocusedTargetIdentityScore&) const = default;

    static FocusedTargetIdentityScore compute(const FocusedTargetSnapshot& earlier,
                                              const FocusedTargetSnapshot& current);
};

}  // namespace quorvelle
