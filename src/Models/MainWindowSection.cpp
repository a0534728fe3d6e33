#include "Models/MainWindowSection.h"

namespace quorvelle {

namespace {

// Same order as the enumeration.
constexpr std::array<const char*, 10> rawValues = {
    "overview",  "history",      "dictionary", "snippets",   "instructions",
    "shortcuts", "subscription", "settings",   "appearance", "changelog",
};

}  // namespace

const std::array<MainWindowSection, 10>& allMainWindowSections() {
    static constexpr std::array<MainWindowSection, 10> sections = {
        MainWindowSection::overview,     MainWindowSection::history,      MainWindowSection::dictionary,
        MainWindowSection::snippets,     MainWindowSection::instructions, MainWindowSection::shortcuts,
        MainWindowSection::subscription, MainWindowSection::settings,     MainWindowSection::appearance,
        MainWindowSection::changelog,
    };
    return sections;
}

QString rawValue(MainWindowSection section) {
    return QString::fromLatin1(rawValues[static_cast<size_t>(section)]);
}

std::optional<MainWindowSection> mainWindowSectionFromRawValue(const QString& raw) {
    for (MainWindowSection section : allMainWindowSections()) {
        if (raw == QLatin1String(rawValues[static_cast<size_t>(section)])) {
            return section;
        }
    }
    return std::nullopt;
}

}  // namespace quorvelle
