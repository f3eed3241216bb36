#pragma once

#include <QWidget>

// A control placed in twips inside its window or frame. The twips values are
// kept as written, so scaling a layout back and forth restores it exactly;
// the pixel geometry follows them.
class TwipsWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Name READ objectName)
    Q_PROPERTY(double Left READ left WRITE setLeft)
    Q_PROPERTY(double Top READ top WRITE setTop)
    Q_PROPERTY(double Width READ widthTwips WRITE setWidthTwips)
    Q_PROPERTY(double Height READ heightTwips WRITE setHeightTwips)
    Q_PROPERTY(bool Visible READ isVisibleFlag WRITE setVisibleFlag)

public:
    explicit TwipsWidget(QWidget *parent = nullptr);

    double left() const { return m_left; }
    double top() const { return m_top; }
    double widthTwips() const { return m_width; }
    double heightTwips() const { return m_height; }
    void setLeft(double twips);
    void setTop(double twips);
    virtual void setWidthTwips(double twips);
    virtual void setHeightTwips(double twips);
    void setTwipsGeometry(double left, double top, double width, double height);

    // Shown or hidden as the window designer set it, whether or not the
    // window itself is on screen yet.
    bool isVisibleFlag() const { return !isHidden(); }
    void setVisibleFlag(bool visible) { setVisible(visible); }

protected:
    // For controls whose size follows their content.
    void setSizeTwips(double width, double height);

private:
    void applyGeometry();

    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
};
