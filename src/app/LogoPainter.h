#pragma once

#include <QImage>

// The program's logo, 127 x 125 pixels, drawn here rather than kept as a
// file: a skate wheel around an LED "Q" on a dark badge.
QImage paintLogo();
