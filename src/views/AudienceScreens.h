#pragma once

#include "AudienceBoard.h"

#include <QObject>
#include <QPointer>
#include <QString>
class QScreen;
class frmScoreboard;

// Keeps the audience board on its screen while screens come and go: opened
// when its screen is there, closed quietly when it is unplugged, opened
// again when it (or another second screen) appears, refitted when its
// resolution changes. It never covers the operator's board: a screen that
// is the board's, or mirrors it, is no audience screen, and a board dragged
// onto the audience screen closes the audience board until they part. The
// operator's board is never touched.
class AudienceScreens : public QObject {
    Q_OBJECT

public:
    // `wanted`: a screen's number or name; empty for the first screen that
    // is not the board's.
    AudienceScreens(frmScoreboard *board, const QString &wanted);
    ~AudienceScreens() override;

    AudienceBoard *audience() const { return m_audience; }

private:
    void place();
    QScreen *chooseScreen() const;
    void watch(QScreen *screen);
    void tellOnce(QScreen *boardScreen);

    QPointer<frmScoreboard> m_board;
    QString m_wanted;
    // The screen the audience board was last put on, when it was chosen for
    // the operator.
    QString m_keptScreen;
    QPointer<AudienceBoard> m_audience;
    bool m_toldNoScreen = false;
};
