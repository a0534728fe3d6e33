#pragma once

#include "Models/AppStrings.h"
#include "Models/AudioDeviceInfo.h"
#include "Models/AudioInputDevicePreference.h"
#include "Models/DiagnosticsSnapshot.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QtQmlIntegration>

#include <optional>

namespace quorvelle {

// The settings panel's microphone picker: the system default, the stored choice when its device
// is not connected, then the devices last listed. Each option is tagged with a device uid, none
// for the system default; the selection is the option tagged with the stored uid.
class MicrophonePickerModel : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(quorvelle::AppStrings strings READ strings WRITE setStrings)
    Q_PROPERTY(quorvelle::DiagnosticsSnapshot diagnosticsSnapshot READ diagnosticsSnapshot WRITE setDiagnosticsSnapshot)
    Q_PROPERTY(std::optional<quorvelle::AudioInputDevicePreference> selectedMicrophonePreference READ
                   selectedMicrophonePreference WRITE setSelectedMicrophonePreference)
    // The stored device's name and " (bagli degil)" while it is not connected; empty otherwise.
    Q_PROPERTY(QString selectedMicrophoneLabel READ selectedMicrophoneLabel WRITE setSelectedMicrophoneLabel)

    Q_PROPERTY(QStringList titles READ titles NOTIFY optionsChanged)
    // -1 when no option carries the stored uid.
    Q_PROPERTY(int selectedIndex READ selectedIndex NOTIFY optionsChanged)

public:
    struct Option {
        QString title;
        std::optional<QString> uid;

        friend bool operator==(const Option&, const Option&) = default;
    };

    static QList<Option> options(const AppStrings& strings, const QList<AudioDeviceInfo>& devices,
                                 const std::optional<AudioInputDevicePreference>& preference,
                                 const QString& disconnectedLabel);
    static int selectedIndex(const QList<Option>& options, const std::optional<AudioInputDevicePreference>& preference);

    explicit MicrophonePickerModel(QObject* parent = nullptr);

    AppStrings strings() const { return m_strings; }
    void setStrings(const AppStrings& strings);
    DiagnosticsSnapshot diagnosticsSnapshot() const { return m_diagnosticsSnapshot; }
    void setDiagnosticsSnapshot(const DiagnosticsSnapshot& snapshot);
    std::optional<AudioInputDevicePreference> selectedMicrophonePreference() const { return m_preference; }
    void setSelectedMicrophonePreference(const std::optional<AudioInputDevicePreference>& preference);
    QString selectedMicrophoneLabel() const { return m_disconnectedLabel; }
    void setSelectedMicrophoneLabel(const QString& label);

    QStringList titles() const;
    int selectedIndex() const { return selectedIndex(m_options, m_preference); }
    // The uid of an option, null for the system default.
    Q_INVOKABLE QVariant uidAt(int index) const;

Q_SIGNALS:
    void optionsChanged();

private:
    void rebuild();

    AppStrings m_strings;
    DiagnosticsSnapshot m_diagnosticsSnapshot = DiagnosticsSnapshot::empty();
    std::optional<AudioInputDevicePreference> m_preference;
    QString m_disconnectedLabel;
    QList<Option> m_options;
};

}  // namespace quorvelle
