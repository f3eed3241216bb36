#include "PictureCache.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// A JPEG ends with its end-of-image marker; one cut short does not, and
// decoders fill the missing part with grey instead of failing.
bool jpegIsComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 4)
        return false;
    const qint64 tail = std::min<qint64>(file.size(), 4096);
    file.seek(file.size() - tail);
    return file.read(tail).contains("\xFF\xD9");
}

} // namespace

PictureCache &PictureCache::instance()
{
    static PictureCache cache;
    return cache;
}

PictureCache::Entry &PictureCache::entryFor(const QString &path)
{
    const QFileInfo info(path);
    Entry &entry = m_entries[path];
    if (entry.modified == info.lastModified() && entry.bytes == info.size())
        return entry;
    entry = Entry();
    entry.modified = info.lastModified();
    entry.bytes = info.size();
    if (m_entries.size() > 16) {
        // Only a handful of pictures are ever shown; forget the others.
        const Entry kept = entry;
        m_entries.clear();
        m_entries.insert(path, kept);
    }
    Entry &fresh = m_entries[path];
    if (!info.isFile())
        return fresh;
    QImageReader reader(path);
    QSize size = reader.size();
    if (!size.isValid() && reader.canRead()) {
        // A format that does not tell its size without decoding.
        QImageReader::setAllocationLimit(256);
        const QImage image = reader.read();
        size = image.size();
        fresh.decoded = image;
    }
    const bool tooLarge = size.width() > MaxSide || size.height() > MaxSide ||
                          qint64(size.width()) * size.height() > MaxPixels;
    const bool cutShort = reader.format() == "jpeg" && !jpegIsComplete(path);
    if (size.isValid() && !size.isEmpty() && !tooLarge && !cutShort)
        fresh.natural = size;
    return fresh;
}

QSize PictureCache::naturalSize(const QString &path)
{
    return entryFor(path).natural;
}

QImage PictureCache::imageFor(const QString &path, QSize shown)
{
    Entry &entry = entryFor(path);
    if (entry.natural.isEmpty() || entry.decodeFailed)
        return {};
    const QSize wanted = shown.boundedTo(entry.natural).expandedTo(QSize(1, 1));
    if (!entry.decoded.isNull() &&
        (entry.decoded.size() == entry.natural ||
         (entry.decoded.width() >= wanted.width() && entry.decoded.height() >= wanted.height())))
        return entry.decoded;
    // Decode with some room to grow, so that a window being dragged larger
    // does not decode again at every step.
    const QSize target =
        entry.natural.scaled((wanted * 3 / 2).boundedTo(entry.natural), Qt::KeepAspectRatio);
    QImageReader reader(path);
    QImageReader::setAllocationLimit(256);
    if (target != entry.natural)
        reader.setScaledSize(target);
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        entry.decodeFailed = true;
        entry.decoded = QImage();
        return {};
    }
    // Some GIFs declare a canvas larger than their picture and decode to
    // it; what is shown keeps to the size the header promised.
    if (image.width() > entry.natural.width() || image.height() > entry.natural.height())
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    entry.decoded = image;
    return image;
}
