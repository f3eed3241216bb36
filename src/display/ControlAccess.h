#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

// Generic access to the controls of a window: a property by name, the kind
// of control, and the window's controls in its own order. The layout, colour
// and digit-type procedures are written once against this.
namespace ControlAccess {

// "Label", "PictureBox", "Image", "Shape", "Pinlux", "Digmar", "Tarrow", ...
// or an empty text for an object that is not a control.
QString className(const QObject *control);

QString name(const QObject *control);

QVariant read(const QObject *control, const char *property);
// False when the control has no such writable property or refuses the value.
bool write(QObject *control, const char *property, const QVariant &value);

// The controls that a window holds, in the order the window created them,
// including those placed inside frames. Empty for an object that is not a
// window of ours.
QList<QObject *> controls(const QObject *window);

} // namespace ControlAccess
