// NumLock kept where the operator wants it, with real key presses on a real
// X server and the lock state read back from it.
#include "BoardHarness.h"
#include "KeyboardLock.h"

#include <QGuiApplication>
#include <QTest>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

Display *xDisplay()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// Presses and releases NumLock as a keyboard does: the server toggles the lock.
void pressNumLock()
{
    Display *d = xDisplay();
    const KeyCode key = XKeysymToKeycode(d, XK_Num_Lock);
    XTestFakeKeyEvent(d, key, True, CurrentTime);
    XTestFakeKeyEvent(d, key, False, CurrentTime);
    XFlush(d);
}

} // namespace

class tst_NumLockX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    void keptOnOffOrLeftAlone_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("startOn");
        QTest::addColumn<bool>("endOn");
        QTest::newRow("keep on: a press that turns it off is undone") << 1 << true << true;
        QTest::newRow("keep on: from off") << 1 << false << true;
        QTest::newRow("keep off: a press that turns it on is undone") << 2 << false << false;
        QTest::newRow("keep off: from on") << 2 << true << false;
        QTest::newRow("leave alone: on becomes off") << 0 << true << false;
        QTest::newRow("leave alone: off becomes on") << 0 << false << true;
    }
    void keptOnOffOrLeftAlone()
    {
        QFETCH(int, mode);
        QFETCH(bool, startOn);
        QFETCH(bool, endOn);
        KeyboardLock &lock = KeyboardLock::system();
        QVERIFY(lock.available());
        lock.setNumLock(startOn);
        QCOMPARE(lock.numLockOn(), startOn);

        BoardHarness h;
        Settings.NumLockForce = mode;
        h.board->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.board.get()));
        // The board does not force anything when it opens.
        QCOMPARE(lock.numLockOn(), startOn);
        pressNumLock();
        QTRY_COMPARE(lock.numLockOn(), endOn);
        QTest::qWait(200); // and it stays so
        QCOMPARE(lock.numLockOn(), endOn);
    }
};

QTEST_MAIN(tst_NumLockX11)
#include "tst_numlock_x11.moc"
