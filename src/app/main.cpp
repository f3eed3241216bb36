#include "BoutJournal.h"
#include "BoutRecord.h"
#include "CommandLine.h"
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
    BoutNames names;
    const auto rows = BoutJournal::latestBout(journalFolder(), &error, &names);
    if (!rows) {
        std::fprintf(stderr, "quelvane: cannot read the bout journal: %s\n", qPrintable(error));
        return 1;
    }
    const QByteArray csv = boutRecordCsv(*rows, names);
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

// Prints what is wrong with the command line; false when nothing is.
bool refused(const QString &mistake)
{
    if (mistake.isEmpty())
        return false;
    std::fprintf(stderr, "quelvane: %s\n", qPrintable(mistake));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Qt takes its own options (-platform ...) from anywhere; hide what
    // follows "--" from it, as that is no option.
    int qtArgc = argc;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            qtArgc = i;
            break;
        }
    }
    CommandLine::Given given;
    if (refused(CommandLine::takeOptions(args, given)))
        return 2;
    if (given.exportBout) {
        QCoreApplication app(qtArgc, argv);
        nameTheProgram();
        return exportBout(*given.exportBout);
    }

    QApplication app(qtArgc, argv);
    nameTheProgram();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Roller derby scoreboard run from the keyboard"));
    parser.addHelpOption();
    parser.addVersionOption();
    // Ours are read by CommandLine (their values may be left out or start
    // with "-"); the parser only lists them in the help.
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
    const QCommandLineOption audience(
        QStringLiteral("audience"),
        QStringLiteral("Show the board full-screen for the crowd on another screen as well: "
                       "[SCREEN] is its number (1 is the first) or name; without it, the first "
                       "screen the board is not on."));
    const QCommandLineOption fullScreen(
        QStringLiteral("fullscreen"),
        QStringLiteral("Open the board itself full-screen and borderless on [SCREEN] (its own "
                       "screen when not given)."));
    parser.addOptions({feed, feedDir, exportBout, audience, fullScreen});
    // Read again without Qt's own options, so that its parser sees only
    // --help, --version and what is unknown.
    args = app.arguments();
    if (refused(CommandLine::takeOptions(args, given)))
        return 2;
    parser.process(args);

    QSettingsBackend store;
    Program::Options options;
    options.journalFolder = journalFolder();
    options.feedAddress = given.feed.value_or(QString());
    options.feedFolder = given.feedDir.value_or(QString());
    options.audienceScreen = given.audience;
    options.fullScreen = given.fullScreen;
    Program program(store, options);
    program.start();
    return QApplication::exec();
}
