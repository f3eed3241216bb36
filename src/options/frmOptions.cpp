// The Options dialog's window and its five pages.
#include "frmOptions.h"

#include "Image.h"
#include "PictureBox.h"
#include "Spinner.h"
#include "Twips.h"
#include "Veskel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel *label(const char *name, const QString &caption = QString())
{
    auto *l = new QLabel(caption);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// A small vertical spinner whose upper arrow increases the value.
QScrollBar *spinner(const char *name, int maximum)
{
    auto *s = new Spinner;
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(0, maximum);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setFixedSize(17, 34);
    return s;
}

PictureBox *swatch(const char *name)
{
    auto *p = new PictureBox;
    p->setObjectName(QString::fromLatin1(name));
    p->setFixedSize(34, 22);
    return p;
}

QGroupBox *frame(const QString &caption)
{
    return new QGroupBox(caption);
}

} // namespace

frmOptions::frmOptions(SettingsBackend &store, QWidget *parent) : QDialog(parent), m_store(store)
{
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setUsesScrollButtons(false);
    SSTab1->addTab(createKeyPage(), QStringLiteral("Key Controls"));
    SSTab1->addTab(createColorPage(), QStringLiteral("Color Controls"));
    SSTab1->addTab(createTextPage(), QStringLiteral("Text Controls"));
    SSTab1->addTab(createPicturePage(), QStringLiteral("Pictures"));
    SSTab1->addTab(createAdditionalPage(), QStringLiteral("&Additional Settings"));
    SSTab1->addTab(createBoutPage(), QStringLiteral("Bout"));
    cmdOk = button("cmdOk", QStringLiteral("&Ok"));
    cmdOk->setParent(this);
    cmdOk->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("&Cancel"));
    cmdCancel->setParent(this);
    placeControls();

    m_keyRows = {{
        {cmdStartStopJamClock, lblStartStopJamClock, &frmOptions::StartStopJamClockKeyTemp,
         "start /stop the jam clock"},
        {cmdResetJamClock, lblResetJamClock, &frmOptions::ResetJamClockKeyTemp,
         "reset the jam clock"},
        {cmdStartStopPeriodClock, lblStartStopPeriodClock, &frmOptions::StartStopPeriodClockKeyTemp,
         "start / stop the period clock"},
        {cmdResetPeriodClock, lblResetPeriodClock, &frmOptions::ResetPeriodClockKeyTemp,
         "reset the period clock"},
        {cmdClockSwitch, lblClockSwitch, &frmOptions::ClockSwitchKeyTemp,
         "switch between clock and game time"},
        {cmdSepTime, lblSepTime, &frmOptions::SepTimeKeyTemp,
         "start / stop an independent penalty clock"},
        {cmdClearKey, lblClear, &frmOptions::ClearKeyTemp, "clear a number"},
        {cmdBuzzerKey, lblBuzzerKey, &frmOptions::BuzzerKeyTemp, "sound the buzzer"},
        {cmdPeriodEndSoundKey, lblPeriodEndSoundKey, &frmOptions::PeriodEndSoundKeyTemp,
         "sound the end of period"},
        {cmdPenaltyIncrementKey, lblPenaltyIncrementKey, &frmOptions::PenaltyIncrementSecKeyTemp,
         "increment the selected penalty"},
    }};
    m_soundFrames = {{
        {&frmOptions::BuzzTemp, lblBFile, cmdBuzzerSoundChange, cmdBuzzerSoundNone, cmdBuzzerKey,
         lblBuzzerKey, &frmOptions::BuzzerKeyTemp, 66},
        {&frmOptions::PeriodEndSoundTemp, lblPeriodEndSound, cmdPeriodEndSoundChange,
         cmdPeriodEndSoundNone, cmdPeriodEndSoundKey, lblPeriodEndSoundKey,
         &frmOptions::PeriodEndSoundKeyTemp, 80},
    }};
    m_pictureFrames = {{
        {&frmOptions::HomePicTemp, imgHomePicPreview, picHomePicPreviewCon, cmdChangeHomePic,
         cmdClearHomePic},
        {&frmOptions::VisitorPicTemp, imgVisitorPicPreview, picVisitorPicPreviewCon,
         cmdChangeVisitorPic, cmdClearVisitorPic},
        {&frmOptions::BoardPicTemp, imgBoardPicPreview, picBoardPicPreviewCon, cmdChangeBoardPic,
         cmdClearBoardPic},
    }};
    connectPages();
    Form_Load();
}

frmOptions::~frmOptions() = default;

