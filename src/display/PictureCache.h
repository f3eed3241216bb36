#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

// Picture files read for showing: the natural size is read from the file's
// header without decoding it, and a picture is decoded only at the size it
// is shown, then kept while the file stays unchanged.
class PictureCache {
public:
    // Larger pictures are refused rather than decoded.
    static constexpr qint64 MaxPixels = 200ll * 1000 * 1000;
    static constexpr int MaxSide = 32767;

    static PictureCache &instance();

    // The picture's own size in pixels; empty when the file is no picture
    // that can be shown.
    QSize naturalSize(const QString &path);

    // The picture decoded at no less than `shown` (or its natural size, if
    // smaller); a null image when it can't be decoded.
    QImage imageFor(const QString &path, QSize shown);

    void clear() { m_entries.clear(); }

private:
    struct Entry {
        QDateTime modified;
        qint64 bytes = -1;
        QSize natural;
        bool decodeFailed = false;
        QImage decoded;
    };
    Entry &entryFor(const QString &path);

    QHash<QString, Entry> m_entries;
};
