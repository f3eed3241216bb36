// The "Bout" page: the jam number, timeouts and official reviews, off unless
// the operator turns them on, and their keys.
#include "frmOptions.h"

#include "ChooseKeyShared.h"
#include "frmChooseKey.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The keys' rows, in the record's key order: the caption and the chooser's
// phrase. The last three belong to the bout run by the clock.
constexpr std::pair<const char *, const char *> RulesKeyRows[] = {
    {"Home team timeout:", "take a home team timeout"},
    {"Visitor team timeout:", "take a visitor team timeout"},
    {"Official timeout:", "call an official timeout"},
    {"Home official review:", "take a home official review"},
    {"Visitor official review:", "take a visitor official review"},
    {"Review retained:", "give the last review back to its team"},
    {"Home lead jammer:", "mark the home jammer lead"},
    {"Visitor lead jammer:", "mark the visitor jammer lead"},
    {"Final score:", "confirm the final score"},
};
static_assert(std::size(RulesKeyRows) == BoutRulesRecord::AllKeyCount);

} // namespace

QWidget *frmOptions::createBoutPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    chkShowBoutRules = new QCheckBox(QStringLiteral("Show jam number, timeouts and reviews"));
    chkShowBoutRules->setObjectName(QStringLiteral("chkShowBoutRules"));
    column->addWidget(chkShowBoutRules);
    // The second box needs the first: it sits right under it.
    chkRunByClock = new QCheckBox(
        QStringLiteral("Run the bout by the clock: lineup, timeouts, halftime, final score"));
    chkRunByClock->setObjectName(QStringLiteral("chkRunByClock"));
    column->addWidget(chkRunByClock);

    const auto spinner = [](const char *name, int min, int max) {
        auto *box = new QSpinBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(min, max);
        return box;
    };
    auto *counts = new QGroupBox(QStringLiteral("Each team has:"));
    auto *form = new QFormLayout(counts);
    spnTeamTimeouts = spinner("spnTeamTimeouts", 0, BoutRulesRecord::MaxCount);
    spnTeamReviews = spinner("spnTeamReviews", 0, BoutRulesRecord::MaxCount);
    form->addRow(QStringLiteral("Team timeouts per bout:"), spnTeamTimeouts);
    form->addRow(QStringLiteral("Official reviews per period:"), spnTeamReviews);
    auto *byClock = new QGroupBox(QStringLiteral("By the clock:"));
    fraRunByClock = byClock;
    auto *clockForm = new QFormLayout(byClock);
    spnPeriods = spinner("spnPeriods", 1, BoutRulesRecord::MaxPeriods);
    spnIntermissionSeconds =
        spinner("spnIntermissionSeconds", 0, BoutRulesRecord::MaxIntermissionSeconds);
    clockForm->addRow(QStringLiteral("Periods per bout:"), spnPeriods);
    clockForm->addRow(QStringLiteral("Halftime (seconds):"), spnIntermissionSeconds);
    auto *groups = new QHBoxLayout;
    groups->addWidget(counts);
    groups->addWidget(byClock);
    column->addLayout(groups);

    // Two columns of keys: the page has room for five rows.
    auto *keys = new QGroupBox(QStringLiteral("Keys:"));
    auto *grid = new QGridLayout(keys);
    constexpr int Rows = (BoutRulesRecord::AllKeyCount + 1) / 2;
    for (int i = 0; i < BoutRulesRecord::AllKeyCount; ++i) {
        auto *button = new QPushButton(QStringLiteral("Select Key"));
        button->setObjectName(QStringLiteral("cmdRulesKey%1").arg(i));
        auto *shown = new QLabel;
        shown->setObjectName(QStringLiteral("lblRulesKey%1").arg(i));
        shown->setFrameShape(QFrame::StyledPanel);
        shown->setAlignment(Qt::AlignCenter);
        shown->setMinimumWidth(40);
        const int row = i % Rows;
        const int at = i / Rows * 3;
        grid->addWidget(new QLabel(QString::fromLatin1(RulesKeyRows[i].first)), row, at);
        grid->addWidget(button, row, at + 1);
        grid->addWidget(shown, row, at + 2);
        cmdRulesKeys[size_t(i)] = button;
        lblRulesKeys[size_t(i)] = shown;
        connect(button, &QPushButton::clicked, this, [this, i] { chooseRulesKey(i); });
    }
    column->addWidget(keys);
    column->addStretch(1);
    connect(chkShowBoutRules, &QCheckBox::toggled, this, &frmOptions::showBoutRulesChanged);
    connect(chkShowBoutRules, &QCheckBox::toggled, this, &frmOptions::enableRunByClock);
    connect(chkRunByClock, &QCheckBox::toggled, this, [this](bool on) {
        enableRunByClock();
        if (on)
            showBoutRulesChanged(true);
    });
    return page;
}

