// Sounds, pictures, digit type and penalty increment, and the wiring of
// every page's buttons.
#include "frmOptions.h"

#include "Dialogs.h"
#include "Image.h"
#include "PictureBox.h"
#include "Veskel.h"
#include "modGrabKeys.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace {

const QString SoundsFilter = QStringLiteral("Sounds *.wav|*.wav");
const QString PicturesFilter = QStringLiteral("Pictures (*.bmp;*.gif;*.jpg)|*.bmp;*.gif;*.jpg");

} // namespace

void frmOptions::connectPages()
{
    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (const KeyRow &row : m_keyRows)
        connect(row.button, &QPushButton::clicked, this, [this, row] { chooseKey(row); });
    connect(cmdResetKeys, &QPushButton::clicked, this, &frmOptions::cmdResetKeys_Click);

    const std::pair<QPushButton *, PictureBox *> colors[] = {
        {cmdTimeC, picTimeC}, {cmdScoreC, picScoreC},     {cmdPeriodC, picPeriodC},
        {cmdLEDB, picLEDB},   {cmdBackC, picBackC},       {cmdBorderC, picBorderC},
        {cmdHomeC, picHomeC}, {cmdVisitorC, picVisitorC}, {cmdLedSelected, picLedSelected}};
    for (const auto &[button, swatch] : colors)
        connect(button, &QPushButton::clicked, this, [this, sw = swatch] { changeColor(sw); });
    connect(cmdResetColors, &QPushButton::clicked, this, &frmOptions::cmdResetColors_Click);
    connect(scrLEDSelectedWidth, &QScrollBar::valueChanged, this,
            [this](int value) { lblLEDSelectedWidthValue->setText(QString::number(value)); });

    for (const SoundFrame &frame : m_soundFrames) {
        connect(frame.change, &QPushButton::clicked, this, [this, frame] { changeSound(frame); });
        connect(frame.none, &QPushButton::clicked, this, [this, frame] { noSound(frame); });
    }
    for (const PictureFrame &frame : m_pictureFrames) {
        connect(frame.change, &QPushButton::clicked, this, [this, frame] { changePicture(frame); });
        connect(frame.clear, &QPushButton::clicked, this, [this, frame] { clearPicture(frame); });
    }
    connect(cmbLedType, &QComboBox::currentIndexChanged, this,
            [this](int index) { pledPreview->setLedType(index); });
    connect(vsPenaltyIncrement, &QScrollBar::valueChanged, this,
            [this](int value) { lblPenaltyIncrement->setText(QString::number(value)); });
}

void frmOptions::UpdateBuzzerCaption()
{
    updateSoundCaption(m_soundFrames[0]);
}

void frmOptions::UpdatePeriodEndSoundCaption()
{
    updateSoundCaption(m_soundFrames[1]);
}

void frmOptions::updateSoundCaption(const SoundFrame &frame)
{
    const QString path = this->*frame.path;
    if (path.isEmpty())
        frame.fileLabel->setText(QStringLiteral("[No File Selected]"));
    else if (path.size() <= 50)
        frame.fileLabel->setText(path);
    else
        frame.fileLabel->setText(
            path.left(25) + QStringLiteral(" ...\\") +
            (QFileInfo(path).isFile() ? QFileInfo(path).fileName() : QString()));
    // The sound's buttons and key label go with whether a file is set.
    const bool hasFile = !path.isEmpty();
    frame.none->setEnabled(hasFile);
    frame.keyButton->setEnabled(hasFile);
    frame.keyLabel->setEnabled(hasFile);
}

void frmOptions::changeSound(const SoundFrame &frame)
{
    const std::optional<QString> chosen = Dialogs::current().chooseOpenFile(this, SoundsFilter);
    if (!chosen || chosen->isEmpty() || !QFileInfo(*chosen).isFile())
        return;
    this->*frame.path = *chosen;
    updateSoundCaption(frame);
    if (this->*frame.key == 32) {
        this->*frame.key = frame.restoredKey;
        frame.keyLabel->setText(KeyCodeToStr(frame.restoredKey));
    }
}

void frmOptions::noSound(const SoundFrame &frame)
{
    (this->*frame.path).clear();
    updateSoundCaption(frame);
    this->*frame.key = 32;
    frame.keyLabel->setText(QString());
}

void frmOptions::changePicture(const PictureFrame &frame)
{
    const std::optional<QString> chosen = Dialogs::current().chooseOpenFile(this, PicturesFilter);
    if (!chosen || chosen->isEmpty() || !QFileInfo(*chosen).isFile())
        return;
    this->*frame.path = *chosen;
    modGrabKeys::FitPicture(frame.preview, frame.container, *chosen);
}

void frmOptions::clearPicture(const PictureFrame &frame)
{
    frame.preview->clearPicture();
    (this->*frame.path).clear();
}
