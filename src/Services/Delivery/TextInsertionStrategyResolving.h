#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextInsertionStrategy.h"

namespace quorvelle {

class TextInsertionStrategyResolving {
public:
    virtual ~TextInsertionStrategyResolving() = default;
    virtual TextInsertionStrategy resolve(const FocusedTargetSnapshot& target) const = 0;
};

}  // namespace quorvelle
