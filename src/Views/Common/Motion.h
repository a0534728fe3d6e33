#pragma once

#include <QObject>
#include <QtQmlIntegration>

namespace quorvelle {

// The one switch for every Behavior and transition of the views: `enabled: Motion.enabled`.
// Tests turn it off before they build an engine, so that a grab shows the final state.
class Motion : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool enabled READ enabled CONSTANT)

public:
    explicit Motion(QObject* parent = nullptr);

    bool enabled() const { return m_enabled; }

    // Read by every engine created afterwards.
    static void setAnimationsEnabled(bool enabled);
    static bool animationsEnabled();

private:
    bool m_enabled;
};

}  // namespace quorvelle
