#include "tray/PriceIcon.h"

#include "core/NumberFormat.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

namespace ringtally {

QString PriceIcon::text(qint64 cents, const NumberFormat& format)
{
    // Cut, not rounded, so that a price never takes a character more than its range allows.
    const QString mark = format.decimalSeparator();
    if (cents < 1000)
        return QStringLiteral("%1%2%3").arg(cents / 100).arg(mark).arg(cents % 100, 2, 10, QChar(u'0'));
    if (cents < 10'000)
        return QStringLiteral("%1%2%3").arg(cents / 100).arg(mark).arg(cents % 100 / 10);
    if (cents < 1'000'000)
        return QString::number(cents / 100);
    return QStringLiteral("%1k").arg(cents / 100'000);
}

QIcon PriceIcon::draw(const QString& text)
{
    QIcon icon;
    for (const int side : { 16, 22, 24, 32, 48, 64 }) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1b, 0x6e, 0x30));
        painter.drawRoundedRect(QRectF(0, 0, side, side), side / 6.0, side / 6.0);
        // The largest bold face whose text fits the icon's width, and two thirds of its height.
        QFont font;
        font.setBold(true);
        font.setStretch(QFont::SemiCondensed);
        int pixels = side;
        for (; pixels > 6; --pixels) {
            font.setPixelSize(pixels);
            const QFontMetrics metrics(font);
            if (metrics.horizontalAdvance(text) <= side - 2 && metrics.capHeight() <= side * 2 / 3)
                break;
        }
        font.setPixelSize(pixels);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, text);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace ringtally
