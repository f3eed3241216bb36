#pragma once

#include "Form.h"

#include <QTimer>

class Digmar;
class Image;
class Label;
class MonotonicClock;
class PictureBox;
class Pinlux;
class Shape;
class Tarrow;

// The board that players and spectators watch. Its member definitions are
// split over files by concern: this one builds the design layout.
class frmScoreboard : public Form {
    Q_OBJECT

public:
    // The design client area, in twips.
    static constexpr double DesignWidth = 9480;
    static constexpr double DesignHeight = 6795;

    // clock drives the time-keepers; the steady system clock when null.
    explicit frmScoreboard(MonotonicClock *clock = nullptr, QWidget *parent = nullptr);
    ~frmScoreboard() override;

    void RefreshTime();
    void UpdateLabels();

    // Displays, in tab order.
    Digmar *nledHomeScore;
    Pinlux *tledPeriod;
    Digmar *nledVisitorScore;
    Digmar *nledPeriod;
    Pinlux *tledJam;
    Pinlux *tledHomePenalty1;
    Pinlux *tledVisitorPenalty1;
    Pinlux *tledHomePenalty2;
    Pinlux *tledVisitorPenalty2;

    Label *lblTitle;
    Label *lblHomeTeam;
    Label *lblVisitorTeam;
    Label *Label4;
    Label *Label1;
    Label *Label2;
    Label *Label3;
    Label *lblCreatedBy;

    PictureBox *picHomePicContainer;
    Image *imgHomePic;
    PictureBox *picVisitorPicContainer;
    Image *imgVisitorPic;
    PictureBox *picBoardPicContainer;
    Image *imgBoardPic;

    Shape *Shape1;
    Shape *Shape3;
    Shape *shpObjectSelected;

    Tarrow *tkPeriod;
    Tarrow *tkJam;
    Tarrow *tkHomePenalty1;
    Tarrow *tkHomePenalty2;
    Tarrow *tkVisitorPenalty1;
    Tarrow *tkVisitorPenalty2;

    QTimer tmrClock1;

Q_SIGNALS:
    // The board was closed: the program ends.
    void programEnded();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createDisplays();
    void createLabels();
    void createPictures();
    void createShapes();
    void createKeepers(MonotonicClock *clock);

    void Form_Load();
    void Form_Unload();
    void tmrClock1_Timer();

    // One penalty clock with its keeper, for the refresh.
    struct PenaltyClock {
        Pinlux *display;
        Tarrow *keeper;
    };
    std::array<PenaltyClock, 4> penaltyClocks() const;

    bool m_loaded = false;
};
