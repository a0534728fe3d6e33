#pragma once

#include "Services/Delivery/TextInsertionStrategyResolving.h"

namespace quorvelle {

// Writes straight into the element where that is dependable; pastes into terminals, web content and
// applications known to ignore, mangle or later drop direct value writes.
class AppScopedTextInsertionStrategyResolver final : public TextInsertionStrategyResolving {
public:
    TextInsertionStrategy resolve(const FocusedTargetSnapshot& target) const override;
};

}  // namespace quorvelle
