#include "modColor.h"

#include "ControlAccess.h"
#include "Settings.h"

namespace modColor {

void ColorLedDisplay(QObject *target, std::int32_t litColor)
{
    ControlAccess::write(target, "BackColor", Settings.LEDBack);
    ControlAccess::write(target, "LitColor", litColor);
}

void ColorLedDisplay(const QList<QObject *> &targets, std::int32_t litColor)
{
    for (QObject *target : targets)
        ColorLedDisplay(target, litColor);
}

void ColorFormControls(const QObject *window, const QList<QObject *> &excluded)
{
    for (QObject *control : ControlAccess::controls(window)) {
        const QString name = ControlAccess::name(control);
        const bool skip = std::any_of(excluded.begin(), excluded.end(),
                                      [&](QObject *e) { return ControlAccess::name(e) == name; });
        if (skip)
            continue;
        const QString kind = ControlAccess::className(control);
        if (kind == u"Label")
            ControlAccess::write(control, "ForeColor", Settings.BorderColor);
        else if (kind == u"PictureBox")
            ControlAccess::write(control, "BackColor", Settings.LEDBack);
        else if (kind == u"Shape")
            ControlAccess::write(control, "BorderColor", Settings.BorderColor);
    }
}

} // namespace modColor
