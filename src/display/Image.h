#pragma once

#include "TwipsWidget.h"

#include <QImage>
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

    // Shows a picture file; false, with the image emptied, when the file is
    // no picture. The picture is decoded when shown, at the size shown.
    bool loadPictureFile(const QString &path);
    // Decodes the file for the size the image has now; false, with the image
    // emptied, when it can't be decoded.
    bool decodeForDisplay();
    // Shows a picture made in memory.
    void setPicture(const QPixmap &picture);
    void clearPicture();

    bool hasPicture() const { return !m_natural.isEmpty(); }
    // The picture's own size in pixels.
    QSize naturalSize() const { return m_natural; }
    QString pictureFile() const { return m_file; }
    // What is drawn, for tests: a null picture when there is none.
    QImage shownPicture() const { return m_picture.toImage(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void takeNaturalSize();
    bool decodeAtScreenResolution();

    QString m_file;
    QSize m_natural;
    QPixmap m_picture;
    qint64 m_decodedKey = 0;  // the decoded picture m_picture was made from
    qreal m_decodedRatio = 1; // the device pixel ratio it was decoded for
    bool m_stretch = false;
};
