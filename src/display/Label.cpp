#include "Label.h"

#include "ColorRef.h"
#include "Twips.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

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
    if (m_shrinkToFit)
        applyFont();
    else
        changed();
}

void Label::setShrinkToFit(bool shrink)
{
    m_shrinkToFit = shrink;
    applyFont();
}

void Label::setFontSize(double points)
{
    m_fontSize = points;
    applyFont();
}

void Label::setForeColor(std::int32_t bgr)
{
    m_foreColor = bgr;
    changed();
}

void Label::setAlignment(Align align)
{
    m_align = align;
    changed();
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
    const int pixels = qMax(1, qRound(Twips::pointsToPixels(m_fontSize)));
    f.setPixelSize(pixels);
    if (m_shrinkToFit && width() > 0) {
        // Down in proportion, then a pixel at a time for what rounding left.
        const auto wide = [this, &f] { return QFontMetrics(f).horizontalAdvance(m_caption); };
        if (wide() > width())
            f.setPixelSize(qMax(1, pixels * width() / wide()));
        while (f.pixelSize() > 1 && wide() > width())
            f.setPixelSize(f.pixelSize() - 1);
    }
    setFont(f);
    changed();
}

void Label::changed()
{
    m_captionPicture = QPixmap();
    update();
}

void Label::resizeEvent(QResizeEvent *event)
{
    TwipsWidget::resizeEvent(event);
    m_captionPicture = QPixmap();
    if (m_shrinkToFit)
        applyFont();
}

void Label::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Qt fills text taller than its glyph cache takes (64 pixels on the
    // screen) as outlines, again on every paint: the board's titles and
    // names on a big screen, or at a display scale of 2. Those are drawn once
    // into a picture at the screen's resolution and then only copied.
    const qreal ratio = devicePixelRatioF();
    if (font().pixelSize() * ratio <= 64) {
        drawCaption(painter);
        return;
    }
    if (m_captionPicture.isNull() || m_captionPicture.devicePixelRatio() != ratio) {
        // Only round the text (with room for glyphs reaching past their
        // advance), so the copy does not blend the label's empty area.
        const int margin = font().pixelSize() / 2;
        m_captionArea = fontMetrics()
                            .boundingRect(rect(), captionFlags(), m_caption)
                            .adjusted(-margin, -margin, margin, margin)
                            .intersected(rect());
        m_captionPicture =
            QPixmap(qCeil(m_captionArea.width() * ratio), qCeil(m_captionArea.height() * ratio));
        m_captionPicture.setDevicePixelRatio(ratio);
        m_captionPicture.fill(Qt::transparent);
        QPainter picture(&m_captionPicture);
        picture.translate(-m_captionArea.topLeft());
        drawCaption(picture);
    }
    painter.drawPixmap(m_captionArea.topLeft(), m_captionPicture);
}

int Label::captionFlags() const
{
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
    return flags;
}

void Label::drawCaption(QPainter &painter) const
{
    painter.setPen(toQColor(m_foreColor));
    painter.setFont(font());
    painter.drawText(rect(), captionFlags(), m_caption);
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
