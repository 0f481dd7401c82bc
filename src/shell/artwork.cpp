#include "shell/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qm {

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        // A sheet of paper with ruled lines…
        QRectF sheet(s * 0.16, s * 0.08, s * 0.62, s * 0.80);
        p.setPen(QPen(QColor(40, 70, 140), std::max(1.0, s / 32)));
        p.setBrush(QColor(250, 250, 255));
        p.drawRoundedRect(sheet, s * 0.05, s * 0.05);
        p.setPen(QPen(QColor(120, 150, 210), std::max(1.0, s / 48)));
        for (int i = 1; i <= 4; ++i) {
            const qreal y = sheet.top() + sheet.height() * i / 5.5;
            p.drawLine(QPointF(sheet.left() + s * 0.08, y), QPointF(sheet.right() - s * 0.08, y));
        }
        // …marked with a red tick.
        QPainterPath tick;
        tick.moveTo(s * 0.42, s * 0.62);
        tick.lineTo(s * 0.56, s * 0.78);
        tick.lineTo(s * 0.90, s * 0.36);
        p.setPen(QPen(QColor(210, 40, 40), std::max(2.0, s / 10), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
        icon.addPixmap(pm);
    }
    return icon;
}

Backdrop::Backdrop(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(false);
}

void Backdrop::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(214, 230, 250));
    sky.setColorAt(1, QColor(246, 249, 255));
    p.fillRect(rect(), sky);

    // A tilted stack of ruled sheets in the lower right corner.
    const qreal w = std::min(width(), height()) * 0.55;
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(width() - w * 0.55, height() - w * 0.45);
        p.rotate(-12 + i * 7);
        const QRectF sheet(-w / 2, -w * 0.65, w * 0.78, w);
        p.setPen(QPen(QColor(160, 180, 220, 120), 1));
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawRect(sheet);
        p.setPen(QPen(QColor(150, 175, 225, 90), 1));
        for (qreal y = sheet.top() + w * 0.12; y < sheet.bottom() - w * 0.05; y += w * 0.07)
            p.drawLine(QPointF(sheet.left() + w * 0.06, y), QPointF(sheet.right() - w * 0.06, y));
        p.restore();
    }
}

}  // namespace qm
