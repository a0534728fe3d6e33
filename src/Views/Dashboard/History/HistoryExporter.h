#pragma once

#include "Models/AppStrings.h"
#include "Services/Storage/TranscriptHistoryStoring.h"
#include "Views/Dashboard/History/SaveLocationChoosing.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

#include <QCoroTask>

#include <memory>
#include <optional>

namespace quorvelle {

class AppViewModel;

// The history's CSV export: the store writes the file into the private temporary folder, the
// user picks a place for it, and the copy replaces what is there in one step, so a failure
// leaves the old file as it was. A failure is reported in `message`, in the interface language.
// The files are made and copied off the window's thread: a long history never freezes the window.
class HistoryExporter : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QObject* viewModel READ viewModelObject WRITE setViewModel NOTIFY viewModelChanged)
    // Why the last export failed; empty after a success, a cancel or before any export.
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    // An export is under way; another waits until it is done.
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged)

public:
    explicit HistoryExporter(QObject* parent = nullptr);

    QObject* viewModelObject() const;
    void setViewModel(QObject* viewModel);
    const QString& message() const { return m_message; }
    bool isBusy() const { return m_busy; }
    // The save dialog by default.
    void setSaveLocationChooser(std::shared_ptr<SaveLocationChoosing> chooser);

    // Starts the export and returns; nothing happens for an empty history or while one runs.
    Q_INVOKABLE void exportHistoryCSV();

    // The export itself: none on success or cancel, else the message to show.
    static QCoro::Task<std::optional<QString>> run(std::shared_ptr<TranscriptHistoryStoring> store,
                                                   std::shared_ptr<SaveLocationChoosing> chooser, AppStrings strings);

Q_SIGNALS:
    void viewModelChanged();
    void messageChanged();
    void busyChanged();

private:
    void setMessage(const QString& message);
    void setBusy(bool busy);

    QPointer<AppViewModel> m_viewModel;
    std::shared_ptr<SaveLocationChoosing> m_chooser;
    QString m_message;
    bool m_busy = false;
};

}  // namespace quorvelle
