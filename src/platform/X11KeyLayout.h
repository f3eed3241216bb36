#pragma once

#include <optional>

// The main block's symbol keys as the active X keyboard layout labels them.
// A key that gives "+" or "=" is the plus key (187) on any layout, "-" or "_"
// the minus key (189), "." the full stop (190) and "," the comma (188); the
// other punctuation codes go by their characters where the layout has them,
// and otherwise by where the key sits. The layout is read afresh on every
// call, so a layout switched while the program runs is followed at once.
namespace X11KeyLayout {

// The code of the key with this X key code; nothing for a key that is not a
// letter, digit or symbol key of the main block (those go by Qt's key), or
// when there is no X server.
std::optional<int> codeOf(unsigned keycode);

} // namespace X11KeyLayout