void frmOptions::loadBoutPage()
{
    BoutRulesTemp = BoutRules;
    chkShowBoutRules->setChecked(BoutRulesTemp.Show != 0);
    spnTeamTimeouts->setValue(BoutRulesTemp.TeamTimeouts);
    spnTeamReviews->setValue(BoutRulesTemp.TeamReviews);
    chkRunByClock->setChecked(BoutRulesTemp.RunByClock != 0);
    spnPeriods->setValue(BoutRulesTemp.Periods);
    spnIntermissionSeconds->setValue(BoutRulesTemp.IntermissionSeconds);
    for (int i = 0; i < BoutRulesRecord::AllKeyCount; ++i)
        lblRulesKeys[size_t(i)]->setText(KeyCodeToStr(BoutRulesTemp.key(i)));
    enableRunByClock();
}

void frmOptions::enableRunByClock()
{
    chkRunByClock->setEnabled(chkShowBoutRules->isChecked());
    const bool on = chkShowBoutRules->isChecked() && chkRunByClock->isChecked();
    fraRunByClock->setEnabled(on);
    for (int i = BoutRulesRecord::KeyCount; i < BoutRulesRecord::AllKeyCount; ++i)
        cmdRulesKeys[size_t(i)]->setEnabled(on);
}

namespace {

// How many of the rules' keys act with the page as it is.
int keysActing(const QCheckBox *show, const QCheckBox *runByClock)
{
    if (!show->isChecked())
        return 0;
    return runByClock->isChecked() ? BoutRulesRecord::AllKeyCount : BoutRulesRecord::KeyCount;
}

} // namespace

QList<std::int16_t> frmOptions::keysInUse() const
{
    const std::array<std::int16_t, 10> ten = pendingKeys();
    QList<std::int16_t> keys(ten.begin(), ten.end());
    for (int i = 0; i < keysActing(chkShowBoutRules, chkRunByClock); ++i)
        keys << BoutRulesTemp.key(i);
    return keys;
}

void frmOptions::showBoutRulesChanged(bool show)
{
    if (!show)
        return;
    // A key that another command has taken meanwhile is left unset, to be
    // chosen again: no key does two things.
    const std::array<std::int16_t, 10> ten = pendingKeys();
    for (int i = 0; i < keysActing(chkShowBoutRules, chkRunByClock); ++i) {
        if (std::find(ten.begin(), ten.end(), BoutRulesTemp.key(i)) != ten.end()) {
            BoutRulesTemp.key(i) = 0;
            lblRulesKeys[size_t(i)]->setText(QString());
        }
    }
}

void frmOptions::chooseRulesKey(int index)
{
    ChooseKeyAction = QString::fromLatin1(RulesKeyRows[index].second);
    ChooseKeyCurrent = BoutRulesTemp.key(index);
    QList<std::int16_t> taken = keysInUse();
    for (int i = keysActing(chkShowBoutRules, chkRunByClock); i < BoutRulesRecord::AllKeyCount; ++i)
        taken << BoutRulesTemp.key(i);
    {
        frmChooseKey capture(taken, this);
        // Ctrl alone as a rules key would take a timeout with every undo.
        capture.setModifiersRefused(true);
        capture.exec();
    }
    const int code = ChooseKeyResult.toInt();
    if (code != 0) {
        BoutRulesTemp.key(index) = std::int16_t(code);
        lblRulesKeys[size_t(index)]->setText(KeyCodeToStr(code));
    }
    cmdOk->setFocus();
}
