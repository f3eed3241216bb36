#include "ControlAccess.h"

#include "Form.h"

#include <QMetaProperty>

namespace ControlAccess {

QString className(const QObject *control)
{
    if (!control)
        return {};
    const QMetaObject *meta = control->metaObject();
    const int index = meta->indexOfClassInfo("ControlClass");
    if (index < 0)
        return {};
    return QString::fromLatin1(meta->classInfo(index).value());
}

QString name(const QObject *control)
{
    return control ? control->objectName() : QString();
}

QVariant read(const QObject *control, const char *property)
{
    if (!control || control->metaObject()->indexOfProperty(property) < 0)
        return {};
    return control->property(property);
}

bool write(QObject *control, const char *property, const QVariant &value)
{
    if (!control)
        return false;
    const QMetaObject *meta = control->metaObject();
    const int index = meta->indexOfProperty(property);
    if (index < 0 || !meta->property(index).isWritable())
        return false;
    return control->setProperty(property, value);
}

QList<QObject *> controls(const QObject *window)
{
    if (const auto *form = qobject_cast<const Form *>(window))
        return form->controls();
    return {};
}

} // namespace ControlAccess
