#pragma once

#include <QStringList>
#include <optional>

// The program's arguments, before Qt's parser sees them.
namespace CommandLine {

// The program's own options as given; each one absent when not given.
struct Given {
    std::optional<QString> exportBout; // a file name, or "-" for standard output
    std::optional<QString> feed;       // [ADDRESS:]PORT
    std::optional<QString> feedDir;    // a folder
    std::optional<QString> audience;   // a screen, or "" for the first other one
    std::optional<QString> fullScreen; // a screen, or "" for the board's own
};

// Reads the program's own options out of `args` (the program's name first),
// in either form, and leaves the rest (--help, --version, anything unknown
// and all after "--") for Qt's parser. A screen is the next argument unless
// that is another option; a file, folder or address is the next argument
// whatever it is, but never the "--" that ends the options. An option
// given twice, or without the value it needs, is refused: the message for
// the user, or "" when the options are good.
QString takeOptions(QStringList &args, Given &given);

} // namespace CommandLine
