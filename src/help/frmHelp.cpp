#include "frmHelp.h"

#include "ProgramFolder.h"
#include "RichText.h"
#include "Twips.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QTextEdit>

namespace {

// Help documents are small; a larger file is read only this far.
constexpr qint64 MaxBytes = 32ll * 1024 * 1024;

} // namespace

frmHelp::frmHelp(const QString &helpFile, QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Quelvane Help"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    rtbHelp = new QTextEdit(this);
    rtbHelp->setObjectName(QStringLiteral("rtbHelp"));
    rtbHelp->setReadOnly(true);
    rtbHelp->setFrameShape(QFrame::NoFrame);
    rtbHelp->setLineWrapMode(QTextEdit::FixedPixelWidth);
    Twips::place(rtbHelp, 120, 0, 11055 - 120, 9270);
    resize(Twips::toPixels(11055), Twips::toPixels(9270));
    Form_Load(helpFile.isEmpty() ? programFolderFile(FileName) : helpFile);
}

void frmHelp::Form_Load(const QString &path)
{
    ++m_loads;
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
        RichText::load(file.read(MaxBytes), *rtbHelp->document());
        rtbHelp->moveCursor(QTextCursor::Start);
    } else {
        // Missing, or there but unreadable: the same message either way.
        rtbHelp->setPlainText(MissingText);
    }
}

void frmHelp::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmHelp::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmHelp::Form_Resize()
{
    if (isMinimized())
        return;
    // The outer size, frame included, where a window manager draws one.
    const QSize frame = frameGeometry().size() - geometry().size();
    const int minimumWidth = Twips::toPixels(2700) - frame.width();
    const int minimumHeight = Twips::toPixels(1700) - frame.height();
    if (height() < minimumHeight || width() < minimumWidth) {
        // The snap raises another resize, which does the rest.
        resize(std::max(width(), minimumWidth), std::max(height(), minimumHeight));
        return;
    }
    const double outerWidth = Twips::fromPixels(width() + frame.width());
    const double outerHeight = Twips::fromPixels(height() + frame.height());
    // Kept inside the window where the frame is thinner than the design's.
    const double boxWidth = std::min(outerWidth - 240, Twips::fromPixels(width()) - 120);
    const double boxHeight = std::min(outerHeight - 420, Twips::fromPixels(height()));
    Twips::place(rtbHelp, 120, 0, boxWidth, boxHeight);
    rtbHelp->setLineWrapColumnOrWidth(std::max(1, Twips::toPixels(boxWidth - 450)));
    rtbHelp->update();
}
