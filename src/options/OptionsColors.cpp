// The "Color Controls" page.
#include "frmOptions.h"

#include "ColorRef.h"
#include "Dialogs.h"
#include "PictureBox.h"

#include <QLabel>
#include <QScrollBar>

void frmOptions::changeColor(PictureBox *swatch)
{
    // The chooser opens on the last colour confirmed while the dialog is
    // open. A cancelled chooser changes nothing.
    const std::optional<QColor> chosen = Dialogs::current().chooseColor(this, m_chooserColor);
    if (!chosen)
        return;
    m_chooserColor = *chosen;
    swatch->setBackColor(fromQColor(*chosen));
}

void frmOptions::cmdResetColors_Click()
{
    if (!Dialogs::current().askYesNo(this, QStringLiteral("Reset Colors"),
                                     QStringLiteral("Are you sure you want to reset the colors?")))
        return;
    picLedSelected->setBackColor(0x404040);
    lblLEDSelectedWidthValue->setText(QStringLiteral("0"));
    scrLEDSelectedWidth->setValue(0);
    picTimeC->setBackColor(0x0080FF);
    picLEDB->setBackColor(0x000000);
    picScoreC->setBackColor(0x0000FF);
    picPeriodC->setBackColor(0x00C000);
    picBackC->setBackColor(0x404040);
    picBorderC->setBackColor(0xFFFFFF);
    picHomeC->setBackColor(0xFFFFFF);
    picVisitorC->setBackColor(0xFFFFFF);
}
