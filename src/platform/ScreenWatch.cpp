#include "ScreenWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>

#if defined(QUELVANE_HAVE_X11)
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <xcb/xcb.h>
#endif

namespace {

#if defined(QUELVANE_HAVE_X11)
Display *display()
{
    if (!qGuiApp || QGuiApplication::platformName() != u"xcb")
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}
#endif

} // namespace

// Passes on the server's RandR notices; the events go on to Qt unchanged.
class ScreenWatch::Filter : public QAbstractNativeEventFilter {
public:
    explicit Filter(ScreenWatch *watch) : m_watch(watch)
    {
#if defined(QUELVANE_HAVE_X11)
        if (Display *d = display()) {
            int errorBase = 0;
            if (XRRQueryExtension(d, &m_eventBase, &errorBase)) {
                XRRSelectInput(d, DefaultRootWindow(d),
                               RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask |
                                   RROutputChangeNotifyMask);
                XFlush(d);
            } else {
                m_eventBase = -1;
            }
        }
#endif
    }
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
#if defined(QUELVANE_HAVE_X11)
        if (m_eventBase >= 0 && type == "xcb_generic_event_t") {
            const int kind = static_cast<xcb_generic_event_t *>(message)->response_type & 0x7f;
            if (kind == m_eventBase + RRScreenChangeNotify || kind == m_eventBase + RRNotify)
                QMetaObject::invokeMethod(m_watch, &ScreenWatch::screensChanged,
                                          Qt::QueuedConnection);
        }
#else
        Q_UNUSED(type);
        Q_UNUSED(message);
#endif
        return false;
    }

private:
    ScreenWatch *m_watch;
    int m_eventBase = -1;
};

ScreenWatch::ScreenWatch(QObject *parent)
    : QObject(parent), m_filter(std::make_unique<Filter>(this))
{
    QCoreApplication::instance()->installNativeEventFilter(m_filter.get());
}

ScreenWatch::~ScreenWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_filter.get());
}

std::optional<QRect> ScreenWatch::geometryOf(const QString &name)
{
#if defined(QUELVANE_HAVE_X11)
    Display *d = display();
    if (!d)
        return std::nullopt;
    XRRScreenResources *resources = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
    if (!resources)
        return std::nullopt;
    std::optional<QRect> found;
    const QByteArray wanted = name.toLocal8Bit();
    for (int i = 0; i < resources->noutput && !found; ++i) {
        XRROutputInfo *output = XRRGetOutputInfo(d, resources, resources->outputs[i]);
        if (output && output->crtc && wanted == QByteArray(output->name, output->nameLen)) {
            if (XRRCrtcInfo *crtc = XRRGetCrtcInfo(d, resources, output->crtc)) {
                found = QRect(crtc->x, crtc->y, int(crtc->width), int(crtc->height));
                XRRFreeCrtcInfo(crtc);
            }
        }
        if (output)
            XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return found;
#else
    Q_UNUSED(name);
    return std::nullopt;
#endif
}
