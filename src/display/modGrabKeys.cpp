#include "modGrabKeys.h"

#include "Image.h"
#include "KeyboardLock.h"

#include <QFileInfo>

namespace modGrabKeys {

void SetNumLock(bool wanted, KeyboardLock &lock)
{
    if (!lock.available() || lock.numLockOn() == wanted)
        return;
    lock.setNumLock(wanted);
}

void SetNumLock(bool wanted)
{
    SetNumLock(wanted, KeyboardLock::system());
}

void FitPicture(Image *image, const TwipsWidget *container, const QString &path)
{
    // Hidden while it changes size: the operator never sees it at its own size.
    image->setVisibleFlag(false);
    image->setStretch(false);
    if (path.isEmpty()) {
        image->clearPicture();
    } else if (QFileInfo(path).isFile()) {
        if (!image->loadPictureFile(path))
            return;
        // Whole pictures of any size: a phone photo is taller than 16 bits
        // of twips allow.
        const double w = image->naturalSize().width();
        const double h = image->naturalSize().height();
        const double frameWidth = container->widthTwips();
        const double frameHeight = container->heightTwips();
        if (h / frameHeight > w / frameWidth) {
            image->setHeightTwips(frameHeight);
            image->setWidthTwips(image->heightTwips() * w / h);
        } else {
            image->setWidthTwips(frameWidth);
            image->setHeightTwips(image->widthTwips() * h / w);
        }
        image->setLeft((frameWidth - image->widthTwips()) / 2);
        image->setTop((frameHeight - image->heightTwips()) / 2);
        if (!image->decodeForDisplay())
            return;
    }
    image->setStretch(true);
    image->setVisibleFlag(true);
}

} // namespace modGrabKeys
