#pragma once

#include "LedDisplay.h"

// An LED display of a whole number, right-aligned, with as many digits as
// `Max` has. The caption "-1" blanks it.
class Digmar : public LedDisplay {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Digmar")
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(qint16 Max READ max WRITE setMax)

public:
    explicit Digmar(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    // The caption as a whole number (0 when it is not one).
    int number() const { return m_number; }
    qint16 max() const { return m_max; }
    void setMax(qint16 max);

protected:
    LedCells computeCells() const override;

private:
    QString m_caption = QStringLiteral("0");
    int m_number = 0;
    qint16 m_max = 9;
};
