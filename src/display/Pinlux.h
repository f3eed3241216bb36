#pragma once

#include "LedDisplay.h"

// An LED clock: a number of seconds shown as digit groups, minutes and
// seconds ("60,1") or seconds and tenths ("1,.1"). −1 blanks it.
class Pinlux : public LedDisplay {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Pinlux")
    Q_PROPERTY(float Value READ value WRITE setValue)
    Q_PROPERTY(QString GroupUnits READ groupUnits WRITE setGroupUnits)
    Q_PROPERTY(QString GroupLengths READ groupLengths WRITE setGroupLengths)
    Q_PROPERTY(qint16 PaddingD READ paddingD WRITE setPaddingD)
    Q_PROPERTY(std::int32_t BorderColor READ borderColor WRITE setBorderColor)

public:
    explicit Pinlux(QWidget *parent = nullptr);

    float value() const { return m_value; }
    void setValue(float value);
    QString groupUnits() const { return m_groupUnitsText; }
    void setGroupUnits(const QString &units);
    QString groupLengths() const { return m_groupLengthsText; }
    void setGroupLengths(const QString &lengths);
    qint16 paddingD() const { return m_paddingD; }
    void setPaddingD(qint16 twips);
    std::int32_t borderColor() const { return m_borderColor; }
    void setBorderColor(std::int32_t bgr);

protected:
    LedCells computeCells() const override;
    double separatorTwips() const override { return m_paddingD; }
    bool hasBorder() const override { return true; }
    std::int32_t frameColor() const override { return m_borderColor; }

private:
    float m_value = 3600;
    QString m_groupUnitsText = QStringLiteral("60,1");
    GroupUnits m_groupUnits;
    QString m_groupLengthsText = QStringLiteral("2,2");
    QVector<int> m_groupLengths;
    qint16 m_paddingD = 125;
    std::int32_t m_borderColor = 0xFFFFFF;
};
