#include "Veskel.h"

Veskel::Veskel(QWidget *parent) : LedDisplay(parent)
{
    // A preview only: it never takes the keyboard.
    setFocusPolicy(Qt::NoFocus);
    setPaddingH(60);
    setPaddingV(60);
    setDigitSize(65);
    contentChanged();
}

void Veskel::setCaption(qint16 digit)
{
    m_caption = digit;
    contentChanged();
}

LedCells Veskel::computeCells() const
{
    return numberCells(QString::number(m_caption), 1);
}
