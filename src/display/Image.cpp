#include "Image.h"

#include "Twips.h"

#include <QImageReader>
#include <QPainter>

Image::Image(QWidget *parent) : TwipsWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Image::setStretch(bool stretch)
{
    m_stretch = stretch;
    if (!m_stretch)
        takeNaturalSize();
    update();
}

bool Image::loadPicture(const QString &path)
{
    QImageReader reader(path);
    // Keep a hostile file from asking for gigabytes.
    QImageReader::setAllocationLimit(256);
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        clearPicture();
        return false;
    }
    setPicture(QPixmap::fromImage(image));
    return true;
}

void Image::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    if (!m_stretch)
        takeNaturalSize();
    update();
}

void Image::clearPicture()
{
    setPicture(QPixmap());
}

void Image::takeNaturalSize()
{
    if (!m_picture.isNull())
        setSizeTwips(Twips::fromPixels(m_picture.width()), Twips::fromPixels(m_picture.height()));
}

void Image::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_stretch)
        painter.drawPixmap(rect(), m_picture);
    else
        painter.drawPixmap(0, 0, m_picture);
}
