#include "CellPictures.h"

#include "ColorRef.h"

#include <QImage>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

QColor dimmed(const QColor &lit, const QColor &back)
{
    constexpr double share = 0.13;
    return QColor::fromRgbF(float(back.redF() + (lit.redF() - back.redF()) * share),
                            float(back.greenF() + (lit.greenF() - back.greenF()) * share),
                            float(back.blueF() + (lit.blueF() - back.blueF()) * share));
}

} // namespace

std::shared_ptr<CellPictures> CellPictures::forLook(const Look &look)
{
    // Looked up by the GUI thread only, a handful of entries at most.
    static std::vector<std::pair<Look, std::weak_ptr<CellPictures>>> shared;
    std::erase_if(shared, [](const auto &entry) { return entry.second.expired(); });
    for (const auto &[known, pictures] : shared) {
        if (known == look)
            return pictures.lock();
    }
    auto pictures = std::make_shared<CellPictures>(look);
    shared.emplace_back(look, pictures);
    return pictures;
}

const QPixmap &CellPictures::picture(Glyph glyph)
{
    QPixmap &picture = m_pictures[size_t(glyph)];
    if (!picture.isNull())
        return picture;
    if (!m_prepared) {
        m_glyphs.prepare(m_look.ledType, m_look.digitWidth, m_look.digitHeight,
                         m_look.separatorWidth);
        m_prepared = true;
    }
    const bool separator = isSeparator(glyph);
    const QSize size =
        cellSize(separator ? m_look.separatorWidth : m_look.digitWidth, m_look.digitHeight);
    // Drawn at the screen's own resolution, then copied 1:1 to it; rounded
    // up, so that at a scale like 1.25 the picture covers all of its place.
    picture =
        QPixmap(qCeil(size.width() * m_look.pixelRatio), qCeil(size.height() * m_look.pixelRatio));
    picture.setDevicePixelRatio(m_look.pixelRatio);
    const QColor back = toQColor(m_look.backColor);
    const QColor lit = toQColor(m_look.litColor);
    picture.fill(back);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(dimmed(lit, back));
    painter.drawPath(separator ? m_glyphs.unlitSeparator() : m_glyphs.unlitDigit());
    if (glyph != Glyph::Blank && glyph != Glyph::SeparatorOff) {
        painter.setBrush(lit);
        painter.drawPath(m_glyphs.lit(glyph));
    }
    return picture;
}

QRect CellPictures::difference(Glyph from, Glyph to)
{
    std::optional<QRect> &known = m_differences[size_t(from)][size_t(to)];
    if (known)
        return *known;
    const QImage a = picture(from).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage b = picture(to).toImage().convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size()) {
        known = QRect(QPoint(), picture(to).deviceIndependentSize().toSize());
        return *known;
    }
    int left = a.width(), right = -1, top = a.height(), bottom = -1;
    for (int y = 0; y < a.height(); ++y) {
        const auto *rowA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *rowB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (rowA[x] != rowB[x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    // Device pixels to the display's own, rounded outwards.
    known = right < 0 ? QRect()
                      : QRectF(left / m_look.pixelRatio, top / m_look.pixelRatio,
                               (right - left + 1) / m_look.pixelRatio,
                               (bottom - top + 1) / m_look.pixelRatio)
                            .toAlignedRect();
    return *known;
}
