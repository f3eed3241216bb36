// Real key presses from the X server, as a keyboard gives them.
#include "Digmar.h"
#include "Form.h"
#include "KeyboardLock.h"
#include "X11KeyLayout.h"
#include "modGrabKeys.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_KeyCodesX11 : public QObject {
    Q_OBJECT

private:
    Form m_window;
    Digmar *m_display = nullptr;

    void xdotool(const QStringList &args)
    {
        QProcess p;
        p.start(u"xdotool"_s, args);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
        if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty()) {
            if (qEnvironmentVariable("CI") == u"true")
                QFAIL("xdotool is not installed; run scripts/setup");
            QSKIP("xdotool is not installed");
        }
        m_display = new Digmar(&m_window);
        m_window.resize(300, 200);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        m_window.activateWindow();
        m_display->setFocus();
        QTRY_VERIFY(m_display->hasFocus());
        xdotool({u"windowfocus"_s, u"--sync"_s, QString::number(m_window.winId())});
    }

    void realKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("code");
        QTest::newRow("J") << u"j"_s << 74;
        QTest::newRow("Shift+J") << u"shift+j"_s << 74;
        QTest::newRow("Ctrl+J") << u"ctrl+j"_s << 74;
        QTest::newRow("Caps letter") << u"J"_s << 74;
        QTest::newRow("1") << u"1"_s << 49;
        QTest::newRow("Shift+1") << u"shift+1"_s << 49;
        QTest::newRow("Shift+0") << u"shift+0"_s << 48;
        QTest::newRow("semicolon") << u"semicolon"_s << 186;
        QTest::newRow("colon") << u"shift+semicolon"_s << 186;
        QTest::newRow("equal") << u"equal"_s << 187;
        QTest::newRow("plus") << u"shift+equal"_s << 187;
        QTest::newRow("comma") << u"comma"_s << 188;
        QTest::newRow("minus") << u"minus"_s << 189;
        QTest::newRow("underscore") << u"shift+minus"_s << 189;
        QTest::newRow("period") << u"period"_s << 190;
        QTest::newRow("slash") << u"slash"_s << 191;
        QTest::newRow("grave") << u"grave"_s << 192;
        QTest::newRow("bracketleft") << u"bracketleft"_s << 219;
        QTest::newRow("backslash") << u"backslash"_s << 220;
        QTest::newRow("bracketright") << u"bracketright"_s << 221;
        QTest::newRow("apostrophe") << u"apostrophe"_s << 222;
        QTest::newRow("quote") << u"shift+apostrophe"_s << 222;
        QTest::newRow("Enter") << u"Return"_s << 13;
        QTest::newRow("keypad Enter") << u"KP_Enter"_s << 13;
        QTest::newRow("Space") << u"space"_s << 32;
        QTest::newRow("BackSpace") << u"BackSpace"_s << 8;
        QTest::newRow("Escape") << u"Escape"_s << 27;
        QTest::newRow("Pause") << u"Pause"_s << 19;
        QTest::newRow("Page Up") << u"Prior"_s << 33;
        QTest::newRow("Page Down") << u"Next"_s << 34;
        QTest::newRow("End") << u"End"_s << 35;
        QTest::newRow("Home") << u"Home"_s << 36;
        QTest::newRow("Left") << u"Left"_s << 37;
        QTest::newRow("Up") << u"Up"_s << 38;
        QTest::newRow("Right") << u"Right"_s << 39;
        QTest::newRow("Down") << u"Down"_s << 40;
        QTest::newRow("Insert") << u"Insert"_s << 45;
        QTest::newRow("Delete") << u"Delete"_s << 46;
        QTest::newRow("F1") << u"F1"_s << 112;
        QTest::newRow("F12") << u"F12"_s << 123;
        QTest::newRow("keypad *") << u"KP_Multiply"_s << 106;
        QTest::newRow("keypad +") << u"KP_Add"_s << 107;
        QTest::newRow("keypad -") << u"KP_Subtract"_s << 109;
        QTest::newRow("keypad /") << u"KP_Divide"_s << 111;
    }
    void realKeys()
    {
        QFETCH(QString, keys);
        QFETCH(int, code);
        QSignalSpy down(m_display, &LedDisplay::KeyDown);
        xdotool({u"key"_s, u"--clearmodifiers"_s, keys});
        QTRY_VERIFY(!down.isEmpty());
        // Modifier keys arrive first as keys of their own.
        QTRY_COMPARE(down.last().at(0).toInt(), code);
    }

    // On a French layout the digit row gives symbols without Shift; the
    // key is still the digit key.
    void anotherLayoutKeepsTheKeys()
    {
        if (QStandardPaths::findExecutable(u"setxkbmap"_s).isEmpty())
            QSKIP("setxkbmap is not installed");
        QCOMPARE(QProcess::execute(u"setxkbmap"_s, {u"fr"_s}), 0);
        const QStringList keys = {u"ampersand"_s, u"eacute"_s, u"shift+eacute"_s, u"a"_s};
        const int codes[] = {49, 50, 50, 65};
        for (int i = 0; i < keys.size(); ++i) {
            QSignalSpy down(m_display, &LedDisplay::KeyDown);
            xdotool({u"key"_s, keys[i]});
            QTRY_VERIFY(!down.isEmpty());
            QTRY_COMPARE(down.last().at(0).toInt(), codes[i]);
        }
        QCOMPARE(QProcess::execute(u"setxkbmap"_s, {u"us"_s}), 0);
    }

    // The layout is read once, not on every key, and read again when the
    // server says it changed: a layout switched mid-bout maps +, - and . at
    // once, and so does the layout switched back.
    void theLayoutIsReadOnlyWhenItChanges()
    {
        if (QStandardPaths::findExecutable(u"setxkbmap"_s).isEmpty())
            QSKIP("setxkbmap is not installed");
        // The code of the key itself; Shift, which xdotool adds for "plus"
        // on some layouts, arrives first as a key of its own.
        const auto press = [this](const QString &key) {
            QSignalSpy down(m_display, &LedDisplay::KeyDown);
            xdotool({u"key"_s, key});
            const auto last = [&] { return down.isEmpty() ? 0 : down.last().at(0).toInt(); };
            (void)QTest::qWaitFor([&] { return last() > 18; });
            return last();
        };
        QCOMPARE(press(u"semicolon"_s), 186);
        const int reads = X11KeyLayout::reads();
        for (const QString &key : {u"minus"_s, u"period"_s, u"equal"_s, u"j"_s})
            press(key);
        QCOMPARE(X11KeyLayout::reads(), reads);
        for (const QString &layout : {u"de"_s, u"us"_s}) {
            QCOMPARE(QProcess::execute(u"setxkbmap"_s, {layout}), 0);
            QCOMPARE(press(u"plus"_s), 187);
            QCOMPARE(press(u"minus"_s), 189);
            QCOMPARE(press(u"period"_s), 190);
        }
        QVERIFY(X11KeyLayout::reads() > reads);
    }

    void keypadWithNumLockOn()
    {
        KeyboardLock &lock = KeyboardLock::system();
        QVERIFY(lock.available());
        modGrabKeys::SetNumLock(true);
        QVERIFY(lock.numLockOn());
        const QStringList keys = {u"KP_0"_s, u"KP_5"_s, u"KP_9"_s, u"KP_Decimal"_s};
        const int codes[] = {96, 101, 105, 110};
        for (int i = 0; i < keys.size(); ++i) {
            QSignalSpy down(m_display, &LedDisplay::KeyDown);
            xdotool({u"key"_s, keys[i]});
            QTRY_VERIFY(!down.isEmpty());
            QCOMPARE(down.last().at(0).toInt(), codes[i]);
        }
        modGrabKeys::SetNumLock(false);
        QVERIFY(!lock.numLockOn());
    }
};

QTEST_MAIN(tst_KeyCodesX11)
#include "tst_keycodes_x11.moc"
