#include "AudienceBoard.h"

#include "ControlAccess.h"
#include "Digmar.h"
#include "Image.h"
#include "Label.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Shape.h"
#include "TimeoutDots.h"
#include "frmScoreboard.h"
#include "modGrabKeys.h"

#include <QMetaProperty>
#include <QResizeEvent>
#include <algorithm>

namespace {

// Properties the layout scales for each window at its own size; never
// copied from the board.
bool scaledByLayout(const char *property)
{
    for (const char *scaled : {"Left", "Top", "Width", "Height", "FontSize", "BorderWidth", "Size",
                               "PaddingH", "PaddingV", "PaddingI", "PaddingD"}) {
        if (qstrcmp(property, scaled) == 0)
            return true;
    }
    return false;
}

// Copies every writable property of a control, or only those the layout
// does not scale.
void copyProperties(const QObject *from, QObject *to, bool includingLayout)
{
    // Our controls' own properties: those after QWidget's.
    const QMetaObject *meta = from->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isWritable() || (!includingLayout && scaledByLayout(p.name())))
            continue;
        const QVariant value = p.read(from);
        if (ControlAccess::read(to, p.name()) != value)
            ControlAccess::write(to, p.name(), value);
    }
}

QObject *makeControl(const QString &kind, QWidget *parent)
{
    if (kind == u"Label")
        return new Label(parent);
    if (kind == u"PictureBox")
        return new PictureBox(parent);
    if (kind == u"Image")
        return new Image(parent);
    if (kind == u"Shape")
        return new Shape(parent);
    if (kind == u"Pinlux")
        return new Pinlux(parent);
    if (kind == u"Digmar")
        return new Digmar(parent);
    if (kind == u"TimeoutDots")
        return new TimeoutDots(parent);
    return nullptr; // time-keepers and the like: the audience has none
}

} // namespace

AudienceBoard::AudienceBoard(frmScoreboard *board, QWidget *parent) : Form(parent), m_board(board)
{
    setWindowTitle(QStringLiteral("Quelvane audience board"));
    setAutoFillBackground(true);
    // It never takes the keyboard from the operator, nor shows a pointer.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::BlankCursor);
    copyControls();
    resize(board->size());
    // The board's present layout is this window's reference.
    withOwnLayout([this] { modStretch::RecordLayout(this); });
    copyAppearance();
    copyValues();
    connect(board, &frmScoreboard::refreshed, this, &AudienceBoard::copyValues);
    connect(board, &frmScoreboard::appearanceApplied, this, &AudienceBoard::copyAppearance);
}

template <typename F> void AudienceBoard::withOwnLayout(F &&procedure)
{
    const auto exchange = [this] {
        std::swap(modStretch::LayoutTable, m_layout.table);
        std::swap(modStretch::DesignWidth, m_layout.designWidth);
        std::swap(modStretch::DesignHeight, m_layout.designHeight);
    };
    exchange();
    procedure();
    exchange();
}

void AudienceBoard::copyControls()
{
    QHash<const QObject *, QWidget *> copies;
    copies.insert(m_board, this);
    for (QObject *original : ControlAccess::controls(m_board)) {
        // The selection mark is the operator's; the crowd sees no selection.
        if (original == static_cast<QObject *>(m_board->shpObjectSelected) ||
            m_byName.contains(original->objectName()))
            continue;
        auto *originalWidget = qobject_cast<QWidget *>(original);
        if (!originalWidget)
            continue;
        QWidget *parent = copies.value(originalWidget->parentWidget(), this);
        QObject *copy = makeControl(ControlAccess::className(original), parent);
        if (!copy)
            continue;
        addControl(copy, qPrintable(original->objectName()));
        auto *widget = static_cast<QWidget *>(copy);
        widget->setFocusPolicy(Qt::NoFocus);
        copies.insert(originalWidget, widget);
        copyProperties(original, copy, true);
        if (auto *label = qobject_cast<Label *>(original)) {
            auto *labelCopy = static_cast<Label *>(copy);
            labelCopy->setAlignment(label->alignment());
            labelCopy->setFontFamily(label->fontFamily(), label->bold());
            labelCopy->setShrinkToFit(label->shrinkToFit());
        }
        m_pairs.append(std::pair(original, copy));
        m_byName.insert(original->objectName(), copy);
        // What can change with a key besides the displays' values: the
        // rules' dots, jam number, caption and the line it takes, shown or
        // not. The nine displays are always shown.
        const auto &nine = m_board->displays();
        const bool oneOfTheNine = std::find(nine.begin(), nine.end(), original) != nine.end();
        if (qobject_cast<TimeoutDots *>(original) || qobject_cast<Label *>(original) ||
            (qobject_cast<Digmar *>(original) && !oneOfTheNine))
            m_followed.append(std::pair(original, copy));
        if (auto *clock = qobject_cast<Pinlux *>(original))
            m_clocks.append(std::pair(clock, static_cast<Pinlux *>(copy)));
        else if (auto *number = qobject_cast<Digmar *>(original))
            m_numbers.append(std::pair(number, static_cast<Digmar *>(copy)));
        widget->show();
    }
    // Frames lie beneath everything, as on the board.
    for (const auto &[original, copy] : std::as_const(m_pairs)) {
        if (qobject_cast<Shape *>(copy))
            static_cast<QWidget *>(copy)->lower();
    }
}

