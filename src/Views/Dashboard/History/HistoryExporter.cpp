#include "Views/Dashboard/History/HistoryExporter.h"

#include "Services/Storage/TranscriptHistoryExportError.h"
#include "Support/PrivateFile.h"
#include "Support/ThreadPoolTask.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/History/FileDialogSaveLocationChooser.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <QCoroTask>

namespace quorvelle {

HistoryExporter::HistoryExporter(QObject* parent)
    : QObject(parent), m_chooser(std::make_shared<FileDialogSaveLocationChooser>()) {}

QObject* HistoryExporter::viewModelObject() const {
    return m_viewModel;
}

void HistoryExporter::setViewModel(QObject* viewModel) {
    auto* typed = qobject_cast<AppViewModel*>(viewModel);
    if (typed == m_viewModel) return;
    m_viewModel = typed;
    Q_EMIT viewModelChanged();
}

void HistoryExporter::setSaveLocationChooser(std::shared_ptr<SaveLocationChoosing> chooser) {
    m_chooser = std::move(chooser);
}

void HistoryExporter::exportHistoryCSV() {
    if (!m_viewModel || m_busy || m_viewModel->history()->transcriptHistoryEntries().isEmpty()) return;
    setBusy(true);
    QCoro::connect(run(m_viewModel->history()->transcriptHistoryStore(), m_chooser, m_viewModel->strings()), this,
                   [this](const std::optional<QString>& message) {
                       setMessage(message.value_or(QString()));
                       setBusy(false);
                   });
}

QCoro::Task<std::optional<QString>> HistoryExporter::run(std::shared_ptr<TranscriptHistoryStoring> store,
                                                         std::shared_ptr<SaveLocationChoosing> chooser,
                                                         AppStrings strings) {
    const QString failed = strings.localized(u"The history could not be exported: ", u"Geçmiş dışa aktarılamadı: ");
    QString exported;
    try {
        exported = co_await store->exportCSVInBackground();
    } catch (const TranscriptHistoryExportError& error) {
        co_return failed + (error.detail().isEmpty() ? QString::fromUtf8(error.what()) : error.detail());
    } catch (const std::exception& error) {
        co_return failed + QString::fromUtf8(error.what());
    }
    // A whole copy of the history: it goes whenever the export does not complete (a cancel, a
    // failure, the export dropped at quit).
    auto leftover = qScopeGuard([exported] { QFile::remove(exported); });
    const std::optional<QString> target = chooser->chooseSaveLocation(QFileInfo(exported).fileName());
    if (!target) co_return std::nullopt;
    if (QFileInfo(*target).isDir()) {
        co_return strings.localized(u"A folder cannot be replaced by the export. Choose a file name.",
                                    u"Dışa aktarma bir klasörün yerine yazılamaz. Bir dosya adı seçin.");
    }
    // Made outside the await: g++ 12 destroys a lambda that is a temporary of an awaited expression
    // twice.
    auto copied = runOnThreadPool([exported, target = *target] { return PrivateFile::copy(exported, target); });
    if (const std::optional<QString> reason = co_await copied) co_return failed + *reason;
    leftover.dismiss();
    co_return std::nullopt;
}

void HistoryExporter::setMessage(const QString& message) {
    if (message == m_message) return;
    m_message = message;
    Q_EMIT messageChanged();
}

void HistoryExporter::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    Q_EMIT busyChanged();
}

}  // namespace quorvelle
