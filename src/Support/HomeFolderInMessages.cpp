#include "Support/HomeFolderInMessages.h"

#include <QDir>

namespace quorvelle {

namespace {

bool continuesAPath(QChar c) {
    return c.isLetterOrNumber() || c == u'/' || c == u'.' || c == u'_' || c == u'-';
}

QtMessageHandler g_previousHandler = nullptr;
QString g_homeFolder;

void printWithoutHome(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QString shown = withHomeFolderAsTilde(message, g_homeFolder);
    if (g_previousHandler) g_previousHandler(type, context, shown);
}

}  // namespace

QString withHomeFolderAsTilde(const QString& text, const QString& homeFolder) {
    // The root folder as home would turn every path into "~".
    if (homeFolder.size() < 2) return text;
    QString result;
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(homeFolder); at >= 0; at = text.indexOf(homeFolder, at + 1)) {
        const qsizetype end = at + homeFolder.size();
        const bool startsPath = at == 0 || !continuesAPath(text.at(at - 1));
        const bool endsPart = end == text.size() || text.at(end) == u'/' || !continuesAPath(text.at(end));
        if (!startsPath || !endsPart) continue;
        result += QStringView(text).mid(copied, at - copied);
        result += u'~';
        copied = end;
    }
    if (copied == 0) return text;
    result += QStringView(text).mid(copied);
    return result;
}

void hideHomeFolderInMessages() {
    g_homeFolder = QDir::homePath();
    // With none installed before, Qt hands back its own default handler.
    g_previousHandler = qInstallMessageHandler(printWithoutHome);
}

}  // namespace quorvelle
