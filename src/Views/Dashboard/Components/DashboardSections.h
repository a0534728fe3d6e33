#pragma once

#include "Models/MainWindowSection.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQmlIntegration>

namespace quorvelle {

// The symbol the sidebar and the page header show for a section.
QString symbolName(MainWindowSection section);

// The dashboard's sections as QML sees them: by raw value ("overview" ... "changelog").
class DashboardSections : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QStringList all READ all CONSTANT)

public:
    explicit DashboardSections(QObject* parent = nullptr);

    // The raw values in sidebar order.
    static QStringList all();
    // "" for a raw value that names no section.
    Q_INVOKABLE static QString symbolName(const QString& section);
    Q_INVOKABLE static QString title(const QString& section, const QString& languageCode);
    Q_INVOKABLE static QString subtitle(const QString& section, const QString& languageCode,
                                        const QString& productName);
};

}  // namespace quorvelle
