#pragma once

#include "Platform/Linux/AtspiElementNavigator.h"
#include "Platform/Linux/AtspiTextElementAccessor.h"
#include "Platform/Linux/XTestKeyPoster.h"
#include "Services/Delivery/AXFocusedElementReader.h"
#include "Services/Delivery/AccessibilityTextInserter.h"
#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"
#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
#include "Services/Delivery/FocusedTargetInspector.h"
#include "Services/Delivery/SystemPasteboardWriter.h"

namespace quorvelle {

// The live text-delivery services of this desktop: AT-SPI for elements, the X server for the
// front window and synthetic keys, QClipboard for the clipboard. Built together because they share
// the platform layer; the composition root hands out the protocols. Main thread only.
class LinuxTextDeliveryServices {
public:
    LinuxTextDeliveryServices();
    LinuxTextDeliveryServices(const LinuxTextDeliveryServices&) = delete;
    LinuxTextDeliveryServices& operator=(const LinuxTextDeliveryServices&) = delete;

    // Other applications' elements are readable: the accessibility bus answers and is switched on.
    static bool isAccessibilityUsable();

    FocusedTargetInspecting& inspector() { return inspector_; }
    TextInsertionStrategyResolving& strategyResolver() { return resolver_; }
    TextInserting& inserter() { return inserter_; }
    TextInsertionVerifying& insertionVerifier() { return inserter_; }
    AccessibilityTextElementAccessing& elementAccessor() { return accessor_; }
    ClipboardWriting& clipboard() { return clipboard_; }
    SyntheticPastePerforming& pastePerformer() { return pastePerformer_; }

private:
    AtspiElementNavigator navigator_;
    AXFocusedElementReader reader_;
    FocusedTargetInspector inspector_;
    AppScopedTextInsertionStrategyResolver resolver_;
    AtspiTextElementAccessor accessor_;
    AccessibilityTextInserter inserter_;
    SystemPasteboardWriter clipboard_;
    XTestKeyPoster keyPoster_;
    CommandVSyntheticPastePerformer pastePerformer_;
};

}  // namespace quorvelle
