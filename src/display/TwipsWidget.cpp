#include "TwipsWidget.h"

#include "Twips.h"

TwipsWidget::TwipsWidget(QWidget *parent) : QWidget(parent) {}

void TwipsWidget::setLeft(double twips)
{
    m_left = twips;
    applyGeometry();
}

void TwipsWidget::setTop(double twips)
{
    m_top = twips;
    applyGeometry();
}

void TwipsWidget::setWidthTwips(double twips)
{
    m_width = twips;
    applyGeometry();
}

void TwipsWidget::setHeightTwips(double twips)
{
    m_height = twips;
    applyGeometry();
}

void TwipsWidget::setTwipsGeometry(double left, double top, double width, double height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyGeometry();
}

void TwipsWidget::setSizeTwips(double width, double height)
{
    m_width = width;
    m_height = height;
    applyGeometry();
}

void TwipsWidget::applyGeometry()
{
    const QRect rect = Twips::toPixelRect(m_left, m_top, m_width, m_height);
    if (rect != geometry())
        setGeometry(rect);
}
