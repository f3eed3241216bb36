#pragma once

#include "BoutState.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <array>
#include <utility>

// What the board shows, as plain values for the live feed: texts exactly as
// the displays show them ("12:31", "59.4", "57", "" for a blank display),
// the colours, the digit style, and where everything sits as fractions of
// the board's window.
struct ShownBoard {
    struct Display {
        QString name;       // "tledJam", "nledHomeScore" ...
        QString cells;      // every position, blanks included: " 9:47"
        QString lit;        // #rrggbb
        bool clock = false; // a clock display, framed in the border colour
        QRectF place;       // fraction of the board
        bool operator==(const Display &) const = default;
    };
    struct Label {
        QString name;
        QString text;
        QString color;
        QRectF place;
        double fontHeight = 0; // the font's pixel size as a fraction of the board's height
        bool operator==(const Label &) const = default;
    };
    struct Frame {
        QString name;     // "Shape1" (round the period clock), "Shape3" (the outer frame)
        QString color;    // #rrggbb
        double width = 0; // the line's width as a fraction of the board's height
        QRectF place;
        bool operator==(const Frame &) const = default;
    };
    // A team's timeouts and review as dots (shown with the rules only).
    struct Dots {
        QString name;  // "dotsHomeTimeouts"
        QString team;  // "home", "visitor": its timeouts and reviews left are the team's
        int count = 0; // timeouts in a bout
        QString lit;   // #rrggbb
        QRectF place;
        bool operator==(const Dots &) const = default;
    };
    struct Picture {
        QString which; // "home", "visitor", "board"
        QString path;  // the file shown; empty for none
        QRectF place;
        bool operator==(const Picture &) const = default;
    };

    QString title, homeName, visitorName;
    QString homeScore, visitorScore, periodNumber;
    QString periodClock, jamClock;
    std::array<QString, 2> penaltiesHome, penaltiesVisitor;
    bool periodRunning = false, jamRunning = false, timeOfDay = false;
    // Today's rule sets, while the operator has them shown: the jam number
    // as shown, each team's timeouts and reviews left, and the caption.
    bool rulesShown = false;
    QString jamNumber;
    std::array<int, 2> timeoutsLeft = {0, 0}, reviewsLeft = {0, 0};
    QString status;
    // The bout run by the clock, while it is on: the phase ("" while off),
    // its clocks as shown ("" while another phase's), each team's lead and
    // the points of the jam.
    QString phase;
    QString lineupClock, timeoutClock, intermissionClock;
    std::array<bool, 2> lead = {false, false};
    std::array<int, 2> jamPoints = {0, 0};
    QList<std::pair<QString, QString>> colors; // setting name, #rrggbb
    QString ledType;                           // "Lines" or "Dots"
    double aspect = 1;                         // the board's width over its height
    QList<Display> displays;
    QList<Label> labels;
    QList<Frame> frames;
    QList<Dots> dots;
    QList<Picture> pictures;
    // The bout at this moment; it moves with every tick of a running clock,
    // so it is not part of what counts as a change.
    BoutState bout;

    // Whether another shows the same, the bout's own moment aside.
    bool sameShown(const ShownBoard &other) const;
    // The feed's JSON: docs/live-feed.md.
    QJsonObject toJsonObject(quint64 seq) const;
    QByteArray toJson(quint64 seq) const;
};
