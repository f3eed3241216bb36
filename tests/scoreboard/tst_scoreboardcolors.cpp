#include "BoardHarness.h"
#include "ColorRef.h"
#include "ControlAccess.h"
#include "Digmar.h"
#include "Label.h"
#include "Pinlux.h"
#include "Shape.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Every colour on the board: "control.Property" -> 0x00BBGGRR.
QMap<QString, int> colours(frmScoreboard &board)
{
    QMap<QString, int> all;
    all[u"window"_s] = fromQColor(board.palette().color(QPalette::Window));
    for (QObject *c : board.controls()) {
        for (const char *p : {"LitColor", "BackColor", "ForeColor", "BorderColor", "FillColor"}) {
            const QVariant v = ControlAccess::read(c, p);
            if (v.isValid())
                all[c->objectName() + u'.' + QString::fromLatin1(p)] = v.toInt();
        }
    }
    return all;
}

} // namespace

class tst_ScoreboardColors : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaults()
    {
        BoardHarness h;
        const auto c = colours(*h.board);
        QCOMPARE(c[u"window"_s], 0x404040);
        QCOMPARE(c[u"tledPeriod.LitColor"_s], 0x0080FF);
        QCOMPARE(c[u"tledJam.LitColor"_s], 0x0080FF);
        for (const char *red : {"nledHomeScore", "nledVisitorScore", "tledHomePenalty1",
                                "tledHomePenalty2", "tledVisitorPenalty1", "tledVisitorPenalty2"})
            QCOMPARE(c[QString::fromLatin1(red) + u".LitColor"_s], 0x0000FF);
        QCOMPARE(c[u"nledPeriod.LitColor"_s], 0x00C000);
        for (const char *label : {"lblTitle", "Label1", "Label2", "Label3", "Label4",
                                  "lblCreatedBy", "lblHomeTeam", "lblVisitorTeam"})
            QCOMPARE(c[QString::fromLatin1(label) + u".ForeColor"_s], 0xFFFFFF);
        QCOMPARE(c[u"Shape1.BorderColor"_s], 0xFFFFFF);
        QCOMPARE(c[u"Shape3.BorderColor"_s], 0xFFFFFF);
        QCOMPARE(c[u"shpObjectSelected.FillColor"_s], 0x404040);
        QCOMPARE(c[u"picBoardPicContainer.BackColor"_s], 0x404040);
        QCOMPARE(c[u"tledJam.BackColor"_s], 0x000000);
        QCOMPARE(c[u"tledJam.BorderColor"_s], 0xFFFFFF);
    }

    // Each colour setting changes exactly the controls it names.
    void eachSettingChangesItsControls_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("changed");
        const QStringList displays = {
            u"nledHomeScore"_s,       u"tledPeriod"_s,       u"nledVisitorScore"_s,
            u"nledPeriod"_s,          u"tledJam"_s,          u"tledHomePenalty1"_s,
            u"tledVisitorPenalty1"_s, u"tledHomePenalty2"_s, u"tledVisitorPenalty2"_s};
        const QStringList clocks = {u"tledPeriod"_s,       u"tledJam"_s,
                                    u"tledHomePenalty1"_s, u"tledVisitorPenalty1"_s,
                                    u"tledHomePenalty2"_s, u"tledVisitorPenalty2"_s};
        auto with = [](const QStringList &names, const QString &property) {
            QStringList out;
            for (const QString &n : names)
                out << n + u'.' + property;
            return out;
        };
        QTest::newRow("TimeColor")
            << u"TimeColor"_s << QStringList{u"tledPeriod.LitColor"_s, u"tledJam.LitColor"_s};
        QTest::newRow("LEDBack") << u"LEDBack"_s << with(displays, u"BackColor"_s);
        QTest::newRow("ScoreColor")
            << u"ScoreColor"_s
            << with({u"nledHomeScore"_s, u"nledVisitorScore"_s, u"tledHomePenalty1"_s,
                     u"tledVisitorPenalty1"_s, u"tledHomePenalty2"_s, u"tledVisitorPenalty2"_s},
                    u"LitColor"_s);
        QTest::newRow("PeriodColor") << u"PeriodColor"_s << QStringList{u"nledPeriod.LitColor"_s};
        QTest::newRow("FormBack") << u"FormBack"_s
                                  << (QStringList{u"window"_s} +
                                      with({u"picHomePicContainer"_s, u"picVisitorPicContainer"_s,
                                            u"picBoardPicContainer"_s},
                                           u"BackColor"_s));
        QTest::newRow("LEDSelected")
            << u"LEDSelected"_s << QStringList{u"shpObjectSelected.FillColor"_s};
        QTest::newRow("BorderColor")
            << u"BorderColor"_s
            << (with({u"lblTitle"_s, u"Label4"_s, u"Label1"_s, u"Label2"_s, u"Label3"_s,
                      u"lblCreatedBy"_s},
                     u"ForeColor"_s) +
                with({u"Shape1"_s, u"Shape3"_s, u"shpObjectSelected"_s}, u"BorderColor"_s) +
                with(clocks, u"BorderColor"_s));
        QTest::newRow("HomeColor") << u"HomeColor"_s << QStringList{u"lblHomeTeam.ForeColor"_s};
        QTest::newRow("VisitorColor")
            << u"VisitorColor"_s << QStringList{u"lblVisitorTeam.ForeColor"_s};
    }
    void eachSettingChangesItsControls()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, changed);
        BoardHarness h;
        const auto before = colours(*h.board);
        std::int32_t SettingsRecord::*field = nullptr;
        const std::pair<const char16_t *, std::int32_t SettingsRecord::*> fields[] = {
            {u"TimeColor", &SettingsRecord::TimeColor},
            {u"LEDBack", &SettingsRecord::LEDBack},
            {u"ScoreColor", &SettingsRecord::ScoreColor},
            {u"PeriodColor", &SettingsRecord::PeriodColor},
            {u"FormBack", &SettingsRecord::FormBack},
            {u"LEDSelected", &SettingsRecord::LEDSelected},
            {u"BorderColor", &SettingsRecord::BorderColor},
            {u"HomeColor", &SettingsRecord::HomeColor},
            {u"VisitorColor", &SettingsRecord::VisitorColor}};
        for (const auto &[name, member] : fields) {
            if (QStringView(name) == setting)
                field = member;
        }
        QVERIFY(field);
        Settings.*field = 0x123456;
        h.board->UpdateFormColors();
        const auto after = colours(*h.board);
        QStringList differs;
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (before.value(it.key()) != it.value()) {
                differs << it.key();
                QCOMPARE(it.value(), 0x123456);
            }
        }
        differs.sort();
        changed.sort();
        QCOMPARE(differs, changed);
    }
};

QTEST_MAIN(tst_ScoreboardColors)
#include "tst_scoreboardcolors.moc"
