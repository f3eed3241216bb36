#include "Digmar.h"

Digmar::Digmar(QWidget *parent) : LedDisplay(parent)
{
    contentChanged();
}

void Digmar::setCaption(const QString &caption)
{
    m_caption = caption;
    m_number = caption.toInt();
    contentChanged();
}

void Digmar::setMax(qint16 max)
{
    m_max = max;
    contentChanged();
}

LedCells Digmar::computeCells() const
{
    const int digits = int(QString::number(qMax<qint16>(1, m_max)).size());
    return numberCells(m_caption, digits);
}
