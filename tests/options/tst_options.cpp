#include "BoutRules.h"
#include "ChooseKeyShared.h"
#include "ColorRef.h"
#include "Image.h"
#include "Label.h"
#include "MemoryStore.h"
#include "PictureBox.h"
#include "ScriptedDialogs.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "Spinner.h"
#include "Veskel.h"
#include "frmChooseKey.h"
#include "frmOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace {

// Presses a key in the capture dialog that a key button opens.
void answerCapture(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTimer::singleShot(0, [key, modifiers] {
        auto *capture = qobject_cast<frmChooseKey *>(QApplication::activeModalWidget());
        QVERIFY(capture);
        QTest::keyClick(capture, key, modifiers);
        if (capture->isVisible())
            capture->reject(); // refused: close it with its close box
    });
}

// Where a part of a scroll bar is drawn, as its style lays it out.
QRect subControl(const QScrollBar *bar, QStyle::SubControl control)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    option.sliderPosition = option.sliderValue = bar->value();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, control, bar);
}

} // namespace

class tst_Options : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString file(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("x");
        return path;
    }

private Q_SLOTS:
    void init() { Settings = SettingsStore::defaults(u"/opt/quelvane"_s); }

    void loadsEveryOpening()
    {
        Settings.PenaltyIncrementSec = 90;
        Settings.LEDSelectedWidth = 1;
        Settings.TitleText = u"Bout"_s;
        Settings.LEDType = 1;
        Settings.NumLockForce = 2;
        Settings.SuppressPeriodSound = 1;
        MemoryStore store;
        frmOptions dialog(store);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), u"Options"_s);
        // The five pages, and after them the bout rules' own.
        QCOMPARE(dialog.SSTab1->count(), 6);
        const QStringList pages = {u"Key Controls"_s, u"Color Controls"_s,       u"Text Controls"_s,
                                   u"Pictures"_s,     u"&Additional Settings"_s, u"Bout"_s};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(dialog.SSTab1->tabText(i), pages[i]);
        QCOMPARE(dialog.SSTab1->currentIndex(), 0);
        QTRY_VERIFY(dialog.cmdOk->hasFocus());
        QVERIFY(dialog.cmdOk->isDefault());
        QCOMPARE(dialog.lblStartStopJamClock->text(), u"J"_s);
        QCOMPARE(dialog.lblClear->text(), u"Delete"_s);
        QCOMPARE(dialog.lblPenaltyIncrementKey->text(), u"A"_s);
        QCOMPARE(dialog.lblPenaltyIncrement->text(), u"90"_s);
        QCOMPARE(dialog.lblLEDSelectedWidthValue->text(), u"1"_s);
        QCOMPARE(dialog.picTimeC->backColor(), 0x0080FF);
        QCOMPARE(dialog.txtTitleText->text(), u"Bout"_s);
        QCOMPARE(dialog.cmbLedType->currentText(), u"Dots"_s);
        QCOMPARE(dialog.pledPreview->ledType(), 1);
        QVERIFY(dialog.optKeepOff->isChecked());
        QVERIFY(dialog.chkSuppressPeriodSound->isChecked());
        QCOMPARE(dialog.chkSuppressPeriodSound->text(),
                 u"Delay \"period end sound' until jam ends or is stopped."_s);
        QCOMPARE(dialog.BuzzTemp, Settings.BuzzerFile);
    }

    void okWithoutChangesWritesEveryKey()
    {
        MemoryStore store;
        const SettingsRecord before = Settings;
        frmOptions dialog(store);
        dialog.cmdOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(store.saved.size(), 33);
        QCOMPARE(store.saved.first(), u"ColorSettings/TimeColor"_s);
        QCOMPARE(store.saved.at(2), u"ColorSettings/LEDSelected"_s);
        QCOMPARE(store.saved.at(24), u"KeySettings/NumLockForce"_s);
        QCOMPARE(store.saved.last(), u"KeySettings/IsKeyCode"_s);
        QCOMPARE(Settings, before);
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel button") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }
    void cancelWritesNothing()
    {
        QFETCH(int, how);
        MemoryStore store;
        const SettingsRecord before = Settings;
        frmOptions dialog(store);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.txtHomeText->setText(u"Changed"_s);
        dialog.vsPenaltyIncrement->setValue(30);
        if (how == 0)
            dialog.cmdCancel->click();
        else if (how == 1)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(store.saved.isEmpty());
        QCOMPARE(Settings, before);
    }

    void keyReassignedThenCancelledAndReopened()
    {
        MemoryStore store;
        {
            frmOptions dialog(store);
            answerCapture(Qt::Key_K);
            dialog.cmdResetJamClock->click();
            QCOMPARE(dialog.ResetJamClockKeyTemp, 75);
            QCOMPARE(dialog.lblResetJamClock->text(), u"K"_s);
            dialog.cmdCancel->click();
        }
        frmOptions again(store);
        QCOMPARE(again.lblResetJamClock->text(), u"R"_s);
        answerCapture(Qt::Key_K);
        again.cmdResetJamClock->click();
        again.cmdOk->click();
        QCOMPARE(Settings.ResetJamClockKey, 75);
        QCOMPARE(store.values.value(u"KeySettings/ResetJamClockKey"_s), u"75"_s);
    }

    void captureRefuses_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Space") << int(Qt::Key_Space) << 0;
        QTest::newRow("digit") << int(Qt::Key_5) << 0;
        QTest::newRow("keypad digit") << int(Qt::Key_5) << int(Qt::KeypadModifier);
        QTest::newRow("arrow") << int(Qt::Key_Left) << 0;
        QTest::newRow("F1") << int(Qt::Key_F1) << 0;
        QTest::newRow("F2") << int(Qt::Key_F2) << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0;
        QTest::newRow("in use by the jam reset") << int(Qt::Key_R) << 0;
        QTest::newRow("minus") << int(Qt::Key_Minus) << 0;
    }
    void captureRefuses()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        ScriptedDialogs dialogs;
        ChooseKeyAction = u"reset the period clock"_s;
        ChooseKeyCurrent = 84;
        frmChooseKey capture({74, 82, 83, 84, 67, 73, 46, 66, 80, 65});
        capture.show();
        QVERIFY(QTest::qWaitForWindowExposed(&capture));
        QCOMPARE(capture.windowTitle(), u"Choose Key"_s);
        QCOMPARE(capture.lblChoose->caption(),
                 u"Press the key you would like to reset the period clock."_s);
        QVERIFY(!capture.lblUsed->isVisibleFlag());
        QTest::keyClick(&capture, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(capture.isVisible());
        QVERIFY(capture.lblUsed->isVisibleFlag());
        QCOMPARE(capture.lblUsed->foreColor(), 0x0000FF);
        QCOMPARE(dialogs.beeps, 1);
        QCOMPARE(ChooseKeyResult, u"0"_s);
    }

    void captureAccepts_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("result");
        QTest::newRow("Enter") << 84 << int(Qt::Key_Return) << 0 << u"13"_s;
        QTest::newRow("Shift+K as K") << 84 << int(Qt::Key_K) << int(Qt::ShiftModifier) << u"75"_s;
        QTest::newRow("its own key") << 74 << int(Qt::Key_J) << 0 << u"74"_s;
        QTest::newRow("quote") << 84 << int(Qt::Key_Apostrophe) << 0 << u"222"_s;
        QTest::newRow("F5") << 84 << int(Qt::Key_F5) << 0 << u"116"_s;
        QTest::newRow("Ctrl") << 84 << int(Qt::Key_Control) << 0 << u"17"_s;
    }
    void captureAccepts()
    {
        QFETCH(int, current);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, result);
        ScriptedDialogs dialogs;
        ChooseKeyCurrent = std::int16_t(current);
        frmChooseKey capture({74, 82, 83, 84, 67, 73, 46, 66, 80, 65});
        capture.show();
        QVERIFY(QTest::qWaitForWindowExposed(&capture));
        // Shift pressed alone is refused first, then the key it is held with.
        QTest::keyClick(&capture, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!capture.isVisible());
        QCOMPARE(ChooseKeyResult, result);
    }

    void keyNames()
    {
        QCOMPARE(frmOptions::KeyCodeToStr(222), u"\""_s);
        QCOMPARE(frmOptions::KeyCodeToStr(116), u"F5"_s);
        QCOMPARE(frmOptions::KeyCodeToStr(123), u"F12"_s);
        QCOMPARE(frmOptions::KeyCodeToStr(46), u"Delete"_s);
        QCOMPARE(frmOptions::KeyCodeToStr(220), u"\\"_s);
        QCOMPARE(frmOptions::KeyCodeToStr(19), u"Pause/Break"_s);
        for (int unnamed :
             {0, 9, 16, 18, 27, 32, 37, 48, 57, 96, 107, 109, 110, 112, 113, 187, 189})
            QVERIFY2(frmOptions::KeyCodeToStr(unnamed).isEmpty(),
                     qPrintable(QString::number(unnamed)));
    }

    void resetKeys()
    {
        ScriptedDialogs dialogs;
        MemoryStore store;
        Settings.BuzzerKey = 74; // an additional key moved onto a default
        Settings.NumLockForce = 1;
        Settings.StartStopJamClockKey = 75;
        Settings.ResetJamClockKey = 76;
        BoutRules.Show = 1;
        BoutRules.HomeTimeoutKey = 82; // R, free until the reset gives it back
        const auto restored = qScopeGuard([] { BoutRules = BoutRulesRecord{}; });
        frmOptions dialog(store);
        // The bout by the clock needs the rules shown; turned on, its keys
        // give way to a command's key as the others do.
        QVERIFY(dialog.chkRunByClock->isEnabled() && !dialog.cmdRulesKeys[8]->isEnabled());
        dialog.chkShowBoutRules->setChecked(false);
        QVERIFY(!dialog.chkRunByClock->isEnabled());
        dialog.chkShowBoutRules->setChecked(true);
        dialog.BuzzerKeyTemp = 70; // F, the final score's
        dialog.chkRunByClock->setChecked(true);
        QVERIFY(dialog.cmdRulesKeys[8]->isEnabled());
        QCOMPARE(dialog.lblRulesKeys[8]->text(), QString());
        dialog.BuzzerKeyTemp = 74;
        dialogs.answers << false << true;
        dialog.cmdResetKeys->click();
        QCOMPARE(dialog.lblStartStopJamClock->text(), u"K"_s);
        QVERIFY(dialog.optKeepOn->isChecked());
        dialog.cmdResetKeys->click();
        QCOMPARE(dialogs.asked,
                 QStringList(2, u"Reset Keys: Are you sure you want to reset the keys?"_s));
        const QStringList shown = {dialog.lblStartStopJamClock->text(),
                                   dialog.lblResetJamClock->text(),
                                   dialog.lblStartStopPeriodClock->text(),
                                   dialog.lblResetPeriodClock->text(),
                                   dialog.lblClockSwitch->text(),
                                   dialog.lblSepTime->text(),
                                   dialog.lblClear->text()};
        QCOMPARE(shown, (QStringList{u"J"_s, u"R"_s, u"S"_s, u"T"_s, u"C"_s, u"I"_s, u"Delete"_s}));
        QVERIFY(dialog.optNormal->isChecked());
        QCOMPARE(dialog.BuzzerKeyTemp, 74);                  // kept, clash and all
        QCOMPARE(dialog.lblRulesKeys[0]->text(), QString()); // a bout rules key is chosen again
        // Never Ctrl, Alt or a chord of them: an undo would take a timeout.
        for (const auto &[key, modifiers] :
             {std::pair(Qt::Key_Control, Qt::NoModifier), std::pair(Qt::Key_Alt, Qt::NoModifier),
              std::pair(Qt::Key_Z, Qt::ControlModifier), std::pair(Qt::Key_H, Qt::NoModifier)}) {
            answerCapture(key, modifiers);
            dialog.cmdRulesKeys[0]->click();
        }
        QCOMPARE(dialogs.beeps, 4); // Ctrl, Alt, and Ctrl then Z of Ctrl+Z
        QCOMPARE(dialog.lblRulesKeys[0]->text(), u"H"_s);
        dialog.cmdOk->click();
        QCOMPARE(Settings.StartStopJamClockKey, 74);
        QCOMPARE(Settings.BuzzerKey, 74);
        QCOMPARE(Settings.NumLockForce, 0);
    }

    void colours()
    {
        ScriptedDialogs dialogs;
        MemoryStore store;
        frmOptions dialog(store);
        // Cancelled before any colour was confirmed: nothing changes.
        dialog.cmdHomeC->click();
        QCOMPARE(dialog.picHomeC->backColor(), 0xFFFFFF);
        QCOMPARE(dialogs.colorStarts.last(), QColor(Qt::black));
        dialogs.colors << QColor(255, 0, 0);
        dialog.cmdHomeC->click();
        QCOMPARE(dialog.picHomeC->backColor(), 0x0000FF);
        // The chooser opens on the last confirmed colour; cancelling keeps
        // the visitor colour.
        dialog.cmdVisitorC->click();
        QCOMPARE(dialogs.colorStarts.last(), QColor(255, 0, 0));
        QCOMPARE(dialog.picVisitorC->backColor(), 0xFFFFFF);
        dialog.scrLEDSelectedWidth->setValue(9);
        QCOMPARE(dialog.lblLEDSelectedWidthValue->text(), u"5"_s);
        dialog.scrLEDSelectedWidth->setValue(-3);
        QCOMPARE(dialog.lblLEDSelectedWidthValue->text(), u"0"_s);
        dialog.scrLEDSelectedWidth->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(dialog.lblLEDSelectedWidthValue->text(), u"1"_s);
        dialog.cmdOk->click();
        QCOMPARE(Settings.HomeColor, 0x0000FF);
        QCOMPARE(Settings.VisitorColor, 0xFFFFFF);
        QCOMPARE(Settings.LEDSelectedWidth, 1);
    }

    void resetColors()
    {
        ScriptedDialogs dialogs;
        MemoryStore store;
        Settings.FormBack = 0x112233;
        Settings.LEDSelected = 0x445566;
        Settings.TimeColor = 7;
        Settings.LEDSelectedWidth = 4;
        frmOptions dialog(store);
        dialogs.answers << false;
        dialog.cmdResetColors->click();
        QCOMPARE(dialog.picTimeC->backColor(), 7);
        dialogs.answers << true;
        dialog.cmdResetColors->click();
        QCOMPARE(dialogs.asked.last(),
                 u"Reset Colors: Are you sure you want to reset the colors?"_s);
        QCOMPARE(dialog.picTimeC->backColor(), 0x0080FF);
        QCOMPARE(dialog.picLedSelected->backColor(), 0x404040);
        QCOMPARE(dialog.picBackC->backColor(), 0x404040);
        QCOMPARE(dialog.lblLEDSelectedWidthValue->text(), u"0"_s);
        QCOMPARE(dialog.scrLEDSelectedWidth->value(), 0);
        QVERIFY(store.saved.isEmpty());
    }

    void soundCaptions_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("shortened");
        QTest::newRow("50 characters") << 50 << false;
        QTest::newRow("51 characters") << 51 << true;
    }
    void soundCaptions()
    {
        QFETCH(int, length);
        QFETCH(bool, shortened);
        const QString folder = m_dir.path() + u'/';
        const QString name = u"horn.wav"_s;
        const QString padding(length - folder.size() - name.size() - 1, u'x');
        QDir().mkpath(folder + padding);
        const QString path = folder + padding + u'/' + name;
        QCOMPARE(path.size(), length);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        Settings.BuzzerFile = path;
        MemoryStore store;
        frmOptions dialog(store);
        QCOMPARE(dialog.lblBFile->text(), shortened ? path.left(25) + u" ...\\horn.wav"_s : path);
        QFile::remove(path);
        dialog.UpdateBuzzerCaption();
        QCOMPARE(dialog.lblBFile->text(), shortened ? path.left(25) + u" ...\\"_s : path);
    }

    void noSoundThenOk()
    {
        ScriptedDialogs dialogs;
        MemoryStore store;
        frmOptions dialog(store);
        QVERIFY(dialog.cmdBuzzerSoundNone->isEnabled());
        dialog.cmdBuzzerSoundNone->click();
        QCOMPARE(dialog.lblBFile->text(), u"[No File Selected]"_s);
        QVERIFY(!dialog.cmdBuzzerSoundNone->isEnabled());
        QVERIFY(!dialog.cmdBuzzerKey->isEnabled());
        QVERIFY(!dialog.lblBuzzerKey->isEnabled());
        QCOMPARE(dialog.lblBuzzerKey->text(), QString());
        dialog.cmdOk->click();
        QCOMPARE(Settings.BuzzerFile, QString());
        QCOMPARE(Settings.BuzzerKey, 32);
        QCOMPARE(store.values.value(u"KeySettings/BuzzerKey"_s), u"32"_s);
    }

    void choosingASoundRestoresItsKey()
    {
        ScriptedDialogs dialogs;
        MemoryStore store;
        Settings.PeriodEndSoundFile.clear();
        Settings.PeriodEndSoundKey = 32;
        frmOptions dialog(store);
        QVERIFY(!dialog.cmdPeriodEndSoundKey->isEnabled());
        dialogs.files << file(u"end.wav"_s);
        dialog.cmdPeriodEndSoundChange->click();
        QCOMPARE(dialogs.filters.last(), u"Sounds *.wav|*.wav"_s);
        QCOMPARE(dialog.PeriodEndSoundKeyTemp, 80);
        QCOMPARE(dialog.lblPeriodEndSoundKey->text(), u"P"_s);
        QVERIFY(dialog.cmdPeriodEndSoundKey->isEnabled());
        // A key that is set stays when another file is chosen.
        dialog.PeriodEndSoundKeyTemp = 75;
        dialogs.files << file(u"other.wav"_s);
        dialog.cmdPeriodEndSoundChange->click();
        QCOMPARE(dialog.PeriodEndSoundKeyTemp, 75);
        // Cancelled, empty or missing: nothing changes.
        const QString kept = dialog.PeriodEndSoundTemp;
        dialog.cmdPeriodEndSoundChange->click();
        dialogs.files << QString() << m_dir.filePath(u"missing.wav"_s);
        dialog.cmdPeriodEndSoundChange->click();
        dialog.cmdPeriodEndSoundChange->click();
        QCOMPARE(dialog.PeriodEndSoundTemp, kept);
    }

    void pictures()
    {
        ScriptedDialogs dialogs;
        MemoryStore store;
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::green);
        const QString picture = m_dir.filePath(u"team.bmp"_s);
        image.save(picture);
        frmOptions dialog(store);
        dialogs.files << picture;
        dialog.cmdChangeVisitorPic->click();
        QCOMPARE(dialogs.filters.last(), u"Pictures (*.bmp;*.gif;*.jpg)|*.bmp;*.gif;*.jpg"_s);
        QCOMPARE(dialog.VisitorPicTemp, picture);
        QVERIFY(dialog.imgVisitorPicPreview->hasPicture());
        dialog.cmdChangeVisitorPic->click(); // cancelled
        QCOMPARE(dialog.VisitorPicTemp, picture);
        QVERIFY(dialog.imgVisitorPicPreview->hasPicture());
        dialog.cmdClearVisitorPic->click();
        QVERIFY(!dialog.imgVisitorPicPreview->hasPicture());
        dialog.cmbLedType->setCurrentIndex(1);
        QCOMPARE(dialog.pledPreview->ledType(), 1);
        dialog.cmdOk->click();
        QCOMPARE(Settings.VisitorPic, QString());
        QCOMPARE(Settings.LEDType, 1);
    }

    void penaltySpinner()
    {
        MemoryStore store;
        frmOptions dialog(store);
        QCOMPARE(dialog.lblPenaltyIncrement->text(), u"90"_s);
        dialog.vsPenaltyIncrement->setValue(1000);
        QCOMPARE(dialog.lblPenaltyIncrement->text(), u"599"_s);
        dialog.vsPenaltyIncrement->setValue(-1);
        QCOMPARE(dialog.lblPenaltyIncrement->text(), u"0"_s);
        dialog.cmdOk->click();
        QCOMPARE(Settings.PenaltyIncrementSec, 0);
    }

    // Both spinners count up the way the operator points: the upper arrow,
    // Up and the wheel turned away add; the handle rises with the value.
    void spinnersCountUpwards_data()
    {
        QTest::addColumn<QString>("spinner");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("change");
        const std::pair<const char *, int> inputs[] = {{"upper arrow", 1}, {"lower arrow", -1},
                                                       {"Up", 1},          {"Down", -1},
                                                       {"wheel away", 1},  {"wheel back", -1}};
        for (const char *name : {"scrLEDSelectedWidth", "vsPenaltyIncrement"}) {
            for (const auto &[input, change] : inputs) {
                QTest::addRow("%s, %s", name, input)
                    << QString::fromLatin1(name) << QString::fromLatin1(input) << change;
            }
        }
    }
    void spinnersCountUpwards()
    {
        QFETCH(QString, spinner);
        QFETCH(QString, input);
        QFETCH(int, change);
        MemoryStore store;
        frmOptions dialog(store);
        auto *bar = dialog.findChild<QScrollBar *>(spinner);
        QVERIFY(bar);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int i = 0; i < dialog.SSTab1->count(); ++i) {
            if (dialog.SSTab1->widget(i)->isAncestorOf(bar))
                dialog.SSTab1->setCurrentIndex(i);
        }
        QVERIFY(QTest::qWaitForWindowExposed(bar));
        bar->setValue(3);
        if (input == u"upper arrow" || input == u"lower arrow") {
            const QRect r = subControl(bar, input == u"upper arrow" ? QStyle::SC_ScrollBarSubLine
                                                                    : QStyle::SC_ScrollBarAddLine);
            QVERIFY(r.isValid());
            QVERIFY(input == u"upper arrow" ? r.center().y() < bar->height() / 2
                                            : r.center().y() > bar->height() / 2);
            QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
        } else if (input == u"Up" || input == u"Down") {
            bar->setFocus();
            QTest::keyClick(bar, input == u"Up" ? Qt::Key_Up : Qt::Key_Down);
        } else {
            const QPoint at = bar->rect().center();
            QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(),
                              QPoint(0, input == u"wheel away" ? 120 : -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(bar, &wheel);
        }
        QCOMPARE(bar->value(), 3 + change);
    }

    // The dialog's spinners leave the handle no room to travel; a taller one
    // shows where it goes: up as the value grows.
    void spinnerHandleRisesWithTheValue()
    {
        Spinner bar;
        bar.setRange(0, 10);
        bar.resize(17, 200);
        bar.setValue(0);
        const int atLeast = subControl(&bar, QStyle::SC_ScrollBarSlider).top();
        bar.setValue(10);
        const int atMost = subControl(&bar, QStyle::SC_ScrollBarSlider).top();
        QVERIFY2(atMost < atLeast, qPrintable(u"%1 %2"_s.arg(atMost).arg(atLeast)));
    }

    void outOfRangeValuesAreClampedOnLoad()
    {
        Settings.LEDType = 7;
        Settings.PenaltyIncrementSec = 900;
        Settings.LEDSelectedWidth = -4;
        Settings.NumLockForce = 9;
        MemoryStore store;
        frmOptions dialog(store);
        QCOMPARE(dialog.cmbLedType->currentIndex(), 1);
        QCOMPARE(dialog.lblPenaltyIncrement->text(), u"599"_s);
        QCOMPARE(dialog.lblLEDSelectedWidthValue->text(), u"0"_s);
        QVERIFY(!dialog.optNormal->isChecked() && !dialog.optKeepOn->isChecked() &&
                !dialog.optKeepOff->isChecked());
        dialog.cmdOk->click();
        QCOMPARE(Settings.NumLockForce, 9); // kept and saved again
        QCOMPARE(store.values.value(u"KeySettings/NumLockForce"_s), u"9"_s);
    }

    void aRefusingStoreIsReported()
    {
        ScriptedDialogs dialogs;
        MemoryStore store;
        store.accept = false;
        frmOptions dialog(store);
        dialog.txtHomeText->setText(u"Wreckers"_s);
        dialog.cmdOk->click();
        QCOMPARE(dialogs.asked.size(), 1);
        QVERIFY(dialogs.asked.first().startsWith(u"Options: The settings could not be saved"_s));
        QCOMPARE(Settings.HomeText, u"Wreckers"_s);
    }
};

QTEST_MAIN(tst_Options)
#include "tst_options.moc"