void AudienceBoard::copyValues()
{
    for (const auto &[original, copy] : std::as_const(m_clocks)) {
        copy->setGroupUnits(original->groupUnits());
        copy->setValue(original->value());
    }
    for (const auto &[original, copy] : std::as_const(m_numbers))
        copy->setCaption(original->caption());
    for (const auto &[original, copy] : std::as_const(m_followed)) {
        for (const char *name : {"Visible", "Remaining", "ReviewLeft", "Caption"}) {
            if (copy->metaObject()->indexOfProperty(name) < 0)
                continue;
            const QVariant value = ControlAccess::read(original, name);
            if (ControlAccess::read(copy, name) != value)
                ControlAccess::write(copy, name, value);
        }
    }
}

void AudienceBoard::copyNewControls()
{
    // Controls the board made after this window was laid out (today's rule
    // sets, once turned on): copied at the board's present layout brought to
    // this window's size, then taken into this window's own layout.
    const qsizetype known = m_pairs.size();
    copyControls();
    if (m_pairs.size() == known || m_board->width() <= 0 || m_board->height() <= 0)
        return;
    const double x = double(width()) / m_board->width();
    const double y = double(height()) / m_board->height();
    for (qsizetype i = known; i < m_pairs.size(); ++i) {
        QObject *copy = m_pairs[i].second;
        const QMetaObject *meta = copy->metaObject();
        for (int p = 0; p < meta->propertyCount(); ++p) {
            const char *name = meta->property(p).name();
            if (!scaledByLayout(name))
                continue;
            const QVariant value = ControlAccess::read(copy, name);
            const bool byWidth = qstrcmp(name, "Left") == 0 || qstrcmp(name, "Width") == 0;
            const double ratio = byWidth ? x : y;
            const double scaled = value.toDouble() * ratio;
            QVariant written =
                value.typeId() == QMetaType::Double ? QVariant(scaled) : QVariant(qRound(scaled));
            written.convert(value.metaType());
            ControlAccess::write(copy, name, written);
        }
    }
    withOwnLayout([this] { modStretch::RecordLayout(this); });
}

void AudienceBoard::copyAppearance()
{
    copyNewControls();
    setPalette(m_board->palette());
    for (const auto &[original, copy] : std::as_const(m_pairs)) {
        // Pictures are fitted here, at this window's size.
        if (!qobject_cast<Image *>(copy))
            copyProperties(original, copy, false);
    }
    fitPictures();
}

void AudienceBoard::fitPictures()
{
    const std::pair<const char *, const QString &> pictures[] = {
        {"HomePic", Settings.HomePic},
        {"VisitorPic", Settings.VisitorPic},
        {"BoardPic", Settings.BoardPic}};
    for (const auto &[which, path] : pictures) {
        auto *image = qobject_cast<Image *>(control(u"img"_qs + QLatin1String(which)));
        auto *frame = qobject_cast<TwipsWidget *>(
            control(u"pic"_qs + QLatin1String(which) + u"Container"_qs));
        if (image && frame)
            modGrabKeys::FitPicture(image, frame, path);
    }
}

void AudienceBoard::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    if (m_layout.designWidth == 0)
        return;
    withOwnLayout([this] { modStretch::ScaleLayout(this); });
    fitPictures();
}
