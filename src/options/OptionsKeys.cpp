// The "Key Controls" page and the key buttons of the other pages.
#include "frmOptions.h"

#include "ChooseKeyShared.h"
#include "Dialogs.h"
#include "frmChooseKey.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

QString frmOptions::KeyCodeToStr(int KeyCode)
{
    switch (KeyCode) {
    case 8:
        return QStringLiteral("Backspace");
    case 13:
        return QStringLiteral("Enter");
    case 17:
        return QStringLiteral("Ctrl");
    case 19:
        return QStringLiteral("Pause/Break");
    case 33:
        return QStringLiteral("Page Up");
    case 34:
        return QStringLiteral("Page Down");
    case 35:
        return QStringLiteral("End");
    case 36:
        return QStringLiteral("Home");
    case 45:
        return QStringLiteral("Insert");
    case 46:
        return QStringLiteral("Delete");
    case 106:
        return QStringLiteral("Numpad *");
    case 111:
        return QStringLiteral("Numpad /");
    case 186:
        return QStringLiteral(";");
    case 188:
        return QStringLiteral(",");
    case 190:
        return QStringLiteral(".");
    case 191:
        return QStringLiteral("/");
    case 192:
        return QStringLiteral("`");
    case 219:
        return QStringLiteral("[");
    case 220:
        return QStringLiteral("\\");
    case 221:
        return QStringLiteral("]");
    case 222:
        return QStringLiteral("\"");
    default:
        break;
    }
    if (KeyCode >= 65 && KeyCode <= 90)
        return QString(QChar(KeyCode));
    if (KeyCode >= 114 && KeyCode <= 123)
        return u'F' + QString::number(KeyCode - 111);
    return QString();
}

void frmOptions::chooseKey(const KeyRow &row)
{
    ChooseKeyAction = QString::fromLatin1(row.phrase);
    ChooseKeyCurrent = this->*row.member;
    {
        frmChooseKey capture(keysInUse(), this);
        capture.exec();
    }
    const int code = ChooseKeyResult.toInt();
    if (code != 0) {
        this->*row.member = std::int16_t(code);
        row.label->setText(KeyCodeToStr(code));
    }
    cmdOk->setFocus();
}

void frmOptions::cmdResetKeys_Click()
{
    if (!Dialogs::current().askYesNo(this, QStringLiteral("Reset Keys"),
                                     QStringLiteral("Are you sure you want to reset the keys?")))
        return;
    const std::int16_t defaults[] = {74, 82, 83, 84, 67, 73, 46};
    for (size_t i = 0; i < std::size(defaults); ++i) {
        m_keyRows[i].label->setText(KeyCodeToStr(defaults[i]));
        this->*m_keyRows[i].member = defaults[i];
    }
    optNormal->setChecked(true);
    // A bout rules key that a command has now is chosen again.
    if (chkShowBoutRules->isChecked())
        showBoutRulesChanged(true);
}
