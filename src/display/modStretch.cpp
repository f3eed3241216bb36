#include "modStretch.h"

#include "ControlAccess.h"
#include "Twips.h"

#include <QMetaProperty>
#include <QWidget>
#include <cfenv>
#include <cmath>

namespace {

std::int32_t roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(mode);
    return std::int32_t(std::clamp(r, -2147483648.0, 2147483647.0));
}

std::int32_t recorded(const QObject *control, const char *property)
{
    return roundHalfEven(ControlAccess::read(control, property).toDouble());
}

// Writes a scaled value; a whole-number property gets it rounded half to
// even, as an assignment to it would.
void writeScaled(QObject *control, const char *property, double value)
{
    const QMetaObject *meta = control->metaObject();
    const int index = meta->indexOfProperty(property);
    if (index < 0)
        return;
    const int type = meta->property(index).metaType().id();
    if (type == QMetaType::Short)
        ControlAccess::write(
            control, property,
            QVariant::fromValue(qint16(std::clamp(roundHalfEven(value), -32768, 32767))));
    else if (type == QMetaType::Int)
        ControlAccess::write(control, property, roundHalfEven(value));
    else
        ControlAccess::write(control, property, value);
}

// The recorded properties in the order they are scaled: places follow the
// width or height ratio as they are; sizes never fall below 1.
struct ScaledField {
    std::int32_t modStretch::ControlLayout::*field;
    const char *property;
    bool byWidth;
    bool position;
};
using CL = modStretch::ControlLayout;
constexpr ScaledField ScaledFields[] = {
    {&CL::Left, "Left", true, true},           {&CL::Top, "Top", false, true},
    {&CL::Width, "Width", true, false},        {&CL::Height, "Height", false, false},
    {&CL::FontSize, "FontSize", false, false}, {&CL::BorderWidth, "BorderWidth", false, false},
    {&CL::Size, "Size", false, false},         {&CL::PaddingH, "PaddingH", false, false},
    {&CL::PaddingV, "PaddingV", false, false}, {&CL::PaddingI, "PaddingI", false, false},
    {&CL::PaddingD, "PaddingD", false, false},
};

double windowWidth(const QWidget *window)
{
    return Twips::fromPixels(window->width());
}

double windowHeight(const QWidget *window)
{
    return Twips::fromPixels(window->height());
}

} // namespace

namespace modStretch {

double AtLeastOne(double x)
{
    if (!(x >= 1))
        return 1;
    return x;
}

void RecordLayout(QWidget *window)
{
    const QList<QObject *> controls = ControlAccess::controls(window);
    QVector<ControlLayout> table(controls.size() + 1);
    DesignHeight = roundHalfEven(windowHeight(window));
    DesignWidth = roundHalfEven(windowWidth(window));
    int index = 0;
    for (QObject *control : controls) {
        const QString kind = ControlAccess::className(control);
        ControlLayout &entry = table[index];
        if (kind == u"Pinlux" || kind == u"Digmar") {
            entry.Size = recorded(control, "Size");
            entry.PaddingH = recorded(control, "PaddingH");
            entry.PaddingV = recorded(control, "PaddingV");
            entry.PaddingI = recorded(control, "PaddingI");
            if (kind == u"Pinlux")
                entry.PaddingD = recorded(control, "PaddingD");
        } else if (kind == u"PictureBox" || kind == u"Image" || kind == u"TimeoutDots") {
            entry.Height = recorded(control, "Height");
            entry.Width = recorded(control, "Width");
        } else if (kind == u"Label") {
            entry.Height = recorded(control, "Height");
            entry.Width = recorded(control, "Width");
            entry.FontSize = recorded(control, "FontSize");
        } else if (kind == u"Shape") {
            entry.Height = recorded(control, "Height");
            entry.Width = recorded(control, "Width");
            entry.BorderWidth = recorded(control, "BorderWidth");
        } else {
            continue;
        }
        entry.Control = control;
        entry.Left = recorded(control, "Left");
        entry.Top = recorded(control, "Top");
        ++index;
    }
    LayoutTable = table;
}

void ScaleLayout(QWidget *window)
{
    if (window->isMinimized())
        return;
    // Painting waits until every control has its new place and size, so the
    // operator never sees a half-scaled board.
    const bool wasEnabled = window->updatesEnabled();
    window->setUpdatesEnabled(false);
    const long double widthRatio = (long double)windowWidth(window) / DesignWidth;
    const long double heightRatio = (long double)windowHeight(window) / DesignHeight;
    for (const ControlLayout &entry : std::as_const(LayoutTable)) {
        QObject *c = entry.Control;
        if (!c || DesignWidth == 0 || DesignHeight == 0)
            continue;
        for (const ScaledField &f : ScaledFields) {
            const std::int32_t recordedValue = entry.*f.field;
            if (recordedValue == 0)
                continue;
            const long double ratio = f.byWidth ? widthRatio : heightRatio;
            if (f.position)
                writeScaled(c, f.property, float(ratio * recordedValue));
            else
                writeScaled(c, f.property, AtLeastOne(double(ratio * recordedValue)));
        }
    }
    window->setUpdatesEnabled(wasEnabled);
    window->update();
}

void SetLedType(const QObject *window, std::int32_t ledType)
{
    for (QObject *control : ControlAccess::controls(window)) {
        const QString kind = ControlAccess::className(control);
        if (kind == u"Pinlux" || kind == u"Digmar")
            ControlAccess::write(control, "LedType", ledType);
    }
}

} // namespace modStretch
