#include "Label.h"

#include "ColorRef.h"
#include "Twips.h"

#include <QMouseEvent>
#include <QPainter>

Label::Label(QWidget *parent) : TwipsWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    applyFont();
}

void Label::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void Label::setFontSize(double points)
{
    m_fontSize = points;
    applyFont();
}

void Label::setForeColor(std::int32_t bgr)
{
    m_foreColor = bgr;
    update();
}

void Label::setAlignment(Align align)
{
    m_align = align;
    update();
}

void Label::setFontFamily(const QString &family, bool bold)
{
    m_family = family;
    m_bold = bold;
    applyFont();
}

void Label::applyFont()
{
    QFont f(m_family);
    f.setBold(m_bold);
    f.setPixelSize(qMax(1, qRound(Twips::pointsToPixels(m_fontSize))));
    setFont(f);
    update();
}

void Label::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(toQColor(m_foreColor));
    painter.setFont(font());
    int flags = Qt::AlignTop | Qt::TextWordWrap;
    switch (m_align) {
    case Align::Left:
        flags |= Qt::AlignLeft;
        break;
    case Align::Right:
        flags |= Qt::AlignRight;
        break;
    case Align::Center:
        flags |= Qt::AlignHCenter;
        break;
    }
    painter.drawText(rect(), flags, m_caption);
}

void Label::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        Q_EMIT Click();
}
