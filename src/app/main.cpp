#include "BoutJournal.h"
#include "BoutRecord.h"
#include "Program.h"
#include "QSettingsBackend.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quelvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(QUELVANE_VERSION_MAJOR)
                                                .arg(QUELVANE_VERSION_MINOR)
                                                .arg(QUELVANE_VERSION_PATCH));
}

QString journalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// --export-bout FILE (or -): the most recent bout's record, no window.
int exportBout(const QString &target)
{
    QString error;
    const auto rows = BoutJournal::latestBout(journalFolder(), &error);
    if (!rows) {
        std::fprintf(stderr, "quelvane: cannot read the bout journal: %s\n", qPrintable(error));
        return 1;
    }
    const QByteArray csv = boutRecordCsv(*rows);
    QFile out;
    const bool opened = target == u"-" ? out.open(stdout, QIODevice::WriteOnly)
                                       : (out.setFileName(target), out.open(QIODevice::WriteOnly));
    if (!opened || out.write(csv) != csv.size() || !out.flush()) {
        std::fprintf(stderr, "quelvane: cannot write %s: %s\n", qPrintable(target),
                     qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--export-bout") == 0) {
            QCoreApplication app(argc, argv);
            nameTheProgram();
            if (i + 1 >= argc) {
                std::fprintf(stderr, "quelvane: --export-bout needs a file name, or -\n");
                return 2;
            }
            return exportBout(QString::fromLocal8Bit(argv[i + 1]));
        }
    }

    QApplication app(argc, argv);
    nameTheProgram();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Roller derby scoreboard run from the keyboard"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption feed(
        QStringLiteral("feed"),
        QStringLiteral("Serve the live feed (browser board, overlay, JSON, WebSocket) at PORT "
                       "on this machine, or at ADDRESS:PORT (0.0.0.0:8750 for every network)."),
        QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption feedDir(
        QStringLiteral("feed-dir"),
        QStringLiteral("Write the scores, names and clocks as text files into FOLDER."),
        QStringLiteral("FOLDER"));
    const QCommandLineOption exportBout(
        QStringLiteral("export-bout"),
        QStringLiteral("Write the latest bout's record as CSV to FILE (- for standard output) and "
                       "exit."),
        QStringLiteral("FILE"));
    parser.addOptions({feed, feedDir, exportBout});
    parser.process(app);

    QSettingsBackend store;
    Program::Options options;
    options.journalFolder = journalFolder();
    options.feedAddress = parser.value(feed);
    options.feedFolder = parser.value(feedDir);
    Program program(store, options);
    program.start();
    return QApplication::exec();
}
