#include "CellPictures.h"

#include "ColorRef.h"

#include <QPainter>
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
    const QSize size(int(std::ceil(separator ? m_look.separatorWidth : m_look.digitWidth)) + 1,
                     m_look.digitHeight + 1);
    // Drawn at the screen's own resolution, then copied 1:1 to it.
    picture = QPixmap(size * m_look.pixelRatio);
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
