#pragma once

#include "Services/System/SystemNavigating.h"

#include <QString>

#include <functional>

namespace quorvelle {

// Addresses go to the desktop's handler for them; the settings pages to the desktop's own settings
// tool, or the nearest one installed. Nothing here waits for the opened program. When nothing can be
// opened the report is called with the reason (by default it goes to the log), so a click never ends
// in silence.
class SystemNavigator final : public SystemNavigating {
public:
    using Report = std::function<void(const QString& reason)>;

    explicit SystemNavigator(Report reportUnavailable = {});

    void open(const SystemDestination& destination) override;

private:
    void report(const QString& reason) const;

    Report m_reportUnavailable;
};

}  // namespace quorvelle
