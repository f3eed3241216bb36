// Texts, pictures, digit style, colours and scaling of the board.
#include "frmScoreboard.h"

#include "ColorRef.h"
#include "Digmar.h"
#include "Image.h"
#include "Label.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Settings.h"
#include "Shape.h"
#include "modColor.h"
#include "modGrabKeys.h"
#include "modStretch.h"

#include <QResizeEvent>

void frmScoreboard::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    Form_Resize();
}

void frmScoreboard::Form_Resize()
{
    modStretch::ScaleLayout(this);
    ObjectSelected(nullptr);
    UpdateLabels();
}

void frmScoreboard::UpdateLabels()
{
    setWindowTitle(QStringLiteral("Quelvane"));
    lblTitle->setCaption(Settings.TitleText);
    lblHomeTeam->setCaption(Settings.HomeText);
    lblVisitorTeam->setCaption(Settings.VisitorText);
    modGrabKeys::FitPicture(imgHomePic, picHomePicContainer, Settings.HomePic);
    modGrabKeys::FitPicture(imgVisitorPic, picVisitorPicContainer, Settings.VisitorPic);
    modGrabKeys::FitPicture(imgBoardPic, picBoardPicContainer, Settings.BoardPic);
    modStretch::SetLedType(this, Settings.LEDType);
}

void frmScoreboard::UpdateFormColors()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(Settings.FormBack));
    setPalette(pal);

    modColor::ColorLedDisplay(tledPeriod, Settings.TimeColor);
    modColor::ColorLedDisplay(nledHomeScore, Settings.ScoreColor);
    modColor::ColorLedDisplay(nledVisitorScore, Settings.ScoreColor);
    modColor::ColorLedDisplay(nledPeriod, Settings.PeriodColor);
    modColor::ColorLedDisplay(tledJam, Settings.TimeColor);
    for (Pinlux *penalty :
         {tledHomePenalty1, tledHomePenalty2, tledVisitorPenalty1, tledVisitorPenalty2})
        modColor::ColorLedDisplay(penalty, Settings.ScoreColor);

    modColor::ColorFormControls(this, {lblHomeTeam, lblVisitorTeam, picHomePicContainer,
                                       picVisitorPicContainer, picBoardPicContainer});
    lblHomeTeam->setForeColor(Settings.HomeColor);
    lblVisitorTeam->setForeColor(Settings.VisitorColor);
    for (PictureBox *frame : {picHomePicContainer, picVisitorPicContainer, picBoardPicContainer})
        frame->setBackColor(Settings.FormBack);
    shpObjectSelected->setFillColor(Settings.LEDSelected);
    for (Pinlux *clock : {tledPeriod, tledJam, tledHomePenalty1, tledHomePenalty2,
                          tledVisitorPenalty1, tledVisitorPenalty2})
        clock->setBorderColor(Settings.BorderColor);
    applyRulesAppearance();
}
