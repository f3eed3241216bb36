#include "frmSplash.h"

#include "BoutRules.h"
#include "Frame.h"
#include "Image.h"
#include "Label.h"
#include "LogoPainter.h"
#include "PictureBox.h"
#include "ProgramFolder.h"
#include "SettingsStore.h"
#include "Twips.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

frmSplash::frmSplash(SettingsBackend &store, SplashActions actions, QWidget *parent)
    : Form(parent), m_store(store), m_actions(std::move(actions))
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Quelvane"));
    setFixedWidth(Twips::toPixels(6240));
    createControls();
    Form_Load();
}

void frmSplash::createControls()
{
    frameSplash = addControl(new Frame(this), "frameSplash");
    frameSplash->setTwipsGeometry(120, 0, 6000, 3120);
    connect(frameSplash, &Frame::Click, this, &frmSplash::GoScore);

    picLogo = addControl(new PictureBox(frameSplash), "picLogo");
    picLogo->setTwipsGeometry(300, 960, 1905, 1875);
    picLogo->setBackColor(0xFFFFFF);
    imgLogo = addControl(new Image(picLogo), "imgLogo");
    imgLogo->setStretch(true);
    imgLogo->setTwipsGeometry(0, 0, 1905, 1875);
    imgLogo->setPicture(QPixmap::fromImage(paintLogo()));
    connect(picLogo, &PictureBox::Click, this, &frmSplash::GoScore);

    auto label = [this](const char *name, double left, double top, double width, double height,
                        const QString &caption, Label::Align align) {
        auto *l = addControl(new Label(frameSplash), name);
        l->setTwipsGeometry(left, top, width, height);
        l->setCaption(caption);
        l->setAlignment(align);
        l->setForeColor(0x000000);
        l->setFontFamily(QStringLiteral("Arial Narrow"), false);
        connect(l, &Label::Click, this, &frmSplash::GoScore);
        return l;
    };
    lblName =
        label("lblName", 120, 240, 5775, 735, QStringLiteral("Quelvane"), Label::Align::Center);
    lblName->setFontFamily(QStringLiteral("Times New Roman"), false);
    lblName->setFontSize(21.75);
    lblMadeBy = label("lblMadeBy", 4200, 840, 1575, 255, QStringLiteral("by Brackwell"),
                      Label::Align::Right);
    lblClick = label("lblClick", 2520, 1080, 1335, 255, QStringLiteral("Click to continue."),
                     Label::Align::Left);
    lblVersion = label("lblVersion", 3600, 1080, 2175, 375, QStringLiteral("Version 1.0.0"),
                       Label::Align::Right);
    lblVersion->setFontFamily(QStringLiteral("Times New Roman"), false);
    lblVersion->setFontSize(15.75);
    Label1 =
        label("Label1", 2640, 1680, 3255, 255,
              QStringLiteral("Press ' F1 ' to view Help from the scoreboard."), Label::Align::Left);
    Label2 = label("Label2", 2640, 1920, 3255, 375,
                   QStringLiteral("Press ' F2 ' to set Options from the scoreboard."),
                   Label::Align::Left);

    auto button = [this](const char *name, double left, double top, const QString &caption) {
        auto *b = new QPushButton(caption, frameSplash);
        b->setObjectName(QString::fromLatin1(name));
        Twips::place(b, left, top, 1215, 375);
        // Enter presses a focused button, as in a dialog; outside one a
        // push button would take only Space.
        b->setAutoDefault(true);
        return b;
    };
    cmdHelp = button("cmdHelp", 3120, 2520, QStringLiteral("&Help"));
    cmdOptions = button("cmdOptions", 4560, 2520, QStringLiteral("&Options"));
    connect(cmdHelp, &QPushButton::clicked, this, &frmSplash::cmdHelp_Click);
    connect(cmdOptions, &QPushButton::clicked, this, &frmSplash::cmdOptions_Click);
}

void frmSplash::cmdHelp_Click()
{
    if (m_actions.openHelp)
        m_actions.openHelp();
}

void frmSplash::cmdOptions_Click()
{
    if (m_actions.openOptions)
        m_actions.openOptions(this);
}

void frmSplash::Form_Load()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const double screenWidth = Twips::fromPixels(screen.width());
    const double screenHeight = Twips::fromPixels(screen.height());
    const double windowWidth = Twips::fromPixels(width());
    setFixedHeight(Twips::toPixels(3240));
    move(screen.left() + Twips::toPixels((screenWidth - windowWidth) / 2),
         screen.top() + Twips::toPixels(topFor(screenHeight)));
    frameSplash->setHeightTwips(3120);
    lblVersion->setCaption(QStringLiteral("Version %1.%2.%3")
                               .arg(QUELVANE_VERSION_MAJOR)
                               .arg(QUELVANE_VERSION_MINOR)
                               .arg(QUELVANE_VERSION_PATCH));
    Settings = SettingsStore::load(m_store, programFolder());
    BoutRules = BoutRulesStore::load(m_store);
}

void frmSplash::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        GoScore();
}

void frmSplash::GoScore()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Hidden rather than closed first, so that the program does not take the
    // moment without a window for its end.
    hide();
    deleteLater();
    if (m_actions.openScoreboard)
        m_actions.openScoreboard();
}
