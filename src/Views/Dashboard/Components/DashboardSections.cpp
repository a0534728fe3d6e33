#include "Views/Dashboard/Components/DashboardSections.h"

#include "Models/AppStrings.h"

namespace quorvelle {

QString symbolName(MainWindowSection section) {
    switch (section) {
        case MainWindowSection::overview: return QStringLiteral("house");
        case MainWindowSection::history: return QStringLiteral("clock.arrow.circlepath");
        case MainWindowSection::dictionary: return QStringLiteral("book.closed");
        case MainWindowSection::snippets: return QStringLiteral("text.badge.plus");
        case MainWindowSection::instructions: return QStringLiteral("doc.text");
        case MainWindowSection::shortcuts: return QStringLiteral("command");
        case MainWindowSection::subscription: return QStringLiteral("creditcard");
        case MainWindowSection::settings: return QStringLiteral("gearshape");
        case MainWindowSection::appearance: return QStringLiteral("paintpalette");
        case MainWindowSection::changelog: return QStringLiteral("sparkles");
    }
    return {};
}

DashboardSections::DashboardSections(QObject* parent) : QObject(parent) {}

QStringList DashboardSections::all() {
    QStringList values;
    for (MainWindowSection section : allMainWindowSections())
        values.append(rawValue(section));
    return values;
}

QString DashboardSections::symbolName(const QString& section) {
    const auto parsed = mainWindowSectionFromRawValue(section);
    return parsed ? quorvelle::symbolName(*parsed) : QString();
}

QString DashboardSections::title(const QString& section, const QString& languageCode) {
    const auto parsed = mainWindowSectionFromRawValue(section);
    return parsed ? AppStrings(languageCode).sectionTitle(*parsed) : QString();
}

QString DashboardSections::subtitle(const QString& section, const QString& languageCode, const QString& productName) {
    const auto parsed = mainWindowSectionFromRawValue(section);
    return parsed ? AppStrings(languageCode).sectionSubtitle(*parsed, productName) : QString();
}

}  // namespace quorvelle
