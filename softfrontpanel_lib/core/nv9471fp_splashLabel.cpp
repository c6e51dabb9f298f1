#include "nv9471fp_splashLabel.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstdio>

nv9471fp_splashLabel::nv9471fp_splashLabel(float scale, int margin, int modelNumber,
                                           bool hexadecimal, const QString &footer,
                                           const QString &middle)
    : QPixmap(QStringLiteral(":/fp_splash.png"))
{
    if (isNull()) {
        // Without the background the texts still need a canvas of the fixed size.
        QPixmap blank(520, 400);
        blank.fill(Qt::white);
        QPixmap::operator=(blank);
    }
    QPainter painter(this);

    QFont titleFont = painter.font();
    titleFont.setWeight(75);
    QFont middleFont = titleFont;
    QFont footerFont = titleFont;
    titleFont.setPointSize(int(scale * 18));
    middleFont.setPointSize(int(scale * 12));
    footerFont.setPointSize(8);
    // The layout rests on the title and footer heights; the middle text wraps into what is left.
    const int hT = QFontMetrics(titleFont).height();
    const int hF = QFontMetrics(footerFont).height();

    const int left = 67 + margin;
    const int width = 453 - 2 * margin;
    const QString modelText =
        QStringLiteral("%1").arg(modelNumber, 4, hexadecimal ? 16 : 10, QLatin1Char(' '));

    painter.setFont(titleFont);
    painter.drawText(QRect(left, 236 + hT / 2, width, hT), Qt::AlignCenter,
                     QStringLiteral("Trellin %1").arg(modelText));

    painter.setFont(middleFont);
    painter.drawText(QRect(left, 236 + 2 * hT, width, 2 * (82 - hT) - 3 * hF),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, middle);

    painter.setFont(footerFont);
    painter.drawText(QRect(left, 400 - 2 * hF, width, hF), Qt::AlignCenter, footer);

    // The device picture goes on last, so it covers the texts where they overlap.
    const QImage bitmap(QStringLiteral(":/nv%1fp_splash.bmp").arg(modelText));
    if (bitmap.width() == 520 && bitmap.height() == 400) {
        deviceRect = QRect(67, 38, 453, 199);
        painter.drawImage(deviceRect, bitmap.copy(QRect(QPoint(67, 38), QPoint(519, 236))));
        return;
    }
    const QImage png(QStringLiteral(":/nv%1fp_splash.png").arg(modelText));
    if (png.width() == 452 && png.height() == 194) {
        deviceRect = QRect(QPoint(67, 43), png.size());
        painter.drawImage(deviceRect.topLeft(), png);
        return;
    }
    std::fputs("The size of the image of the device, that is to be used in the splash screen, "
               "is not as required!!!\n",
               stdout);
    std::fflush(stdout);
}
