#include "Views/Dashboard/History/HistoryExporter.h"

#include "Services/Storage/TranscriptHistoryExportError.h"
#include "Support/PrivateFile.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/History/FileDialogSaveLocationChooser.h"

#include <QFileInfo>

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
    if (!m_viewModel || m_viewModel->history()->transcriptHistoryEntries().isEmpty()) return;
    setMessage(
        run(*m_viewModel->history()->transcriptHistoryStore(), *m_chooser, m_viewModel->strings()).value_or(QString()));
}

std::optional<QString> HistoryExporter::run(TranscriptHistoryStoring& store, SaveLocationChoosing& chooser,
                                            const AppStrings& strings) {
    const QString failed = strings.localized(u"The history could not be exported: ", u"Geçmiş dışa aktarılamadı: ");
    QString exported;
    try {
        exported = store.exportCSV();
    } catch (const TranscriptHistoryExportError& error) {
        return failed + (error.detail().isEmpty() ? QString::fromUtf8(error.what()) : error.detail());
    } catch (const std::exception& error) {
        return failed + QString::fromUtf8(error.what());
    }
    const std::optional<QString> target = chooser.chooseSaveLocation(QFileInfo(exported).fileName());
    if (!target) return std::nullopt;
    if (QFileInfo(*target).isDir()) {
        return strings.localized(u"A folder cannot be replaced by the export. Choose a file name.",
                                 u"Dışa aktarma bir klasörün yerine yazılamaz. Bir dosya adı seçin.");
    }
    if (const std::optional<QString> reason = PrivateFile::copy(exported, *target)) return failed + *reason;
    return std::nullopt;
}

void HistoryExporter::setMessage(const QString& message) {
    if (message == m_message) return;
    m_message = message;
    Q_EMIT messageChanged();
}

}  // namespace quorvelle
