#pragma once

#include <QList>
#include <QWidget>

// A window of the program: it keeps its controls in creation order, so that
// generic procedures can walk them, and knows its client size in twips.
class Form : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Form")
    Q_PROPERTY(double Width READ widthTwips)
    Q_PROPERTY(double Height READ heightTwips)

public:
    explicit Form(QWidget *parent = nullptr);

    const QList<QObject *> &controls() const { return m_controls; }

    double widthTwips() const;
    double heightTwips() const;

protected:
    // Names the control, records it in the window's order and returns it.
    template <typename T> T *addControl(T *control, const char *name)
    {
        control->setObjectName(QString::fromLatin1(name));
        m_controls.append(control);
        return control;
    }

private:
    QList<QObject *> m_controls;
};
