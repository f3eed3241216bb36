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
// resolution changes. The operator's board is never touched.
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
    void watch(QScreen *screen);

    QPointer<frmScoreboard> m_board;
    QString m_wanted;
    QPointer<AudienceBoard> m_audience;
    bool m_toldOneScreen = false;
};
