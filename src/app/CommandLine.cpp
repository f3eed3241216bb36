#include "CommandLine.h"

namespace CommandLine {

namespace {

// "--name=value" as the two arguments "--name" "value", so that every
// option takes its value in either form.
QStringList withValuesApart(const QStringList &args)
{
    QStringList apart;
    apart.reserve(args.size());
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const qsizetype equals = arg.indexOf(u'=');
        // The program's own name stays whole, and so does everything after
        // "--", which ends the options.
        if (i == 0 || !arg.startsWith(u"--") || equals < 0) {
            apart << arg;
            if (arg == u"--") {
                apart << args.mid(i + 1);
                break;
            }
            continue;
        }
        apart << arg.left(equals) << arg.mid(equals + 1);
    }
    return apart;
}

struct Option {
    QString name;
    std::optional<QString> Given::*value;
    // What to say when the value is missing; none for a screen, which may be left out.
    const char *needs;
};

} // namespace

QString takeOptions(QStringList &args, Given &given)
{
    const Option options[] = {
        {QStringLiteral("--export-bout"), &Given::exportBout, "a file name, or -"},
        {QStringLiteral("--feed"), &Given::feed, "a port, or an address and a port"},
        {QStringLiteral("--feed-dir"), &Given::feedDir, "a folder"},
        {QStringLiteral("--audience"), &Given::audience, nullptr},
        {QStringLiteral("--fullscreen"), &Given::fullScreen, nullptr},
    };
    given = {};
    args = withValuesApart(args);
    qsizetype i = 1;
    while (i < args.size() && args[i] != u"--") {
        const Option *option = nullptr;
        for (const Option &o : options)
            if (args[i] == o.name)
                option = &o;
        if (!option) {
            ++i;
            continue;
        }
        std::optional<QString> &value = given.*option->value;
        // One rule for every option: a second one is a mistake, not an
        // override, as either could be the one meant.
        if (value)
            return option->name + QStringLiteral(" is given more than once");
        args.removeAt(i);
        value = QString();
        if (i < args.size() && args[i] != u"--" && (option->needs || !args[i].startsWith(u'-')))
            *value = args.takeAt(i);
        if (option->needs && value->isEmpty())
            return option->name + QStringLiteral(" needs ") + QLatin1StringView(option->needs);
    }
    return QString();
}

} // namespace CommandLine
