#include "Platform/Linux/LinuxTextDeliveryServices.h"

#include "Platform/Linux/AccessibilityBus.h"
#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/X11FrontmostApplicationReader.h"

#include <QThread>

namespace quorvelle {

LinuxTextDeliveryServices::LinuxTextDeliveryServices()
    : reader_(navigator_),
      inspector_(&LinuxTextDeliveryServices::isAccessibilityUsable,
                 &X11FrontmostApplicationReader::frontmostApplicationMetadata, reader_),
      inserter_(accessor_),
      pastePerformer_(keyPoster_, &X11FrontmostApplicationReader::frontmostProcessIdentifier,
                      [](std::chrono::milliseconds pause) { QThread::msleep(static_cast<unsigned long>(pause.count())); }) {}

bool LinuxTextDeliveryServices::isAccessibilityUsable() {
    return AccessibilityBus::isEnabled() && AtspiConnection::ensureInitialised();
}

}  // namespace quorvelle
