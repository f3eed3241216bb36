// The baselines for the CPU share: a maximised Qt window, idle, or with an
// empty 50 ms timer (the floor for a board that must refresh every 50 ms):
//   idle_window [--timer]
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Idle"));
    window.showMaximized();
    QTimer timer;
    if (QApplication::arguments().contains(QStringLiteral("--timer"))) {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [] {});
        timer.start(50);
    }
    return QApplication::exec();
}
