#include "Services/Transcription/LocalModelManagerError.h"

namespace quorvelle {

LocalModelManagerError::LocalModelManagerError(Case errorCase, QString modelTitle)
    : m_case(errorCase),
      m_modelTitle(std::move(modelTitle)),
      m_what(QStringLiteral("integrityCheckFailed(modelTitle: %1)").arg(m_modelTitle).toUtf8()) {}

LocalModelManagerError LocalModelManagerError::integrityCheckFailed(const QString& modelTitle) {
    return LocalModelManagerError(Case::integrityCheckFailed, modelTitle);
}

LocalModelFileError::LocalModelFileError(Case errorCase, QString path, QString systemMessage)
    : m_case(errorCase), m_path(std::move(path)), m_systemMessage(std::move(systemMessage)) {
    const char* action = m_case == Case::moveFailed ? "move" : m_case == Case::removeFailed ? "remove" : "write";
    m_what = QStringLiteral("cannot %1 %2: %3").arg(QLatin1String(action), m_path, m_systemMessage).toUtf8();
}

}  // namespace quorvelle