void frmOptions::placeControls()
{
    // The design size, made wider where this system's fonts need more room
    // for the tabs and the pages, so that no caption is cut.
    const int contentWidth =
        std::max(SSTab1->sizeHint().width(), SSTab1->minimumSizeHint().width());
    const double extra = std::max(0.0, Twips::fromPixels(contentWidth) - 6015);
    const double width = 6270 + extra;
    setFixedSize(Twips::toPixels(width), Twips::toPixels(6000));
    Twips::place(SSTab1, 120, 120, 6015 + extra, 5295);
    Twips::place(cmdOk, 1935 + extra / 2, 5520, 1080, 375);
    Twips::place(cmdCancel, 3255 + extra / 2, 5520, 1080, 375);
}

QWidget *frmOptions::createKeyPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    cmdStartStopJamClock = button("cmdStartStopJamClock", QStringLiteral("Start / Stop Jam Clock"));
    cmdResetJamClock = button("cmdResetJamClock", QStringLiteral("Reset Jam Clock"));
    cmdStartStopPeriodClock =
        button("cmdStartStopPeriodClock", QStringLiteral("Start / Stop Period Clock"));
    cmdResetPeriodClock = button("cmdResetPeriodClock", QStringLiteral("Reset Period Clock"));
    cmdClockSwitch = button("cmdClockSwitch", QStringLiteral("Period / Clock Switch"));
    cmdSepTime = button("cmdSepTime", QStringLiteral("Start / Stop Penalty Clock"));
    cmdClearKey = button("cmdClearKey", QStringLiteral("# Clear Key"));
    lblStartStopJamClock = label("lblStartStopJamClock");
    lblResetJamClock = label("lblResetJamClock");
    lblStartStopPeriodClock = label("lblStartStopPeriodClock");
    lblResetPeriodClock = label("lblResetPeriodClock");
    lblClockSwitch = label("lblClockSwitch");
    lblSepTime = label("lblSepTime");
    lblClear = label("lblClear");
    const std::pair<QPushButton *, QLabel *> rows[] = {
        {cmdStartStopJamClock, lblStartStopJamClock},
        {cmdResetJamClock, lblResetJamClock},
        {cmdStartStopPeriodClock, lblStartStopPeriodClock},
        {cmdResetPeriodClock, lblResetPeriodClock},
        {cmdClockSwitch, lblClockSwitch},
        {cmdSepTime, lblSepTime},
        {cmdClearKey, lblClear}};
    int row = 0;
    for (const auto &[b, l] : rows) {
        grid->addWidget(b, row, 0);
        l->setFrameShape(QFrame::StyledPanel);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(90);
        grid->addWidget(l, row, 1);
        ++row;
    }
    cmdResetKeys = button("cmdResetKeys", QStringLiteral("Reset Keys"));
    grid->addWidget(cmdResetKeys, row++, 0);

    auto *numLock = frame(QStringLiteral("Numlock Options:"));
    auto *numLockLayout = new QVBoxLayout(numLock);
    optKeepOff = new QRadioButton(QStringLiteral("Keep Numlock Off"));
    optKeepOff->setObjectName(QStringLiteral("optKeepOff"));
    optKeepOn = new QRadioButton(QStringLiteral("Keep Numlock On"));
    optKeepOn->setObjectName(QStringLiteral("optKeepOn"));
    optNormal = new QRadioButton(QStringLiteral("Normal Mode"));
    optNormal->setObjectName(QStringLiteral("optNormal"));
    numLockLayout->addWidget(optKeepOff);
    numLockLayout->addWidget(optKeepOn);
    numLockLayout->addWidget(optNormal);
    grid->addWidget(numLock, 0, 2, row, 1, Qt::AlignTop);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget *frmOptions::createColorPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->setSpacing(4);
    auto colorFrame = [&](const QString &caption, const char *swatchName, const char *buttonName,
                          PictureBox *&sw, QPushButton *&change, int r, int c) {
        auto *box = frame(caption);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(6, 2, 6, 4);
        sw = swatch(swatchName);
        change = button(buttonName, QStringLiteral("Change"));
        row->addWidget(sw);
        row->addWidget(change);
        grid->addWidget(box, r, c);
        return row;
    };
    colorFrame(QStringLiteral("Time Color:"), "picTimeC", "cmdTimeC", picTimeC, cmdTimeC, 0, 0);
    colorFrame(QStringLiteral("Score Color:"), "picScoreC", "cmdScoreC", picScoreC, cmdScoreC, 0,
               1);
    colorFrame(QStringLiteral("Period Color:"), "picPeriodC", "cmdPeriodC", picPeriodC, cmdPeriodC,
               1, 0);
    colorFrame(QStringLiteral("LED Background:"), "picLEDB", "cmdLEDB", picLEDB, cmdLEDB, 1, 1);
    colorFrame(QStringLiteral("Back Color:"), "picBackC", "cmdBackC", picBackC, cmdBackC, 2, 0);
    colorFrame(QStringLiteral("Border Color:"), "picBorderC", "cmdBorderC", picBorderC, cmdBorderC,
               2, 1);
    colorFrame(QStringLiteral("Home Color:"), "picHomeC", "cmdHomeC", picHomeC, cmdHomeC, 3, 0);
    colorFrame(QStringLiteral("Visitor Color:"), "picVisitorC", "cmdVisitorC", picVisitorC,
               cmdVisitorC, 3, 1);
    QHBoxLayout *selected = colorFrame(QStringLiteral("LED Selected"), "picLedSelected",
                                       "cmdLedSelected", picLedSelected, cmdLedSelected, 4, 0);
    selected->addWidget(new QLabel(QStringLiteral("Width:")));
    scrLEDSelectedWidth = spinner("scrLEDSelectedWidth", 5);
    lblLEDSelectedWidthValue = label("lblLEDSelectedWidthValue", QStringLiteral("0"));
    lblLEDSelectedWidthValue->setMinimumWidth(12);
    selected->addWidget(scrLEDSelectedWidth);
    selected->addWidget(lblLEDSelectedWidthValue);
    cmdResetColors = button("cmdResetColors", QStringLiteral("Reset Colors"));
    grid->addWidget(cmdResetColors, 4, 1, Qt::AlignCenter);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget *frmOptions::createTextPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    auto textFrame = [&](const QString &caption, const char *name) {
        auto *box = frame(caption);
        auto *row = new QVBoxLayout(box);
        auto *edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        row->addWidget(edit);
        column->addWidget(box);
        return edit;
    };
    txtTitleText = textFrame(QStringLiteral("Board Name:"), "txtTitleText");
    txtHomeText = textFrame(QStringLiteral("Home Name:"), "txtHomeText");
    txtVisitorText = textFrame(QStringLiteral("Visitor Name:"), "txtVisitorText");
    column->addStretch(1);
    return page;
}

