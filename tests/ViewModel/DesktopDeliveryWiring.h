#pragma once

#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "ViewModel/AppBootstrap.h"

#include <memory>

namespace quorvelle::test {

// Puts the desktop's own delivery services in the container, each sharing the one set's lifetime.
inline void useDesktopDelivery(AppBootstrap& s, const std::shared_ptr<LinuxTextDeliveryServices>& services) {
    s.focusedTargetInspector = std::shared_ptr<FocusedTargetInspecting>(services, &services->inspector());
    s.textInsertionStrategyResolver =
        std::shared_ptr<TextInsertionStrategyResolving>(services, &services->strategyResolver());
    s.textInserter = std::shared_ptr<TextInserting>(services, &services->inserter());
    s.pasteboardWriter = std::shared_ptr<ClipboardWriting>(services, &services->clipboard());
    s.syntheticPastePerformer = std::shared_ptr<SyntheticPastePerforming>(services, &services->pastePerformer());
}

}  // namespace quorvelle::test
