#include "TrayIconPainter.h"

#include <QPainter>
#include <QPixmap>

#include <array>

namespace quorvelle {

QIcon makeTrayIcon() {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x2d, 0x7f, 0xf9));
        constexpr std::array<double, 5> heights{0.35, 0.7, 1.0, 0.7, 0.35};
        const double barWidth = side / 9.0;
        for (std::size_t i = 0; i < heights.size(); ++i) {
            const double h = side * 0.8 * heights[i];
            const double x = side * 0.1 + static_cast<double>(i) * barWidth * 1.8;
            painter.drawRoundedRect(QRectF(x, (side - h) / 2.0, barWidth, h), barWidth / 2, barWidth / 2);
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace quorvelle
