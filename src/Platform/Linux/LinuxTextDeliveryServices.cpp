#include "Platform/Linux/LinuxTextDeliveryServices.h"

#include "Platform/Linux/AccessibilityBus.h"
#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/X11FrontmostApplicationReader.h"
#include "Support/CancellableSleep.h"

#include <QTimer>

namespace quorvelle {

LinuxTextDeliveryServices::LinuxTextDeliveryServices()
    : m_reader(m_navigator),
      m_inspector(&LinuxTextDeliveryServices::isAccessibilityUsable,
                  &X11FrontmostApplicationReader::frontmostApplicationMetadata, m_reader),
      m_inserter(m_accessor),
      m_pastePerformer(
          m_keyPoster, &X11FrontmostApplicationReader::frontmostApplicationMetadata,
          [](std::chrono::milliseconds pause, std::stop_token stopToken) {
              return sleepFor(double(pause.count()) / 1000.0, std::move(stopToken));
          },
          [this] { m_clipboard.copyClipboardToPrimarySelection(); },
          [this](quint32 window, std::chrono::milliseconds bound, std::stop_token stopToken) {
              return m_clipboard.targetsRequested(window, bound, std::move(stopToken));
          },
          {[this] { m_clipboard.holdText(); }, [this](bool give) { m_clipboard.letText(give); }}),
      m_focusChanges(&X11FrontmostApplicationReader::frontmostProcessIdentifier,
                     [this] { m_keyPoster.catchUpKeyPresses(); }) {
    // A field that held the focus before we started gives no focus event until the focus moves, and
    // under the hot key's grab GTK no longer names it: its application is asked once, before any press.
    QTimer::singleShot(0, &m_lifetime, [this] {
        if (!isAccessibilityUsable()) return;
        if (const std::optional<qint32> front = X11FrontmostApplicationReader::frontmostProcessIdentifier())
            m_navigator.learnFocus(*front);
    });
}

bool LinuxTextDeliveryServices::isAccessibilityUsable() {
    return AccessibilityBus::isEnabled() && AtspiConnection::ensureInitialised();
}

}  // namespace quorvelle
