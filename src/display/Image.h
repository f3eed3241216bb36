#pragma once

#include "TwipsWidget.h"

#include <QPixmap>

// A picture inside a frame. Without stretching it takes the picture's own
// size; with stretching the picture fills whatever size it is given.
class Image : public TwipsWidget {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Image")
    Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)

public:
    explicit Image(QWidget *parent = nullptr);

    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);

    // Loads a BMP, GIF, JPEG or PNG file; false, with the image emptied, when
    // the file can't be read as a picture.
    bool loadPicture(const QString &path);
    void setPicture(const QPixmap &picture);
    void clearPicture();
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void takeNaturalSize();

    QPixmap m_picture;
    bool m_stretch = false;
};
