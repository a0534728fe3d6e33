#include "Services/Delivery/ElementHandleStorage.h"

namespace quorvelle {

std::shared_ptr<const FocusedElementHandle> makeElementHandle(AccessibilityElementRef element) {
    return std::make_shared<const FocusedElementHandle>(std::shared_ptr<void>(std::move(element)));
}

AccessibilityElementRef elementOf(const std::shared_ptr<const FocusedElementHandle>& handle) {
    if (!handle || !handle->storage()) return nullptr;
    return std::static_pointer_cast<AccessibilityElement>(handle->storage());
}

}  // namespace quorvelle
