#include "CommandLine.h"

namespace CommandLine {

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

namespace {

std::optional<QString> take(QStringList &args, const QString &name, bool valueMayLookLikeOption)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return std::nullopt;
    QString value;
    if (at + 1 < args.size() && (valueMayLookLikeOption || !args[at + 1].startsWith(u'-'))) {
        value = args[at + 1];
        args.removeAt(at + 1);
    }
    args.removeAt(at);
    return value;
}

} // namespace

std::optional<QString> takeOptionalValue(QStringList &args, const QString &name)
{
    return take(args, name, false);
}

std::optional<QString> takeValue(QStringList &args, const QString &name)
{
    return take(args, name, true);
}

} // namespace CommandLine
