#include "LogoPainter.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int LogoWidth = 127;
constexpr int LogoHeight = 125;

void drawSegment(QPainter &p, QPointF from, QPointF to, double thickness)
{
    p.setPen(QPen(QColor(255, 128, 0), thickness, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
}

} // namespace

QImage paintLogo()
{
    QImage image(LogoWidth, LogoHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Badge.
    const QRectF badge(2.5, 2.5, LogoWidth - 5, LogoHeight - 5);
    p.setPen(QPen(QColor(230, 230, 230), 3));
    p.setBrush(QColor(28, 32, 44));
    p.drawRoundedRect(badge, 18, 18);

    // Skate wheel: a tyre with six spokes.
    const QPointF centre(LogoWidth / 2.0, LogoHeight / 2.0);
    p.setPen(QPen(QColor(200, 0, 40), 9));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 46, 46);
    p.setPen(QPen(QColor(90, 90, 100), 2));
    for (int i = 0; i < 6; ++i) {
        QLineF spoke(centre, centre + QPointF(40, 0));
        spoke.setAngle(i * 60.0 + 30.0);
        p.drawLine(spoke);
    }
    p.setBrush(QColor(28, 32, 44));
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 30, 30);

    // An LED "Q": the outer six segments of a digit and a tail.
    const double l = centre.x() - 14, r = centre.x() + 14;
    const double t = centre.y() - 22, b = centre.y() + 22;
    const double thick = 6;
    drawSegment(p, {l + 4, t}, {r - 4, t}, thick);
    drawSegment(p, {l + 4, b}, {r - 4, b}, thick);
    drawSegment(p, {l, t + 4}, {l, b - 4}, thick);
    drawSegment(p, {r, t + 4}, {r, b - 4}, thick);
    drawSegment(p, {centre.x() + 4, b - 10}, {r + 8, b + 6}, thick);
    return image;
}
