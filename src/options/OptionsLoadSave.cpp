// Opening the dialog from the settings, and storing them on OK.
#include "frmOptions.h"

#include "ColorRef.h"
#include "Dialogs.h"
#include "Image.h"
#include "PictureBox.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "Veskel.h"
#include "modGrabKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>

namespace {

struct SwatchField {
    PictureBox *frmOptions::*swatch;
    std::int32_t SettingsRecord::*field;
};

// The swatches in the order the dialog loads them.
constexpr SwatchField Swatches[] = {
    {&frmOptions::picTimeC, &SettingsRecord::TimeColor},
    {&frmOptions::picScoreC, &SettingsRecord::ScoreColor},
    {&frmOptions::picLEDB, &SettingsRecord::LEDBack},
    {&frmOptions::picLedSelected, &SettingsRecord::LEDSelected},
    {&frmOptions::picPeriodC, &SettingsRecord::PeriodColor},
    {&frmOptions::picBackC, &SettingsRecord::FormBack},
    {&frmOptions::picBorderC, &SettingsRecord::BorderColor},
    {&frmOptions::picHomeC, &SettingsRecord::HomeColor},
    {&frmOptions::picVisitorC, &SettingsRecord::VisitorColor},
};

struct KeyField {
    std::int16_t frmOptions::*member;
    std::int16_t SettingsRecord::*field;
};

// The ten keys in member order.
constexpr KeyField Keys[] = {
    {&frmOptions::StartStopJamClockKeyTemp, &SettingsRecord::StartStopJamClockKey},
    {&frmOptions::ResetJamClockKeyTemp, &SettingsRecord::ResetJamClockKey},
    {&frmOptions::StartStopPeriodClockKeyTemp, &SettingsRecord::StartStopPeriodClockKey},
    {&frmOptions::ResetPeriodClockKeyTemp, &SettingsRecord::ResetPeriodClockKey},
    {&frmOptions::ClockSwitchKeyTemp, &SettingsRecord::ClockSwitchKey},
    {&frmOptions::SepTimeKeyTemp, &SettingsRecord::SepTimeKey},
    {&frmOptions::ClearKeyTemp, &SettingsRecord::ClearKey},
    {&frmOptions::BuzzerKeyTemp, &SettingsRecord::BuzzerKey},
    {&frmOptions::PeriodEndSoundKeyTemp, &SettingsRecord::PeriodEndSoundKey},
    {&frmOptions::PenaltyIncrementSecKeyTemp, &SettingsRecord::PenaltyIncrementSecKey},
};

} // namespace

std::array<std::int16_t, 10> frmOptions::pendingKeys() const
{
    std::array<std::int16_t, 10> keys{};
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = this->*Keys[i].member;
    return keys;
}

void frmOptions::Form_Load()
{
    SSTab1->setCurrentIndex(0);
    loadBoutPage();
    for (const SwatchField &s : Swatches)
        (this->*s.swatch)->setBackColor(Settings.*s.field);
    // Values the dialog can't hold are brought into its range.
    scrLEDSelectedWidth->setValue(std::clamp<int>(Settings.LEDSelectedWidth, 0, 5));
    lblLEDSelectedWidthValue->setText(QString::number(scrLEDSelectedWidth->value()));
    for (size_t i = 0; i < std::size(Keys); ++i) {
        this->*Keys[i].member = Settings.*Keys[i].field;
        m_keyRows[i].label->setText(KeyCodeToStr(this->*Keys[i].member));
    }
    for (QRadioButton *option : {optNormal, optKeepOn, optKeepOff}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    if (Settings.NumLockForce == 0)
        optNormal->setChecked(true);
    else if (Settings.NumLockForce == 1)
        optKeepOn->setChecked(true);
    else if (Settings.NumLockForce == 2)
        optKeepOff->setChecked(true);
    BuzzTemp = Settings.BuzzerFile;
    PeriodEndSoundTemp = Settings.PeriodEndSoundFile;
    chkSuppressPeriodSound->setChecked(Settings.SuppressPeriodSound == 1);
    UpdateBuzzerCaption();
    UpdatePeriodEndSoundCaption();
    HomePicTemp = Settings.HomePic;
    VisitorPicTemp = Settings.VisitorPic;
    BoardPicTemp = Settings.BoardPic;
    for (const PictureFrame &f : m_pictureFrames)
        modGrabKeys::FitPicture(f.preview, f.container, this->*f.path);
    cmbLedType->setCurrentIndex(std::clamp<int>(Settings.LEDType, 0, 1));
    pledPreview->setLedType(cmbLedType->currentIndex());
    txtTitleText->setText(Settings.TitleText);
    txtHomeText->setText(Settings.HomeText);
    txtVisitorText->setText(Settings.VisitorText);
    vsPenaltyIncrement->setValue(std::clamp<int>(Settings.PenaltyIncrementSec, 0, 599));
    lblPenaltyIncrement->setText(QString::number(vsPenaltyIncrement->value()));
}

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cmdOk->setFocus();
}

void frmOptions::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        cmdOk->setFocus();
}

void frmOptions::cmdOk_Click()
{
    SettingsRecord r = Settings;
    for (const SwatchField &s : Swatches)
        r.*s.field = (this->*s.swatch)->backColor();
    r.LEDSelectedWidth = std::int16_t(lblLEDSelectedWidthValue->text().toInt());
    for (const KeyField &k : Keys)
        r.*k.field = this->*k.member;
    r.BuzzerFile = BuzzTemp;
    r.PeriodEndSoundFile = PeriodEndSoundTemp;
    r.PenaltyIncrementSec = std::int16_t(vsPenaltyIncrement->value());
    r.SuppressPeriodSound = chkSuppressPeriodSound->isChecked() ? 1 : 0;
    if (optNormal->isChecked()) {
        r.NumLockForce = 0;
    } else if (optKeepOn->isChecked()) {
        r.NumLockForce = 1;
        modGrabKeys::SetNumLock(true);
    } else if (optKeepOff->isChecked()) {
        r.NumLockForce = 2;
        modGrabKeys::SetNumLock(false);
    }
    r.TitleText = txtTitleText->text();
    r.HomeText = txtHomeText->text();
    r.VisitorText = txtVisitorText->text();
    r.HomePic = HomePicTemp;
    r.VisitorPic = VisitorPicTemp;
    r.BoardPic = BoardPicTemp;
    r.LEDType = std::int16_t(cmbLedType->currentIndex());
    Settings = r;
    BoutRulesTemp.Show = chkShowBoutRules->isChecked() ? 1 : 0;
    BoutRulesTemp.TeamTimeouts = std::int16_t(spnTeamTimeouts->value());
    BoutRulesTemp.TeamReviews = std::int16_t(spnTeamReviews->value());
    BoutRulesTemp.RunByClock = chkRunByClock->isChecked() ? 1 : 0;
    BoutRulesTemp.Periods = std::int16_t(spnPeriods->value());
    BoutRulesTemp.IntermissionSeconds = std::int16_t(spnIntermissionSeconds->value());
    BoutRules = BoutRulesTemp;
    BoutRulesStore::save(m_store, BoutRules);
    // The values apply for this run whether or not the store takes them.
    if (!SettingsStore::save(m_store, Settings)) {
        Dialogs::current().warn(
            this, QStringLiteral("Options"),
            QStringLiteral("The settings could not be saved. They apply until Quelvane is "
                           "closed, but will be lost then."));
    }
    accept();
}
