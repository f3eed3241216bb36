#pragma once

#include "LedDisplay.h"

// One LED digit, used to preview the digit style.
class Veskel : public LedDisplay {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Veskel")
    Q_PROPERTY(qint16 Caption READ caption WRITE setCaption)

public:
    explicit Veskel(QWidget *parent = nullptr);

    qint16 caption() const { return m_caption; }
    void setCaption(qint16 digit);

protected:
    LedCells computeCells() const override;

private:
    qint16 m_caption = 8;
};