QWidget *frmOptions::createPicturePage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto pictureFrame = [&](const QString &caption, const char *containerName,
                            const char *imageName, const char *changeName, const char *clearName,
                            PictureBox *&container, Image *&preview, QPushButton *&change,
                            QPushButton *&clear, int r, int c) {
        auto *box = frame(caption);
        auto *layout = new QVBoxLayout(box);
        container = new PictureBox;
        container->setObjectName(QString::fromLatin1(containerName));
        container->setBackColor(0x808080);
        container->setFixedSize(150, 70);
        container->setTwipsGeometry(0, 0, 2250, 1050);
        preview = new Image(container);
        preview->setObjectName(QString::fromLatin1(imageName));
        auto *buttons = new QHBoxLayout;
        change = button(changeName, QStringLiteral("Change"));
        clear = button(clearName, QStringLiteral("Clear"));
        buttons->addWidget(change);
        buttons->addWidget(clear);
        layout->addWidget(container, 0, Qt::AlignCenter);
        layout->addLayout(buttons);
        grid->addWidget(box, r, c);
    };
    pictureFrame(QStringLiteral("Home Picture"), "picHomePicPreviewCon", "imgHomePicPreview",
                 "cmdChangeHomePic", "cmdClearHomePic", picHomePicPreviewCon, imgHomePicPreview,
                 cmdChangeHomePic, cmdClearHomePic, 0, 0);
    pictureFrame(QStringLiteral("Visitor Picture"), "picVisitorPicPreviewCon",
                 "imgVisitorPicPreview", "cmdChangeVisitorPic", "cmdClearVisitorPic",
                 picVisitorPicPreviewCon, imgVisitorPicPreview, cmdChangeVisitorPic,
                 cmdClearVisitorPic, 0, 1);
    pictureFrame(QStringLiteral("Scoreboard Picture"), "picBoardPicPreviewCon",
                 "imgBoardPicPreview", "cmdChangeBoardPic", "cmdClearBoardPic",
                 picBoardPicPreviewCon, imgBoardPicPreview, cmdChangeBoardPic, cmdClearBoardPic, 1,
                 0);

    auto *digits = frame(QStringLiteral("Digit Type:"));
    auto *layout = new QGridLayout(digits);
    cmbLedType = new QComboBox;
    cmbLedType->setObjectName(QStringLiteral("cmbLedType"));
    cmbLedType->addItems({QStringLiteral("Lines"), QStringLiteral("Dots")});
    pledPreview = new Veskel;
    pledPreview->setObjectName(QStringLiteral("pledPreview"));
    pledPreview->setCaption(8);
    pledPreview->setDigitSize(65);
    pledPreview->setFixedSize(pledPreview->size());
    layout->addWidget(cmbLedType, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Preview:")), 1, 0, Qt::AlignTop);
    layout->addWidget(pledPreview, 1, 1);
    grid->addWidget(digits, 1, 1);
    return page;
}

