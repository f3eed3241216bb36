#pragma once

#include <QString>

class Image;
class KeyboardLock;
class TwipsWidget;

// Keyboard and picture helpers shared by the windows.
namespace modGrabKeys {

// Brings NumLock to the wanted state; does nothing when it is there already.
void SetNumLock(bool wanted, KeyboardLock &lock);
void SetNumLock(bool wanted);

// Shows the picture file in the image as large as fits the container
// without distortion, centred. A path naming no file keeps the earlier
// picture; an empty path empties the image; a file that is no picture
// leaves the image empty and hidden.
void FitPicture(Image *image, const TwipsWidget *container, const QString &path);

} // namespace modGrabKeys
