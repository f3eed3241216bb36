#include "Frame.h"
#include "Image.h"
#include "Label.h"
#include "MemoryStore.h"
#include "PictureBox.h"
#include "Settings.h"
#include "SettingsBackend.h"
#include "frmSplash.h"

#include <QMap>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

} // namespace

class tst_Splash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placement()
    {
        QCOMPARE(frmSplash::topFor(11520), 2820.0);
        MemoryStore store;
        frmSplash splash(store, {});
        QCOMPARE(splash.height(), 216);
        QCOMPARE(splash.width(), 416);
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash.frameSplash->heightTwips(), 3120.0);
        QCOMPARE(splash.lblVersion->caption(), u"Version 1.0.0"_s);
        QCOMPARE(splash.picLogo->width(), 127);
        QCOMPARE(splash.picLogo->height(), 125);
        QCOMPARE(splash.imgLogo->naturalSize(), QSize(127, 125));
    }

    void loadsTheSettingsAndWritesNothing()
    {
        MemoryStore store;
        store.values[u"TextSettings/HomeText"_s] = u"Wreckers"_s;
        frmSplash splash(store, {});
        QCOMPARE(Settings.HomeText, u"Wreckers"_s);
        QCOMPARE(Settings.VisitorText, u"Visitor"_s);
        QCOMPARE(store.saved.size(), 0);
    }

    void clicksOpenTheScoreboard_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("opened");
        for (const char *name : {"frameSplash", "picLogo", "lblName", "lblMadeBy", "lblVersion",
                                 "lblClick", "Label1", "Label2"})
            QTest::newRow(name) << QString::fromLatin1(name) << 1;
        QTest::newRow("logo picture") << u"imgLogo"_s << 1;
        QTest::newRow("bare window") << QString() << 1;
        QTest::newRow("Help") << u"cmdHelp"_s << 0;
        QTest::newRow("Options") << u"cmdOptions"_s << 0;
    }
    void clicksOpenTheScoreboard()
    {
        QFETCH(QString, target);
        QFETCH(int, opened);
        MemoryStore store;
        int opens = 0;
        SplashActions actions;
        actions.openScoreboard = [&] { ++opens; };
        auto *splash = new frmSplash(store, actions);
        QPointer<frmSplash> alive(splash);
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QWidget *widget = target.isEmpty() ? splash : splash->findChild<QWidget *>(target);
        QVERIFY(widget);
        // The bare window: its left margin, outside the frame.
        const QPoint at = target.isEmpty() ? QPoint(3, 100) : widget->rect().center();
        QWidget *hit = splash->childAt(widget->mapTo(splash, at));
        QTest::mouseClick(hit ? hit : splash, Qt::LeftButton, {},
                          (hit ? hit : splash)->mapFrom(splash, widget->mapTo(splash, at)));
        QCOMPARE(opens, opened);
        if (opened) {
            QVERIFY(splash->isHidden());
            QTRY_VERIFY(alive.isNull());
            // Further clicks reach no handler of the unloaded splash.
        } else {
            QVERIFY(splash->isVisible());
            delete splash;
        }
    }

    void buttonsHaveAccessKeys()
    {
        MemoryStore store;
        frmSplash splash(store, {});
        QCOMPARE(splash.cmdHelp->text(), u"&Help"_s);
        QCOMPARE(splash.cmdOptions->text(), u"&Options"_s);
        QCOMPARE(splash.cmdHelp->geometry(), QRect(208, 168, 81, 25));
        QCOMPARE(splash.cmdOptions->geometry(), QRect(304, 168, 81, 25));
    }

    // Tab to a button, then Enter, keypad Enter or Space presses it.
    void focusedButtonsAnswerEnterAndSpace_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QString>("pressed");
        QTest::newRow("Help, Enter") << int(Qt::Key_Return) << false << u"help"_s;
        QTest::newRow("Help, keypad Enter") << int(Qt::Key_Enter) << true << u"help"_s;
        QTest::newRow("Options, Enter") << int(Qt::Key_Return) << false << u"options"_s;
        QTest::newRow("Options, keypad Enter") << int(Qt::Key_Enter) << true << u"options"_s;
        QTest::newRow("Options, Space") << int(Qt::Key_Space) << false << u"options"_s;
    }
    void focusedButtonsAnswerEnterAndSpace()
    {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(QString, pressed);
        MemoryStore store;
        QStringList presses;
        SplashActions actions;
        actions.openHelp = [&] { presses << u"help"_s; };
        actions.openOptions = [&](QWidget *) { presses << u"options"_s; };
        frmSplash splash(store, actions);
        splash.show();
        QVERIFY(QTest::qWaitForWindowActive(&splash));
        QPushButton *button = pressed == u"help" ? splash.cmdHelp : splash.cmdOptions;
        // Tab walks to the button from wherever the focus starts.
        for (int i = 0; i < 3 && QApplication::focusWidget() != button; ++i)
            QTest::keyClick(&splash, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                        keypad ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(presses, QStringList{pressed});
    }
};

QTEST_MAIN(tst_Splash)
#include "tst_splash.moc"
