// Writes the program's icon, our logo on a 128 x 128 canvas, for the
// desktop entry.   make_icon <output.png>
#include "LogoPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImage icon(128, 128, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    const QImage logo = paintLogo();
    painter.drawImage((128 - logo.width()) / 2, (128 - logo.height()) / 2, logo);
    painter.end();
    return icon.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
