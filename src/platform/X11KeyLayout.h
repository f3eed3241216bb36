#pragma once

#include <optional>

// The main block's symbol keys as the active X keyboard layout labels them.
// A key that gives "+" or "=" is the plus key (187) on any layout, "-" or "_"
// the minus key (189), "." the full stop (190) and "," the comma (188); the
// other punctuation codes go by their characters where the layout has them,
// and otherwise by where the key sits. The layout is read from the server
// once and again only when the server says the keyboard, its layout or its
// group changed, so a layout switched while the program runs is followed at
// once and a key costs no round trip to the server.
namespace X11KeyLayout {

// The code of the key with this X key code; nothing for a key that is not a
// letter, digit or symbol key of the main block (those go by Qt's key), or
// when there is no X server.
std::optional<int> codeOf(unsigned keycode);

// How often the layout has been read from the server; for tests and
// benchmarks.
int reads();
// Reads the layout again at the next key, as every key did once; for
// benchmarks.
void forget();

} // namespace X11KeyLayout
