// The local model manager's own failures: a download whose checksum is not the catalogue's, and the
// file system refusing to stage, move or remove a model file.
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace quorvelle {

class LocalModelManagerError : public std::exception {
public:
    enum class Case { integrityCheckFailed };

    static LocalModelManagerError integrityCheckFailed(const QString& modelTitle);

    Case errorCase() const { return m_case; }
    const QString& modelTitle() const { return m_modelTitle; }
    const char* what() const noexcept override { return m_what.constData(); }

    friend bool operator==(const LocalModelManagerError& a, const LocalModelManagerError& b) {
        return a.m_case == b.m_case && a.m_modelTitle == b.m_modelTitle;
    }

private:
    LocalModelManagerError(Case errorCase, QString modelTitle);

    Case m_case;
    QString m_modelTitle;
    QByteArray m_what;
};

// The file system's refusal, with the file and the system's own message. noSpace: a write failed
// because the disk (or the user's quota) is full.
class LocalModelFileError : public std::exception {
public:
    enum class Case { writeFailed, moveFailed, removeFailed, noSpace };

    LocalModelFileError(Case errorCase, QString path, QString systemMessage);

    Case errorCase() const { return m_case; }
    const QString& path() const { return m_path; }
    const QString& systemMessage() const { return m_systemMessage; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    Case m_case;
    QString m_path;
    QString m_systemMessage;
    QByteArray m_what;
};

}  // namespace quorvelle
