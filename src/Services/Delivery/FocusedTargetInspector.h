#pragma once

#include "Services/Delivery/FocusedElementSnapshotReading.h"
#include "Services/Delivery/FocusedTargetInspecting.h"

#include <functional>
#include <optional>

namespace quorvelle {

class FocusedTargetInspector final : public FocusedTargetInspecting {
public:
    // Whether other applications' elements may be read (on this desktop: the accessibility bus
    // answers and is switched on).
    using TrustCheck = std::function<bool()>;
    using FrontmostApplicationProvider = std::function<std::optional<FocusedAppMetadata>()>;

    FocusedTargetInspector(TrustCheck isTrusted, FrontmostApplicationProvider frontmostApplicationProvider,
                           FocusedElementSnapshotReading& focusedElementReader);

    FocusedTargetSnapshot inspect() override;

private:
    TrustCheck isTrusted_;
    FrontmostApplicationProvider frontmostApplicationProvider_;
    FocusedElementSnapshotReading& focusedElementReader_;
};

}  // namespace quorvelle
