#include "QSettingsBackend.h"
#include "frmScoreboard.h"
#include "frmSplash.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quelvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(QUELVANE_VERSION_MAJOR)
                                            .arg(QUELVANE_VERSION_MINOR)
                                            .arg(QUELVANE_VERSION_PATCH));

    QSettingsBackend store;
    auto *splash = new frmSplash(store, [] {
        auto *board = new frmScoreboard();
        board->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(board, &frmScoreboard::programEnded, qApp, &QCoreApplication::quit);
        board->show();
    });
    splash->show();
    return QApplication::exec();
}
