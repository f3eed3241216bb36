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
#include <optional>

using namespace Qt::StringLiterals;

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

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    args = CommandLine::withValuesApart(args);
    if (const std::optional<QString> target = CommandLine::takeValue(args, u"--export-bout"_s)) {
        QCoreApplication app(argc, argv);
        nameTheProgram();
        if (target->isEmpty()) {
            std::fprintf(stderr, "quelvane: --export-bout needs a file name, or -\n");
            return 2;
        }
        return exportBout(*target);
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
    // Shown in the help; taken out before parsing, as their screen is optional.
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
    args = CommandLine::withValuesApart(app.arguments());
    const std::optional<QString> audienceScreen =
        CommandLine::takeOptionalValue(args, u"--audience"_s);
    const std::optional<QString> fullScreenScreen =
        CommandLine::takeOptionalValue(args, u"--fullscreen"_s);
    parser.process(args);

    QSettingsBackend store;
    Program::Options options;
    options.journalFolder = journalFolder();
    options.feedAddress = parser.value(feed);
    options.feedFolder = parser.value(feedDir);
    options.audienceScreen = audienceScreen;
    options.fullScreen = fullScreenScreen;
    Program program(store, options);
    program.start();
    return QApplication::exec();
}
