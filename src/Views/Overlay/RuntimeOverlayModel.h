#pragma once

#include "Models/AppStrings.h"
#include "Models/AudioLevelSnapshot.h"
#include "Models/SessionState.h"
#include "Views/Overlay/RuntimeOverlayCompactAudioIndicatorModel.h"
#include "Views/Overlay/RuntimeOverlayPresentation.h"
#include "Views/Overlay/RuntimeOverlayTheme.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

namespace quorvelle {

// The overlay pill's reading of the view model: QML binds the inputs to the view model's values
// and draws the outputs. Levels arrive many times a second, so they have their own signal and
// touch nothing else; the texts and colours change only with the state, language or theme.
class RuntimeOverlayModel : public QObject {
    Q_OBJECT
    QML_ELEMENT

    // Inputs. The enumerations come as their stored names.
    Q_PROPERTY(quorvelle::SessionState runtimeState READ runtimeState WRITE setRuntimeState NOTIFY inputsChanged)
    Q_PROPERTY(quorvelle::AppStrings strings READ strings WRITE setStrings NOTIFY inputsChanged)
    Q_PROPERTY(QString inlineMessage READ inlineMessage WRITE setInlineMessage NOTIFY inputsChanged)
    Q_PROPERTY(QString lastCaptureSummary READ lastCaptureSummary WRITE setLastCaptureSummary NOTIFY inputsChanged)
    Q_PROPERTY(
        QString recordingTriggerMode READ recordingTriggerMode WRITE setRecordingTriggerMode NOTIFY inputsChanged)
    Q_PROPERTY(QString desktopTheme READ desktopTheme WRITE setDesktopTheme NOTIFY inputsChanged)
    // "cloud" or "local": what the transcription step says it does.
    Q_PROPERTY(
        QString transcriptionBackend READ transcriptionBackend WRITE setTranscriptionBackend NOTIFY inputsChanged)
    Q_PROPERTY(quorvelle::AudioLevelSnapshot levels READ levels WRITE setLevels NOTIFY levelsChanged)

    // The pill's two lines, the glyph's symbol and the colour family ("idle", "active", "problem").
    Q_PROPERTY(QString title READ title NOTIFY presentationChanged)
    Q_PROPERTY(QString detail READ detail NOTIFY presentationChanged)
    Q_PROPERTY(QString symbolName READ symbolName NOTIFY presentationChanged)
    Q_PROPERTY(QString style READ style NOTIFY presentationChanged)
    Q_PROPERTY(quorvelle::RuntimeOverlayTheme theme READ theme NOTIFY themeChanged)
    // One display level (0...1) per bar of the full pill; twelve zeros without input.
    Q_PROPERTY(QList<qreal> barLevels READ barLevels NOTIFY levelsChanged)
    // The compact glyph: bars only while recording, and the halo's scale.
    Q_PROPERTY(bool compactVisible READ compactVisible NOTIFY levelsChanged)
    Q_PROPERTY(QList<qreal> compactLevels READ compactLevels NOTIFY levelsChanged)
    Q_PROPERTY(qreal glowScale READ glowScale NOTIFY levelsChanged)

public:
    explicit RuntimeOverlayModel(QObject* parent = nullptr);

    SessionState runtimeState() const { return m_runtimeState; }
    void setRuntimeState(const SessionState& state);
    AppStrings strings() const { return m_strings; }
    void setStrings(const AppStrings& strings);
    QString inlineMessage() const { return m_inlineMessage; }
    void setInlineMessage(const QString& message);
    QString lastCaptureSummary() const { return m_lastCaptureSummary; }
    void setLastCaptureSummary(const QString& summary);
    QString recordingTriggerMode() const { return m_recordingTriggerMode; }
    void setRecordingTriggerMode(const QString& mode);
    QString desktopTheme() const { return m_desktopTheme; }
    void setDesktopTheme(const QString& theme);
    QString transcriptionBackend() const { return m_transcriptionBackend; }
    void setTranscriptionBackend(const QString& backend);
    AudioLevelSnapshot levels() const { return m_levels; }
    void setLevels(const AudioLevelSnapshot& levels);

    QString title() const { return m_presentation.title; }
    QString detail() const { return m_presentation.detail; }
    QString symbolName() const { return m_presentation.symbolName; }
    QString style() const;
    RuntimeOverlayTheme theme() const { return m_theme; }
    QList<qreal> barLevels() const { return m_barLevels; }
    bool compactVisible() const { return m_compact.isVisible; }
    QList<qreal> compactLevels() const { return m_compactLevels; }
    qreal glowScale() const { return m_compact.glowScale; }

Q_SIGNALS:
    void inputsChanged();
    void presentationChanged();
    void themeChanged();
    void levelsChanged();

private:
    template <typename T>
    void assign(T& field, const T& value);
    void updatePresentation();
    void updateLevels();

    SessionState m_runtimeState;
    AppStrings m_strings;
    QString m_inlineMessage;
    QString m_lastCaptureSummary;
    QString m_recordingTriggerMode;
    QString m_desktopTheme;
    QString m_transcriptionBackend;
    AudioLevelSnapshot m_levels;

    RuntimeOverlayPresentation m_presentation;
    RuntimeOverlayTheme m_theme;
    RuntimeOverlayCompactAudioIndicatorModel m_compact;
    QList<qreal> m_barLevels;
    QList<qreal> m_compactLevels;
};

}  // namespace quorvelle