QWidget *frmOptions::createAdditionalPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setSpacing(4);
    auto soundFrame = [&](const QString &caption, const char *fileName, const char *changeName,
                          const char *noneName, const char *keyName, const char *keyLabelName,
                          QLabel *&file, QPushButton *&change, QPushButton *&none,
                          QPushButton *&key, QLabel *&keyLabel) {
        auto *box = frame(caption);
        auto *grid = new QGridLayout(box);
        grid->setContentsMargins(6, 2, 6, 4);
        file = label(fileName);
        file->setFrameShape(QFrame::StyledPanel);
        change = button(changeName, QStringLiteral("Change Sound ..."));
        none = button(noneName, QStringLiteral("No Sound"));
        key = button(keyName, QStringLiteral("Select Sound Key"));
        keyLabel = label(keyLabelName);
        keyLabel->setFrameShape(QFrame::StyledPanel);
        keyLabel->setAlignment(Qt::AlignCenter);
        keyLabel->setMinimumWidth(60);
        grid->addWidget(file, 0, 0, 1, 4);
        grid->addWidget(change, 1, 0);
        grid->addWidget(none, 1, 1);
        grid->addWidget(key, 1, 2);
        grid->addWidget(keyLabel, 1, 3);
        column->addWidget(box);
        return grid;
    };
    soundFrame(QStringLiteral("Jam end sound:"), "lblBFile", "cmdBuzzerSoundChange",
               "cmdBuzzerSoundNone", "cmdBuzzerKey", "lblBuzzerKey", lblBFile, cmdBuzzerSoundChange,
               cmdBuzzerSoundNone, cmdBuzzerKey, lblBuzzerKey);
    QGridLayout *period =
        soundFrame(QStringLiteral("When period ends play sound:"), "lblPeriodEndSound",
                   "cmdPeriodEndSoundChange", "cmdPeriodEndSoundNone", "cmdPeriodEndSoundKey",
                   "lblPeriodEndSoundKey", lblPeriodEndSound, cmdPeriodEndSoundChange,
                   cmdPeriodEndSoundNone, cmdPeriodEndSoundKey, lblPeriodEndSoundKey);
    chkSuppressPeriodSound =
        new QCheckBox(QStringLiteral("Delay \"period end sound' until jam ends or is stopped."));
    chkSuppressPeriodSound->setObjectName(QStringLiteral("chkSuppressPeriodSound"));
    period->addWidget(chkSuppressPeriodSound, 2, 0, 1, 4);

    auto *increment = frame(QStringLiteral("Penalty time increment:"));
    auto *row = new QHBoxLayout(increment);
    row->setContentsMargins(6, 2, 6, 4);
    row->addWidget(new QLabel(QStringLiteral("Add this much time to the selected penalty:")));
    vsPenaltyIncrement = spinner("vsPenaltyIncrement", 599);
    lblPenaltyIncrement = label("lblPenaltyIncrement");
    lblPenaltyIncrement->setMinimumWidth(24);
    row->addWidget(vsPenaltyIncrement);
    row->addWidget(lblPenaltyIncrement);
    cmdPenaltyIncrementKey = button("cmdPenaltyIncrementKey", QStringLiteral("Select Key"));
    lblPenaltyIncrementKey = label("lblPenaltyIncrementKey");
    lblPenaltyIncrementKey->setFrameShape(QFrame::StyledPanel);
    lblPenaltyIncrementKey->setAlignment(Qt::AlignCenter);
    lblPenaltyIncrementKey->setMinimumWidth(40);
    auto *keyRow = new QVBoxLayout;
    keyRow->addWidget(cmdPenaltyIncrementKey);
    keyRow->addWidget(lblPenaltyIncrementKey);
    row->addLayout(keyRow);
    column->addWidget(increment);
    column->addStretch(1);
    return page;
}
