#pragma once

#include "Form.h"

#include <functional>

class Frame;
class Image;
class Label;
class PictureBox;
class QPushButton;
class SettingsBackend;

// What the splash's clicks open; an empty action does nothing.
struct SplashActions {
    // Creates and shows the scoreboard window.
    std::function<void()> openScoreboard;
    // Shows the help window without waiting.
    std::function<void()> openHelp;
    // Shows the Options dialog and returns when it has closed.
    std::function<void(QWidget *parent)> openOptions;
};

// The start-up window: name, version and maker, two hints, Help and Options.
// A click anywhere else gives way to the scoreboard.
class frmSplash : public Form {
    Q_OBJECT

public:
    // Where a top edge the load step puts the splash on a screen this high
    // (all in twips): 1320 twips above the exact centre.
    static double topFor(double screenHeight) { return (screenHeight - 5880) / 2; }

    frmSplash(SettingsBackend &store, SplashActions actions, QWidget *parent = nullptr);

    void GoScore();

    Frame *frameSplash;
    PictureBox *picLogo;
    Image *imgLogo;
    Label *lblName;
    Label *lblMadeBy;
    Label *lblClick;
    Label *lblVersion;
    Label *Label1;
    Label *Label2;
    QPushButton *cmdHelp;
    QPushButton *cmdOptions;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void createControls();
    void Form_Load();
    void cmdHelp_Click();
    void cmdOptions_Click();

    SettingsBackend &m_store;
    SplashActions m_actions;
    bool m_unloaded = false;
};
