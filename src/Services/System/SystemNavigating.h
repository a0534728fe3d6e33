#pragma once

#include "Services/System/SystemDestination.h"

namespace quorvelle {

class SystemNavigating {
public:
    virtual ~SystemNavigating() = default;

    // Opens the destination; a failure is not reported back (the caller has already said what it does).
    virtual void open(const SystemDestination& destination) = 0;
};

}  // namespace quorvelle
