#pragma once

#include "ShownBoard.h"

class frmScoreboard;

// What the board shows, read off its displays, labels and pictures, for
// the live feed.
namespace BoardReading {

ShownBoard shownBoard(const frmScoreboard &board);

} // namespace BoardReading
