#include "Pinlux.h"

Pinlux::Pinlux(QWidget *parent)
    : LedDisplay(parent), m_groupUnits(GroupUnits::parse(m_groupUnitsText)),
      m_groupLengths(parseGroupLengths(m_groupLengthsText))
{
    setLitColor(0x0080FF);
    contentChanged();
}

void Pinlux::setValue(float value)
{
    // Written on every refresh, mostly with the value it has: the cells
    // cannot change then.
    if (value == m_value)
        return;
    m_value = value;
    contentChanged();
}

void Pinlux::setGroupUnits(const QString &units)
{
    // Written on every refresh: parse only when it really changes.
    if (units == m_groupUnitsText)
        return;
    m_groupUnitsText = units;
    m_groupUnits = GroupUnits::parse(units);
    contentChanged();
}

void Pinlux::setGroupLengths(const QString &lengths)
{
    m_groupLengthsText = lengths;
    m_groupLengths = parseGroupLengths(lengths);
    contentChanged();
}

void Pinlux::setPaddingD(qint16 twips)
{
    m_paddingD = twips;
    geometryChanged();
}

void Pinlux::setBorderColor(std::int32_t bgr)
{
    m_borderColor = bgr;
    requestRepaint();
}

LedCells Pinlux::computeCells() const
{
    return clockCells(m_value, m_groupUnits, m_groupLengths);
}
