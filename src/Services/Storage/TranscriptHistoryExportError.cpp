#include "Services/Storage/TranscriptHistoryExportError.h"

namespace quorvelle {

namespace {

QString summary(TranscriptHistoryExportErrorCase errorCase) {
    switch (errorCase) {
        case TranscriptHistoryExportErrorCase::historyUnreadable:
            return QStringLiteral("The transcript history cannot be read");
        case TranscriptHistoryExportErrorCase::exportFolderUnavailable:
            return QStringLiteral("No private folder for the export");
        case TranscriptHistoryExportErrorCase::writeFailed: return QStringLiteral("The CSV file cannot be written");
    }
    return {};
}

}  // namespace

TranscriptHistoryExportError::TranscriptHistoryExportError(TranscriptHistoryExportErrorCase errorCase, QString path,
                                                           QString detail)
    : m_case(errorCase), m_path(std::move(path)), m_detail(std::move(detail)) {
    QString text = summary(m_case) + QStringLiteral(": ") + m_path;
    if (!m_detail.isEmpty()) text += QStringLiteral(" (") + m_detail + QLatin1Char(')');
    m_what = text.toUtf8();
}

}  // namespace quorvelle
