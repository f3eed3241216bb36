#include "Frame.h"

#include <QMouseEvent>
#include <QPainter>

Frame::Frame(QWidget *parent) : TwipsWidget(parent) {}

void Frame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 4, -2, -2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(r);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(r.translated(1, 1));
}

void Frame::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
}
