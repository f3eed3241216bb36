#include "Program.h"
#include "QSettingsBackend.h"

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
    Program program(store);
    program.start();
    return QApplication::exec();
}
