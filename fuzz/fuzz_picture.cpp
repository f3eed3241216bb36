// Picture files: whatever a file named like a picture holds.
#include "PictureCache.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {
QTemporaryDir *dir = nullptr;
int counter = 0;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static QTemporaryDir temporary;
    dir = &temporary;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A new name each time, so that nothing is served from the cache.
    const QString path = dir->filePath(QStringLiteral("p%1.img").arg(++counter));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    PictureCache &cache = PictureCache::instance();
    const QSize natural = cache.naturalSize(path);
    if (!natural.isEmpty()) {
        const QImage image = cache.imageFor(path, QSize(160, 90));
        if (!image.isNull() &&
            (image.width() > natural.width() || image.height() > natural.height()))
            __builtin_trap();
    }
    cache.clear();
    QFile::remove(path);
    return 0;
}
