#pragma once

#include "CellPictures.h"
#include "LedCells.h"
#include "TwipsWidget.h"

#include <QPixmap>
#include <cstdint>
#include <memory>

// What the LED displays share: colours, digit style, digit size and spacing,
// and the keyboard focus. A display sizes itself from its digits: `Size` is
// the digit height in pixels, the paddings are twips (H left and right,
// V above and below, I between digits).
class LedDisplay : public TwipsWidget {
    Q_OBJECT
    Q_PROPERTY(double Width READ widthTwips)
    Q_PROPERTY(double Height READ heightTwips)
    Q_PROPERTY(std::int32_t LitColor READ litColor WRITE setLitColor)
    Q_PROPERTY(std::int32_t BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(std::int32_t LedType READ ledType WRITE setLedType)
    Q_PROPERTY(qint16 Size READ digitSize WRITE setDigitSize)
    Q_PROPERTY(qint16 PaddingH READ paddingH WRITE setPaddingH)
    Q_PROPERTY(qint16 PaddingV READ paddingV WRITE setPaddingV)
    Q_PROPERTY(qint16 PaddingI READ paddingI WRITE setPaddingI)

public:
    // Width of a digit position against its height.
    static constexpr double DigitAspect = 0.58;

    explicit LedDisplay(QWidget *parent = nullptr);

    std::int32_t litColor() const { return m_litColor; }
    void setLitColor(std::int32_t bgr);
    std::int32_t backColor() const { return m_backColor; }
    void setBackColor(std::int32_t bgr);
    std::int32_t ledType() const { return m_ledType; }
    void setLedType(std::int32_t type);
    qint16 digitSize() const { return m_size; }
    void setDigitSize(qint16 size);
    qint16 paddingH() const { return m_paddingH; }
    void setPaddingH(qint16 twips);
    qint16 paddingV() const { return m_paddingV; }
    void setPaddingV(qint16 twips);
    qint16 paddingI() const { return m_paddingI; }
    void setPaddingI(qint16 twips);

    // The size follows the digits; a written width or height is ignored.
    void setWidthTwips(double) override {}
    void setHeightTwips(double) override {}

    const LedCells &cells() const { return m_cells; }
    // Times this display has been asked to repaint since it was created.
    int repaintRequests() const { return m_repaintRequests; }

Q_SIGNALS:
    void GotFocus();
    // KeyCode is a virtual-key code; Shift holds 1 for Shift, 2 for Ctrl and
    // 4 for Alt.
    void KeyDown(int KeyCode, int Shift);
    void KeyUp(int KeyCode, int Shift);

protected:
    // What the display shows now; called whenever its content may change.
    virtual LedCells computeCells() const = 0;
    // Twips of a separator position.
    virtual double separatorTwips() const { return 0; }
    virtual bool hasBorder() const { return false; }
    virtual std::int32_t frameColor() const { return 0; }

    // Re-reads the content; repaints only if what is shown changed.
    void contentChanged();
    // Re-reads size and spacing and sizes the display to them.
    void geometryChanged();
    void requestRepaint();

    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    double digitWidthPixels() const { return m_size * DigitAspect; }
    // One position drawn with its background, unlit and lit parts: made once
    // per glyph, size, style, colours and pixel ratio, then only copied.
    const QPixmap &cellPicture(Glyph glyph);
    // Visits every position left to right: its index, left edge and width in
    // pixels.
    template <typename F> void forEachCell(F &&visit) const;
    // Where a position's picture goes, from its left edge and width.
    QRect cellRect(double x, double width) const;
    void forgetCellPictures();

    std::int32_t m_litColor = 0x0000FF;
    std::int32_t m_backColor = 0;
    std::int32_t m_ledType = 0;
    qint16 m_size = 40;
    qint16 m_paddingH = 60;
    qint16 m_paddingV = 60;
    qint16 m_paddingI = 60;
    LedCells m_cells;
    std::shared_ptr<CellPictures> m_cellPictures;
    // The device pixel ratio the cell pictures were made at: a screen with
    // another (a 4K laptop, a window moved) makes them again, sharp there.
    qreal m_cellPixelRatio = 1;
    int m_repaintRequests = 0;
};
