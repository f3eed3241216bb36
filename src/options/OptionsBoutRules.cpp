// The "Bout" page: the jam number, timeouts and official reviews, off unless
// the operator turns them on, and their keys.
#include "frmOptions.h"

#include "ChooseKeyShared.h"
#include "frmChooseKey.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The six keys' rows, in the record's key order: the caption and the
// chooser's phrase.
constexpr std::pair<const char *, const char *> RulesKeyRows[] = {
    {"Home team timeout:", "take a home team timeout"},
    {"Visitor team timeout:", "take a visitor team timeout"},
    {"Official timeout:", "call an official timeout"},
    {"Home official review:", "take a home official review"},
    {"Visitor official review:", "take a visitor official review"},
    {"Review retained:", "give the last review back to its team"},
};
static_assert(std::size(RulesKeyRows) == BoutRulesRecord::KeyCount);

} // namespace

QWidget *frmOptions::createBoutPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    chkShowBoutRules = new QCheckBox(QStringLiteral("Show jam number, timeouts and reviews"));
    chkShowBoutRules->setObjectName(QStringLiteral("chkShowBoutRules"));
    column->addWidget(chkShowBoutRules);

    auto *counts = new QGroupBox(QStringLiteral("Each team has:"));
    auto *form = new QFormLayout(counts);
    const auto count = [](const char *name) {
        auto *box = new QSpinBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(0, BoutRulesRecord::MaxCount);
        return box;
    };
    spnTeamTimeouts = count("spnTeamTimeouts");
    spnTeamReviews = count("spnTeamReviews");
    form->addRow(QStringLiteral("Team timeouts per bout:"), spnTeamTimeouts);
    form->addRow(QStringLiteral("Official reviews per period:"), spnTeamReviews);
    column->addWidget(counts);

    auto *keys = new QGroupBox(QStringLiteral("Keys (between jams):"));
    auto *grid = new QGridLayout(keys);
    for (int i = 0; i < BoutRulesRecord::KeyCount; ++i) {
        auto *button = new QPushButton(QStringLiteral("Select Key"));
        button->setObjectName(QStringLiteral("cmdRulesKey%1").arg(i));
        auto *shown = new QLabel;
        shown->setObjectName(QStringLiteral("lblRulesKey%1").arg(i));
        shown->setFrameShape(QFrame::StyledPanel);
        shown->setAlignment(Qt::AlignCenter);
        shown->setMinimumWidth(60);
        grid->addWidget(new QLabel(QString::fromLatin1(RulesKeyRows[i].first)), i, 0);
        grid->addWidget(button, i, 1);
        grid->addWidget(shown, i, 2);
        cmdRulesKeys[size_t(i)] = button;
        lblRulesKeys[size_t(i)] = shown;
        connect(button, &QPushButton::clicked, this, [this, i] { chooseRulesKey(i); });
    }
    column->addWidget(keys);
    column->addStretch(1);
    connect(chkShowBoutRules, &QCheckBox::toggled, this, &frmOptions::showBoutRulesChanged);
    return page;
}

void frmOptions::loadBoutPage()
{
    BoutRulesTemp = BoutRules;
    chkShowBoutRules->setChecked(BoutRulesTemp.Show != 0);
    spnTeamTimeouts->setValue(BoutRulesTemp.TeamTimeouts);
    spnTeamReviews->setValue(BoutRulesTemp.TeamReviews);
    for (int i = 0; i < BoutRulesRecord::KeyCount; ++i)
        lblRulesKeys[size_t(i)]->setText(KeyCodeToStr(BoutRulesTemp.key(i)));
}

QList<std::int16_t> frmOptions::keysInUse() const
{
    const std::array<std::int16_t, 10> ten = pendingKeys();
    QList<std::int16_t> keys(ten.begin(), ten.end());
    if (chkShowBoutRules->isChecked()) {
        for (int i = 0; i < BoutRulesRecord::KeyCount; ++i)
            keys << BoutRulesTemp.key(i);
    }
    return keys;
}

void frmOptions::showBoutRulesChanged(bool show)
{
    if (!show)
        return;
    // A key that another command has taken meanwhile is left unset, to be
    // chosen again: no key does two things.
    const std::array<std::int16_t, 10> ten = pendingKeys();
    for (int i = 0; i < BoutRulesRecord::KeyCount; ++i) {
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
    if (!chkShowBoutRules->isChecked()) {
        for (int i = 0; i < BoutRulesRecord::KeyCount; ++i)
            taken << BoutRulesTemp.key(i);
    }
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
