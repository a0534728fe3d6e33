#pragma once

#include "App/AppConfiguration.h"

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

namespace quorvelle {

// The sidebar header's build identity: the version under the product name and the badge that
// tells which backend profile this copy talks to. Read from this process's configuration.
class SidebarIdentity : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // "v" and the version.
    Q_PROPERTY(QString versionLabel READ versionLabel CONSTANT)
    // "<profile> • Release • Build <build>".
    Q_PROPERTY(QString badgeLabel READ badgeLabel CONSTANT)
    // An AppIdentityStatus value.
    Q_PROPERTY(int badgeStatus READ badgeStatus CONSTANT)
    // Version, build, profile, configuration and both addresses, one a line.
    Q_PROPERTY(QString helpText READ helpText CONSTANT)

public:
    struct Texts {
        QString versionLabel;
        QString badgeLabel;
        int badgeStatus = 0;
        QString helpText;
    };

    explicit SidebarIdentity(QObject* parent = nullptr);

    // The texts for a configuration; shortVersion is the build's, empty when it wrote none.
    static Texts texts(const AppConfiguration& configuration, const QString& shortVersion);

    QString versionLabel() const { return m_texts.versionLabel; }
    QString badgeLabel() const { return m_texts.badgeLabel; }
    int badgeStatus() const { return m_texts.badgeStatus; }
    QString helpText() const { return m_texts.helpText; }

private:
    Texts m_texts;
};

}  // namespace quorvelle
