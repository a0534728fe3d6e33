#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace quorvelle {

// Why a CSV export of the transcript history was not written.
enum class TranscriptHistoryExportErrorCase {
    historyUnreadable,        // the history file exists but cannot be read or decoded
    exportFolderUnavailable,  // no private folder for the export could be made
    writeFailed,              // the CSV file could not be written
};

class TranscriptHistoryExportError : public std::exception {
public:
    TranscriptHistoryExportError(TranscriptHistoryExportErrorCase errorCase, QString path, QString detail = {});

    TranscriptHistoryExportErrorCase errorCase() const { return m_case; }
    // The file or folder concerned.
    const QString& path() const { return m_path; }
    // The system's own explanation, where there is one.
    const QString& detail() const { return m_detail; }

    const char* what() const noexcept override { return m_what.constData(); }

private:
    TranscriptHistoryExportErrorCase m_case;
    QString m_path;
    QString m_detail;
    QByteArray m_what;
};

}  // namespace quorvelle
