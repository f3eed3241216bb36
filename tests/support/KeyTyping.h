#pragma once

#include <QTest>

// Types a line of keys into a widget as real key events: digits, ".", "+",
// "-", space; "E" is Enter, "C" Delete (the Clear key), "A" and "I" the
// penalty keys, other capitals their letter keys.
inline void typeKeys(QWidget *widget, const QString &keys)
{
    for (QChar c : keys) {
        Qt::Key key;
        if (c.isDigit())
            key = Qt::Key(Qt::Key_0 + (c.unicode() - u'0'));
        else if (c == u'.')
            key = Qt::Key_Period;
        else if (c == u'+')
            key = Qt::Key_Plus;
        else if (c == u'-')
            key = Qt::Key_Minus;
        else if (c == u' ')
            key = Qt::Key_Space;
        else if (c == u'E')
            key = Qt::Key_Return;
        else if (c == u'C')
            key = Qt::Key_Delete;
        else
            key = Qt::Key(Qt::Key_A + (c.unicode() - u'A'));
        QTest::keyClick(widget, key);
    }
}
