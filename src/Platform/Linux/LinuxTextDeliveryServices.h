#pragma once

#include "Platform/Linux/AtspiElementNavigator.h"
#include "Platform/Linux/AtspiFocusChangeAwaiter.h"
#include "Platform/Linux/AtspiTextElementAccessor.h"
#include "Platform/Linux/XTestKeyPoster.h"
#include "Services/Delivery/AXFocusedElementReader.h"
#include "Services/Delivery/AccessibilityTextInserter.h"
#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"
#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
#include "Services/Delivery/FocusedTargetInspector.h"
#include "Services/Delivery/SystemPasteboardWriter.h"

#include <QObject>

namespace quorvelle {

// The live text-delivery services of this desktop: AT-SPI for elements, the X server for the
// front window and synthetic keys, a selection owner of our own for the words put on the clipboard
// (QClipboard to read and give back the user's). Built together because they share
// the platform layer; the composition root hands out the protocols. Main thread only.
class LinuxTextDeliveryServices {
public:
    LinuxTextDeliveryServices();
    LinuxTextDeliveryServices(const LinuxTextDeliveryServices&) = delete;
    LinuxTextDeliveryServices& operator=(const LinuxTextDeliveryServices&) = delete;

    // Other applications' elements are readable: the accessibility bus answers and is switched on.
    static bool isAccessibilityUsable();

    FocusedTargetInspecting& inspector() { return m_inspector; }
    TextInsertionStrategyResolving& strategyResolver() { return m_resolver; }
    TextInserting& inserter() { return m_inserter; }
    TextInsertionVerifying& insertionVerifier() { return m_inserter; }
    AccessibilityTextElementAccessing& elementAccessor() { return m_accessor; }
    ClipboardWriting& clipboard() { return m_clipboard; }
    SyntheticPastePerforming& pastePerformer() { return m_pastePerformer; }
    FocusChangeAwaiting& focusChanges() { return m_focusChanges; }

private:
    AtspiElementNavigator m_navigator;
    AXFocusedElementReader m_reader;
    FocusedTargetInspector m_inspector;
    AppScopedTextInsertionStrategyResolver m_resolver;
    AtspiTextElementAccessor m_accessor;
    AccessibilityTextInserter m_inserter;
    SystemPasteboardWriter m_clipboard;
    XTestKeyPoster m_keyPoster;
    CommandVSyntheticPastePerformer m_pastePerformer;
    AtspiFocusChangeAwaiter m_focusChanges;
    // Ends the look at the focus made once the event loop runs, should these services go first.
    QObject m_lifetime;
};

}  // namespace quorvelle
