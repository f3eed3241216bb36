#pragma once

#include "BoutRules.h"
#include <QColor>

#include <QDialog>
#include <QList>
#include <array>
#include <cstdint>

class Image;
class PictureBox;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QTabWidget;
class SettingsBackend;
class Veskel;

// The settings dialog: every setting on five pages, changed as pending
// values; OK stores them all, Cancel drops them. Member definitions are split
// by page: OptionsKeys, OptionsColors, OptionsSoundsPictures, OptionsLoadSave.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    explicit frmOptions(SettingsBackend &store, QWidget *parent = nullptr);
    ~frmOptions() override;

    // The name of a key, or the empty text for a key that can't be assigned.
    static QString KeyCodeToStr(int KeyCode);
    void UpdateBuzzerCaption();
    void UpdatePeriodEndSoundCaption();

    // Pending values read from outside.
    QString BuzzTemp;
    QString PeriodEndSoundTemp;
    QString HomePicTemp;
    QString VisitorPicTemp;
    QString BoardPicTemp;
    std::int16_t StartStopJamClockKeyTemp = 0;
    std::int16_t ResetJamClockKeyTemp = 0;
    std::int16_t StartStopPeriodClockKeyTemp = 0;
    std::int16_t ResetPeriodClockKeyTemp = 0;
    std::int16_t ClockSwitchKeyTemp = 0;
    std::int16_t SepTimeKeyTemp = 0;
    std::int16_t ClearKeyTemp = 0;
    std::int16_t BuzzerKeyTemp = 0;
    std::int16_t PeriodEndSoundKeyTemp = 0;
    std::int16_t PenaltyIncrementSecKeyTemp = 0;

    // The ten pending key codes in member order.
    std::array<std::int16_t, 10> pendingKeys() const;
    // Every pending key no other command may take: the ten, and the bout
    // rules' while they are to be shown.
    QList<std::int16_t> keysInUse() const;

    // "Bout": what today's rule sets add to the board, pending.
    BoutRulesRecord BoutRulesTemp;
    QCheckBox *chkShowBoutRules;
    QSpinBox *spnTeamTimeouts, *spnTeamReviews;
    std::array<QPushButton *, BoutRulesRecord::AllKeyCount> cmdRulesKeys{};
    std::array<QLabel *, BoutRulesRecord::AllKeyCount> lblRulesKeys{};
    // The bout run by the clock, which needs the rules shown.
    QCheckBox *chkRunByClock;
    QSpinBox *spnPeriods, *spnIntermissionSeconds;
    QWidget *fraRunByClock;

    QTabWidget *SSTab1;
    QPushButton *cmdOk;
    QPushButton *cmdCancel;

    // "Key Controls"
    QPushButton *cmdStartStopJamClock, *cmdResetJamClock, *cmdStartStopPeriodClock,
        *cmdResetPeriodClock, *cmdClockSwitch, *cmdSepTime, *cmdClearKey, *cmdResetKeys;
    QLabel *lblStartStopJamClock, *lblResetJamClock, *lblStartStopPeriodClock, *lblResetPeriodClock,
        *lblClockSwitch, *lblSepTime, *lblClear;
    QRadioButton *optKeepOff, *optKeepOn, *optNormal;

    // "Color Controls"
    PictureBox *picTimeC, *picScoreC, *picPeriodC, *picLEDB, *picBackC, *picBorderC, *picHomeC,
        *picVisitorC, *picLedSelected;
    QPushButton *cmdTimeC, *cmdScoreC, *cmdPeriodC, *cmdLEDB, *cmdBackC, *cmdBorderC, *cmdHomeC,
        *cmdVisitorC, *cmdLedSelected, *cmdResetColors;
    QScrollBar *scrLEDSelectedWidth;
    QLabel *lblLEDSelectedWidthValue;

    // "Text Controls"
    QLineEdit *txtTitleText, *txtHomeText, *txtVisitorText;

    // "Pictures"
    PictureBox *picHomePicPreviewCon, *picVisitorPicPreviewCon, *picBoardPicPreviewCon;
    Image *imgHomePicPreview, *imgVisitorPicPreview, *imgBoardPicPreview;
    QPushButton *cmdChangeHomePic, *cmdClearHomePic, *cmdChangeVisitorPic, *cmdClearVisitorPic,
        *cmdChangeBoardPic, *cmdClearBoardPic;
    QComboBox *cmbLedType;
    Veskel *pledPreview;

    // "Additional Settings"
    QLabel *lblBFile, *lblPeriodEndSound, *lblBuzzerKey, *lblPeriodEndSoundKey,
        *lblPenaltyIncrement, *lblPenaltyIncrementKey;
    QPushButton *cmdBuzzerSoundChange, *cmdBuzzerSoundNone, *cmdBuzzerKey, *cmdPeriodEndSoundChange,
        *cmdPeriodEndSoundNone, *cmdPeriodEndSoundKey, *cmdPenaltyIncrementKey;
    QCheckBox *chkSuppressPeriodSound;
    QScrollBar *vsPenaltyIncrement;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // One key button of either page, with what it changes.
    struct KeyRow {
        QPushButton *button;
        QLabel *label;
        std::int16_t frmOptions::*member;
        const char *phrase;
    };
    // One sound frame.
    struct SoundFrame {
        QString frmOptions::*path;
        QLabel *fileLabel;
        QPushButton *change, *none, *keyButton;
        QLabel *keyLabel;
        std::int16_t frmOptions::*key;
        std::int16_t restoredKey;
    };
    // One picture frame.
    struct PictureFrame {
        QString frmOptions::*path;
        Image *preview;
        PictureBox *container;
        QPushButton *change, *clear;
    };

    QWidget *createKeyPage();
    QWidget *createColorPage();
    QWidget *createTextPage();
    QWidget *createPicturePage();
    QWidget *createAdditionalPage();
    QWidget *createBoutPage();
    void loadBoutPage();
    void chooseRulesKey(int index);
    void showBoutRulesChanged(bool show);
    // The second check box and what hangs on it, enabled as the first is.
    void enableRunByClock();
    void connectPages();
    void placeControls();

    void Form_Load();
    void cmdOk_Click();
    void chooseKey(const KeyRow &row);
    void cmdResetKeys_Click();
    void changeColor(PictureBox *swatch);
    void cmdResetColors_Click();
    void updateSoundCaption(const SoundFrame &frame);
    void changeSound(const SoundFrame &frame);
    void noSound(const SoundFrame &frame);
    void changePicture(const PictureFrame &frame);
    void clearPicture(const PictureFrame &frame);

    SettingsBackend &m_store;
    std::array<KeyRow, 10> m_keyRows;
    std::array<SoundFrame, 2> m_soundFrames;
    std::array<PictureFrame, 3> m_pictureFrames;
    // The shared chooser's colour: the last one confirmed while open.
    QColor m_chooserColor = Qt::black;
};
