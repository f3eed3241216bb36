#pragma once

class QWidget;

// Places a window that is about to open centred on the window that opens it,
// kept inside the screen that window is on (its work area, less panels).
void placeCentredOn(QWidget *window, const QWidget *opener);
