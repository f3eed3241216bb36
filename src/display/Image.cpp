#include "Image.h"

#include "PictureCache.h"
#include "Twips.h"

#include <QPainter>

Image::Image(QWidget *parent) : TwipsWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Image::setStretch(bool stretch)
{
    // The size changes only when a picture is loaded without stretching.
    m_stretch = stretch;
    update();
}

bool Image::loadPictureFile(const QString &path)
{
    const QSize natural = PictureCache::instance().naturalSize(path);
    if (natural.isEmpty()) {
        clearPicture();
        return false;
    }
    if (path != m_file) {
        m_picture = QPixmap();
        m_decodedKey = 0;
    }
    m_file = path;
    m_natural = natural;
    if (!m_stretch)
        takeNaturalSize();
    update();
    return true;
}

bool Image::decodeForDisplay()
{
    if (m_file.isEmpty())
        return hasPicture();
    if (!decodeAtScreenResolution()) {
        clearPicture();
        return false;
    }
    update();
    return true;
}

bool Image::decodeAtScreenResolution()
{
    // At the screen's own pixels, so a picture is as sharp on a screen with a
    // display scale of 2 as on one of 1.
    m_decodedRatio = devicePixelRatioF();
    const QImage image = PictureCache::instance().imageFor(m_file, size() * m_decodedRatio);
    if (image.isNull())
        return false;
    // The same decoded picture is turned into a pixmap only once.
    if (image.cacheKey() != m_decodedKey) {
        m_picture = QPixmap::fromImage(image);
        m_decodedKey = image.cacheKey();
    }
    return true;
}

void Image::setPicture(const QPixmap &picture)
{
    m_file.clear();
    m_decodedKey = 0;
    m_picture = picture;
    m_natural = picture.size();
    if (!m_stretch)
        takeNaturalSize();
    update();
}

void Image::clearPicture()
{
    m_file.clear();
    m_decodedKey = 0;
    m_natural = QSize();
    m_picture = QPixmap();
    update();
}

void Image::takeNaturalSize()
{
    if (!m_natural.isEmpty())
        setSizeTwips(Twips::fromPixels(m_natural.width()), Twips::fromPixels(m_natural.height()));
}

void Image::paintEvent(QPaintEvent *)
{
    // Moved to a screen with another display scale: decoded again for it.
    if (!m_file.isEmpty() && devicePixelRatioF() != m_decodedRatio)
        decodeAtScreenResolution();
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_stretch)
        painter.drawPixmap(rect(), m_picture);
    else
        painter.drawPixmap(QRect(QPoint(0, 0), m_natural), m_picture);
}
