#pragma once

#include "Form.h"
#include "Settings.h"
#include "modStretch.h"

#include <QHash>
#include <QPointer>

class Digmar;
class Image;
class Pinlux;
class TwipsWidget;
class frmScoreboard;

// The board as the crowd sees it on the projector: a second view of what the
// operator's board shows, never a second game. It has no time-keepers, no
// timer and takes no keys; it copies the board's displays after every tick
// and key of the board (the same refresh), the board's look once the board
// has applied it, and lays itself out with the board's own proportional
// scaling at its own size.
class AudienceBoard : public Form {
    Q_OBJECT

public:
    explicit AudienceBoard(frmScoreboard *board, QWidget *parent = nullptr);

    // The copy of one of the board's controls, by name; null for none.
    QObject *control(const QString &name) const { return m_byName.value(name); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Layout {
        QVector<modStretch::ControlLayout> table;
        std::int32_t designWidth = 0;
        std::int32_t designHeight = 0;
    };
    // Runs a layout procedure on this window's own recorded layout; the
    // board's stays as it was.
    template <typename F> void withOwnLayout(F &&procedure);

    void copyControls();
    void copyNewControls();
    // What changes tick by tick: the displays' values.
    void copyValues();
    // What changes with the Options: colours, texts, digit style, pictures.
    void copyAppearance();
    void fitPictures();

    QPointer<frmScoreboard> m_board;
    QList<std::pair<QObject *, QObject *>> m_pairs; // board's control, its copy
    QList<std::pair<Pinlux *, Pinlux *>> m_clocks;
    QList<std::pair<Digmar *, Digmar *>> m_numbers;
    QList<std::pair<QObject *, QObject *>> m_followed; // copied with the values too
    QHash<QString, QObject *> m_byName;
    Layout m_layout;
};
