#pragma once

#include <QString>

#include <array>
#include <optional>

namespace quorvelle {

// The dashboard's sections in sidebar order.
enum class MainWindowSection {
    overview,
    history,
    dictionary,
    snippets,
    instructions,
    shortcuts,
    subscription,
    settings,
    appearance,
    changelog,
};

const std::array<MainWindowSection, 10>& allMainWindowSections();
QString rawValue(MainWindowSection section);
// Exact, case-sensitive match; anything else is no section.
std::optional<MainWindowSection> mainWindowSectionFromRawValue(const QString& raw);

}  // namespace quorvelle
