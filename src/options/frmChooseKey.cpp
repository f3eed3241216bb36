#include "frmChooseKey.h"

#include "ChooseKeyShared.h"
#include "Dialogs.h"
#include "Label.h"
#include "Twips.h"
#include "VirtualKey.h"
#include "frmOptions.h"

#include <QKeyEvent>

frmChooseKey::frmChooseKey(const QList<std::int16_t> &keysInUse, QWidget *parent)
    : QDialog(parent), m_pendingKeys(keysInUse)
{
    setWindowTitle(QStringLiteral("Choose Key"));
    setModal(true);
    setFixedSize(Twips::toPixels(4680), Twips::toPixels(2415));
    setFocusPolicy(Qt::StrongFocus);

    lblChoose = new Label(this);
    lblChoose->setObjectName(QStringLiteral("lblChoose"));
    lblChoose->setFontFamily(QStringLiteral("Times New Roman"), false);
    lblChoose->setFontSize(18);
    lblChoose->setTwipsGeometry(120, 120, 4335, 855);
    lblUsed = new Label(this);
    lblUsed->setObjectName(QStringLiteral("lblUsed"));
    lblUsed->setFontFamily(QStringLiteral("Arial"), false);
    lblUsed->setFontSize(18);
    lblUsed->setAlignment(Label::Align::Center);
    lblUsed->setForeColor(0x0000FF);
    lblUsed->setCaption(QStringLiteral(
        "This is not a valid key, please choose another or close this window to return."));
    lblUsed->setTwipsGeometry(60, 1080, 4575, 1215);
    lblUsed->setVisibleFlag(false);

    lblChoose->setCaption(QStringLiteral("Press the key you would like to ") + ChooseKeyAction +
                          u'.');
    ChooseKeyResult = QStringLiteral("0");
}

bool frmChooseKey::event(QEvent *event)
{
    // Every key comes here first, before the dialog could take Escape or
    // Enter for itself or Tab for moving the focus.
    if (event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        const int code = VirtualKey::fromEvent(key);
        const bool modifier = code == 16 || code == 17 || code == 18;
        if (m_modifiersRefused &&
            (modifier || key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            refuse();
        else
            Form_KeyDown(code);
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QDialog::event(event);
}

void frmChooseKey::Form_KeyDown(int KeyCode)
{
    const auto accept = [this, KeyCode] {
        lblUsed->setVisibleFlag(false);
        ChooseKeyResult = QString::number(KeyCode);
        done(QDialog::Accepted);
    };
    if (KeyCode == ChooseKeyCurrent) {
        accept();
        return;
    }
    const bool unnamed = frmOptions::KeyCodeToStr(KeyCode).isEmpty();
    const bool inUse = m_pendingKeys.contains(std::int16_t(KeyCode));
    const bool helpOrOptions = KeyCode == 112 || KeyCode == 113;
    if (unnamed || inUse || helpOrOptions) {
        refuse();
        return;
    }
    accept();
}

void frmChooseKey::refuse()
{
    lblUsed->setVisibleFlag(true);
    Dialogs::current().beep();
}
