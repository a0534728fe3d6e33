// Lays every screenshot of a run out on one page, with its name under it, so that a person can
// look at all views in all themes and states at once.
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;  // usage: quorvelle_contact_sheet <screenshot folder>
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QString sheetName = QStringLiteral("contact-sheet.png");
    QStringList files = dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    files.removeAll(sheetName);
    if (files.isEmpty()) return 0;  // nothing was shot in this run

    const int width = 340, height = 220, caption = 18, gap = 12, columns = 5;
    const int rows = int((files.size() + columns - 1) / columns);
    QImage sheet(columns * (width + gap) + gap, rows * (height + caption + gap) + gap, QImage::Format_ARGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter painter(&sheet);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    for (int i = 0; i < files.size(); ++i) {
        const QImage shot(dir.filePath(files[i]));
        const int x = gap + (i % columns) * (width + gap);
        const int y = gap + (i / columns) * (height + caption + gap);
        painter.drawImage(
            x, y,
            shot.scaled(QSize(width, height).boundedTo(shot.size()), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        painter.drawText(QRect(x, y + height, width, caption), Qt::AlignLeft | Qt::AlignVCenter,
                         QFileInfo(files[i]).completeBaseName());
    }
    painter.end();

    if (!sheet.save(dir.filePath(sheetName))) {
        std::fprintf(stderr, "cannot write the contact sheet\n");
        return 1;
    }
    std::printf("contact sheet: %s (%d screenshots)\n", qPrintable(dir.filePath(sheetName)), int(files.size()));
    return 0;
}
