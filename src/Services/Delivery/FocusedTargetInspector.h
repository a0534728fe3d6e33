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
    FocusedTargetSnapshot reinspect(const FocusedTargetSnapshot& earlier) override;
    PasswordFieldLook lookForPasswordField(const FocusedTargetSnapshot* earlier) override;
    QCoro::Task<void> awaitFrontApplication(std::stop_token stopToken) override;
    bool answers(const FocusedTargetSnapshot& target) override;

private:
    FocusedTargetSnapshot inspect(const AccessibilityElement* earlier);
    static FocusedTargetSnapshot snapshotOf(const FocusedAppMetadata& app, FocusedElementReading reading);

    TrustCheck m_isTrusted;
    FrontmostApplicationProvider m_frontmostApplicationProvider;
    FocusedElementSnapshotReading& m_focusedElementReader;
};

}  // namespace quorvelle
