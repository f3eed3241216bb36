// The baseline for the CPU share: an idle Qt window, maximised.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Idle"));
    window.showMaximized();
    return QApplication::exec();
}
