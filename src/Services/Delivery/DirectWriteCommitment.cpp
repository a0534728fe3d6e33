#include "Services/Delivery/DirectWriteCommitment.h"

#include "Services/Delivery/FocusedTargetTables.h"
#include "Services/Delivery/WindowClassMatch.h"

namespace quorvelle {

bool keepsDirectWrites(const FocusedTargetSnapshot& target) {
    return !windowClassIsOneOf(target.app, FocusedTargetTables::directWriteDroppingWindowClasses);
}

}  // namespace quorvelle
