#pragma once

#include <QObject>
#include <QRect>
#include <optional>

// What the window system says of its screens right now. Qt learns of a
// screen plugged in or out, but on X11 (with RandR 1.5 monitors) not always
// of a screen whose resolution changed; this asks the server itself.
class ScreenWatch : public QObject {
    Q_OBJECT

public:
    explicit ScreenWatch(QObject *parent = nullptr);
    ~ScreenWatch() override;

    // Where the screen with this name (an output, as xrandr shows it) lies
    // now; nothing where the window system cannot tell.
    static std::optional<QRect> geometryOf(const QString &name);

Q_SIGNALS:
    // The server changed a screen's mode, place or connection.
    void screensChanged();

private:
    class Filter;
    std::unique_ptr<Filter> m_filter;
};
