#pragma once

#include <QStringList>
#include <optional>

// The program's arguments, before Qt's parser sees them.
namespace CommandLine {

// "--name=value" as the two arguments "--name" "value", so that every
// option takes its value in either form.
QStringList withValuesApart(const QStringList &args);

// Takes "--name [VALUE]" out of the arguments: the option's value ("" when
// none follows), or nothing when the option is not there. A value is the
// next argument unless that is another option.
std::optional<QString> takeOptionalValue(QStringList &args, const QString &name);

// Takes "--name VALUE" out: the next argument, whatever it is ("-" names
// standard output); "" when none follows, nothing when the option is not
// there.
std::optional<QString> takeValue(QStringList &args, const QString &name);

} // namespace CommandLine
