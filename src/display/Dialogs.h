#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

// The platform's standard choosers and message boxes, behind one seam so
// that tests can answer them in advance instead of a person.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A confirmed colour, or nothing when the chooser was cancelled.
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial);
    // A chosen existing file, or nothing when cancelled. `filter` is written
    // "Description|*.a;*.b".
    virtual std::optional<QString> chooseOpenFile(QWidget *parent, const QString &filter);
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &title, const QString &text);
    // The same question, where Escape and the close box answer neither:
    // true for Yes, false for No, nothing when it was put away.
    virtual std::optional<bool> askYesNoOrLater(QWidget *parent, const QString &title,
                                                const QString &text);
    virtual void warn(QWidget *parent, const QString &title, const QString &text);
    virtual void beep();

    // The dialogs in use: the real ones unless a test put others in place.
    static Dialogs &current();
    static void setCurrent(Dialogs *dialogs);
};
