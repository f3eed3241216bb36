#pragma once

#include "TwipsWidget.h"

#include <QPixmap>
#include <cstdint>

// A text on a transparent background, wrapped at word boundaries.
class Label : public TwipsWidget {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Label")
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(std::int32_t ForeColor READ foreColor WRITE setForeColor)

public:
    enum class Align { Left, Right, Center };

    explicit Label(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points);
    std::int32_t foreColor() const { return m_foreColor; }
    void setForeColor(std::int32_t bgr);

    Align alignment() const { return m_align; }
    void setAlignment(Align align);
    QString fontFamily() const { return m_family; }
    bool bold() const { return m_bold; }
    void setFontFamily(const QString &family, bool bold);
    // A caption too wide for the label is drawn smaller, on one line, rather
    // than wrapped or cut. Off unless set; FontSize stays the size asked for.
    bool shrinkToFit() const { return m_shrinkToFit; }
    void setShrinkToFit(bool shrink);

Q_SIGNALS:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyFont();
    int captionFlags() const;
    void drawCaption(QPainter &painter) const;
    // The caption drawn again at the next paint.
    void changed();

    QString m_caption;
    double m_fontSize = 8.25;
    std::int32_t m_foreColor = 0;
    Align m_align = Align::Left;
    QString m_family = QStringLiteral("Arial");
    bool m_bold = false;
    bool m_pressed = false;
    bool m_shrinkToFit = false;
    // Large captions, drawn once and then only copied.
    QPixmap m_captionPicture;
    QRect m_captionArea;
};
