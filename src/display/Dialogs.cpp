#include "Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

Dialogs *installed = nullptr;

// "Sounds *.wav|*.wav" becomes "Sounds *.wav (*.wav)".
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    if (parts.size() != 2)
        return filter;
    QString patterns = parts[1];
    patterns.replace(u';', u' ');
    return parts[0] + QStringLiteral(" (") + patterns + u')';
}

} // namespace

std::optional<QColor> Dialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

std::optional<QString> Dialogs::chooseOpenFile(QWidget *parent, const QString &filter)
{
    const QString file =
        QFileDialog::getOpenFileName(parent, QString(), QString(), qtFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(file);
}

bool Dialogs::askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

std::optional<bool> Dialogs::askYesNoOrLater(QWidget *parent, const QString &title,
                                             const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    // Escape and the close box would take No, the one button without a
    // role; they press this hidden one instead.
    QPushButton *later = box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    later->hide();
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == later)
        return std::nullopt;
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void Dialogs::warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

void Dialogs::beep()
{
    QApplication::beep();
}

Dialogs &Dialogs::current()
{
    static Dialogs standard;
    return installed ? *installed : standard;
}

void Dialogs::setCurrent(Dialogs *dialogs)
{
    installed = dialogs;
}
