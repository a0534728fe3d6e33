#include "Views/Common/ViewFonts.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QLoggingCategory>
#include <QStringList>

namespace quorvelle {

namespace {

Q_LOGGING_CATEGORY(fontLog, "quorvelle.views.fonts")

struct FamilyFiles {
    QString family;
    QStringList requiredStyles;
    QStringList files;
};

bool hasStyles(const FamilyFiles& entry) {
    if (!QFontDatabase::families().contains(entry.family)) return false;
    const QStringList styles = QFontDatabase::styles(entry.family);
    for (const QString& style : entry.requiredStyles) {
        if (!styles.contains(style, Qt::CaseInsensitive)) return false;
    }
    return true;
}

bool ensureFamily(const FamilyFiles& entry) {
    if (hasStyles(entry)) return true;
    for (const QString& file : entry.files) {
        if (!QFileInfo::exists(file)) continue;
        if (QFontDatabase::addApplicationFont(file) < 0) qCWarning(fontLog) << "cannot load" << file;
    }
    if (hasStyles(entry)) return true;
    qCWarning(fontLog) << "font family missing:" << entry.family;
    return false;
}

}  // namespace

ViewFonts::ViewFonts(QObject* parent) : QObject(parent) {}

QString ViewFonts::ui() {
    return QStringLiteral("Inter");
}
QString ViewFonts::icons() {
    return QStringLiteral("Material Icons");
}
QString ViewFonts::mono() {
    return QStringLiteral("DejaVu Sans Mono");
}

bool ViewFonts::load() {
    const QString inter = QStringLiteral("/usr/share/fonts/opentype/inter/Inter-%1.otf");
    const QString dejavu = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono%1.ttf");
    const FamilyFiles families[] = {
        {ui(),
         {QStringLiteral("Regular"), QStringLiteral("Medium"), QStringLiteral("Semi Bold"), QStringLiteral("Bold")},
         {inter.arg(QStringLiteral("Regular")), inter.arg(QStringLiteral("Medium")),
          inter.arg(QStringLiteral("SemiBold")), inter.arg(QStringLiteral("Bold"))}},
        {icons(),
         {},
         {QStringLiteral("/usr/share/fonts/truetype/material-design-icons-iconfont/"
                         "MaterialIcons-Regular.ttf")}},
        {mono(), {}, {dejavu.arg(QString()), dejavu.arg(QStringLiteral("-Bold"))}},
    };
    bool all = true;
    for (const FamilyFiles& entry : families)
        all = ensureFamily(entry) && all;
    return all;
}

}  // namespace quorvelle
