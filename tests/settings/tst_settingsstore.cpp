#include "BoutRules.h"
#include "MemoryStore.h"
#include "QSettingsBackend.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Folder = u"/opt/quelvane"_s;

SettingsRecord loadFrom(const QMap<QString, QString> &values)
{
    MemoryStore backend;
    backend.values = values;
    return SettingsStore::load(backend, Folder);
}

} // namespace

class tst_SettingsStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        QFile::remove(QSettingsBackend().location());
    }

    // The bout rules' section: not written while it has never been used,
    // written from then on (turned off too), read like the other sections.
    void boutRulesSection()
    {
        MemoryStore store;
        QCOMPARE(BoutRulesStore::load(store), BoutRulesRecord{});
        BoutRulesStore::save(store, BoutRulesRecord{});
        QVERIFY(store.saved.isEmpty());
        BoutRulesRecord on;
        on.Show = 1;
        on.HomeTimeoutKey = 71;
        BoutRulesStore::save(store, on);
        QCOMPARE(store.values.value(u"BoutRules/Show"_s), u"1"_s);
        QCOMPARE(BoutRulesStore::load(store), on);
        BoutRulesStore::save(store, BoutRulesRecord{});
        QCOMPARE(store.values.value(u"BoutRules/Show"_s), u"0"_s);
        store.values[u"BoutRules/TeamTimeouts"_s] = u"40"_s;
        store.values[u"BoutRules/TeamReviews"_s] = u"one"_s;
        store.values[u"BoutRules/Show"_s] = u"7"_s;
        store.values[u"BoutRules/RunByClock"_s] = u"2"_s;
        store.values[u"BoutRules/Periods"_s] = u"0"_s;
        store.values[u"BoutRules/IntermissionSeconds"_s] = u"9000"_s;
        store.values[u"BoutRules/FinalKey"_s] = u"F"_s;
        const BoutRulesRecord read = BoutRulesStore::load(store);
        QCOMPARE(read.TeamTimeouts, std::int16_t(BoutRulesRecord::MaxCount));
        QCOMPARE(read.TeamReviews, std::int16_t(1));
        QCOMPARE(read.Show, std::int16_t(1));
        QCOMPARE(read.RunByClock, std::int16_t(1));
        QCOMPARE(read.Periods, std::int16_t(1));
        QCOMPARE(read.IntermissionSeconds, std::int16_t(5999));
        QCOMPARE(read.FinalKey, std::int16_t(70));
    }

    void emptyStoreGivesTheDefaults()
    {
        MemoryStore backend;
        const SettingsRecord r = SettingsStore::load(backend, Folder);
        QCOMPARE(backend.gets, 32);
        QVERIFY(backend.saved.isEmpty());
        QCOMPARE(backend.applications, QStringList(32, u"Quelvane"_s));
        QCOMPARE(r.TimeColor, 33023);
        QCOMPARE(r.LEDBack, 0);
        QCOMPARE(r.ScoreColor, 255);
        QCOMPARE(r.PeriodColor, 49152);
        QCOMPARE(r.FormBack, 0x404040);
        QCOMPARE(r.LEDSelected, 0x404040);
        QCOMPARE(r.BorderColor, 0xFFFFFF);
        QCOMPARE(r.HomeColor, 0xFFFFFF);
        QCOMPARE(r.VisitorColor, 0xFFFFFF);
        QCOMPARE(r.LEDSelectedWidth, 0);
        const std::int16_t keys[] = {r.StartStopJamClockKey,
                                     r.ResetJamClockKey,
                                     r.StartStopPeriodClockKey,
                                     r.ResetPeriodClockKey,
                                     r.ClockSwitchKey,
                                     r.SepTimeKey,
                                     r.ClearKey,
                                     r.BuzzerKey,
                                     r.PeriodEndSoundKey,
                                     r.PenaltyIncrementSecKey};
        const std::int16_t expected[] = {74, 82, 83, 84, 67, 73, 46, 66, 80, 65};
        QVERIFY(std::equal(std::begin(keys), std::end(keys), std::begin(expected)));
        QCOMPARE(r.BuzzerFile, Folder + QDir::separator() + u"buzzer.wav"_s);
        QCOMPARE(r.PeriodEndSoundFile, Folder + QDir::separator() + u"periodendsound.wav"_s);
        QCOMPARE(r.SuppressPeriodSound, 0);
        QCOMPARE(r.PenaltyIncrementSec, 90);
        QCOMPARE(r.NumLockForce, 0);
        QCOMPARE(r.TitleText, u"Home"_s);
        QCOMPARE(r.HomeText, u"Home"_s);
        QCOMPARE(r.VisitorText, u"Visitor"_s);
        QVERIFY(r.HomePic.isEmpty() && r.VisitorPic.isEmpty() && r.BoardPic.isEmpty());
        QCOMPARE(r.LEDType, 0);
        QCOMPARE(r, SettingsStore::defaults(Folder));
    }

    void selectionColourFollowsTheLoadedWindowColour()
    {
        const SettingsRecord r = loadFrom({{u"ColorSettings/FormBack"_s, u"255"_s}});
        QCOMPARE(r.FormBack, 255);
        QCOMPARE(r.LEDSelected, 255);
        const SettingsRecord both = loadFrom(
            {{u"ColorSettings/FormBack"_s, u"255"_s}, {u"ColorSettings/LEDSelected"_s, u"7"_s}});
        QCOMPARE(both.LEDSelected, 7);
        // An unreadable window colour falls back, and so does the mark's default.
        const SettingsRecord bad = loadFrom({{u"ColorSettings/FormBack"_s, u"grey"_s}});
        QCOMPARE(bad.FormBack, 0x404040);
        QCOMPARE(bad.LEDSelected, 0x404040);
    }

    void valuesConvert_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value");
        QTest::newRow("suppress 1 and blank")
            << u"KeySettings/SuppressPeriodSound"_s << u"1 "_s << qint64(1);
        QTest::newRow("suppress 1 and letters")
            << u"KeySettings/SuppressPeriodSound"_s << u"1yes"_s << qint64(1);
        QTest::newRow("suppress letter first")
            << u"KeySettings/SuppressPeriodSound"_s << u"yes1"_s << qint64(0);
        QTest::newRow("suppress overflow")
            << u"KeySettings/SuppressPeriodSound"_s << u"99999"_s << qint64(0);
        QTest::newRow("colour with blanks")
            << u"ColorSettings/TimeColor"_s << u" 16711680 "_s << qint64(16711680);
        QTest::newRow("colour fraction half even")
            << u"ColorSettings/TimeColor"_s << u"10.5"_s << qint64(10);
        QTest::newRow("colour not a number")
            << u"ColorSettings/TimeColor"_s << u"orange"_s << qint64(33023);
        QTest::newRow("colour empty") << u"ColorSettings/TimeColor"_s << QString() << qint64(33023);
        QTest::newRow("colour beyond 32 bits")
            << u"ColorSettings/TimeColor"_s << u"4294967296"_s << qint64(33023);
        QTest::newRow("key beyond 16 bits")
            << u"KeySettings/StartStopJamClockKey"_s << u"70000"_s << qint64(74);
        QTest::newRow("key code") << u"KeySettings/StartStopJamClockKey"_s << u"32"_s << qint64(32);
        QTest::newRow("selection width")
            << u"ColorSettings/LEDSelectedWidth"_s << u"3"_s << qint64(3);
        QTest::newRow("numlock strict") << u"KeySettings/NumLockForce"_s << u"2x"_s << qint64(0);
        QTest::newRow("increment") << u"KeySettings/PenaltyIncrementSec"_s << u"60"_s << qint64(60);
        QTest::newRow("digit type") << u"PicSettings/LEDType"_s << u"1"_s << qint64(1);
    }
    void valuesConvert()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(qint64, value);
        const SettingsRecord r = loadFrom({{key, text}});
        const qint64 fields[] = {r.SuppressPeriodSound,
                                 r.TimeColor,
                                 r.StartStopJamClockKey,
                                 r.LEDSelectedWidth,
                                 r.NumLockForce,
                                 r.PenaltyIncrementSec,
                                 r.LEDType};
        const QStringList keys = {u"KeySettings/SuppressPeriodSound"_s,
                                  u"ColorSettings/TimeColor"_s,
                                  u"KeySettings/StartStopJamClockKey"_s,
                                  u"ColorSettings/LEDSelectedWidth"_s,
                                  u"KeySettings/NumLockForce"_s,
                                  u"KeySettings/PenaltyIncrementSec"_s,
                                  u"PicSettings/LEDType"_s};
        QCOMPARE(fields[keys.indexOf(key)], value);
    }

    void isKeyCodeChangesNothing()
    {
        const SettingsRecord plain = loadFrom({{u"KeySettings/BuzzerKey"_s, u"32"_s}});
        for (const QString &marker : {u"Yes"_s, u"No"_s, QString(), u"garbage"_s}) {
            const SettingsRecord r = loadFrom(
                {{u"KeySettings/BuzzerKey"_s, u"32"_s}, {u"KeySettings/IsKeyCode"_s, marker}});
            QCOMPARE(r, plain);
        }
    }

    void saveWritesEverySectionInOrder()
    {
        MemoryStore backend;
        SettingsRecord r = SettingsStore::defaults(Folder);
        r.TimeColor = -5;
        QVERIFY(SettingsStore::save(backend, r));
        const QStringList expected = {u"ColorSettings/TimeColor"_s,
                                      u"ColorSettings/LEDBack"_s,
                                      u"ColorSettings/LEDSelected"_s,
                                      u"ColorSettings/ScoreColor"_s,
                                      u"ColorSettings/PeriodColor"_s,
                                      u"ColorSettings/FormBack"_s,
                                      u"ColorSettings/BorderColor"_s,
                                      u"ColorSettings/HomeColor"_s,
                                      u"ColorSettings/VisitorColor"_s,
                                      u"ColorSettings/LEDSelectedWidth"_s,
                                      u"KeySettings/StartStopJamClockKey"_s,
                                      u"KeySettings/ResetJamClockKey"_s,
                                      u"KeySettings/StartStopPeriodClockKey"_s,
                                      u"KeySettings/ResetPeriodClockKey"_s,
                                      u"KeySettings/ClockSwitchKey"_s,
                                      u"KeySettings/SepTimeKey"_s,
                                      u"KeySettings/ClearKey"_s,
                                      u"KeySettings/BuzzerKey"_s,
                                      u"KeySettings/BuzzerFile"_s,
                                      u"KeySettings/PeriodEndSoundKey"_s,
                                      u"KeySettings/PenaltyIncrementSecKey"_s,
                                      u"KeySettings/PenaltyIncrementSec"_s,
                                      u"KeySettings/PeriodEndSoundFile"_s,
                                      u"KeySettings/SuppressPeriodSound"_s,
                                      u"KeySettings/NumLockForce"_s,
                                      u"TextSettings/TitleText"_s,
                                      u"TextSettings/HomeText"_s,
                                      u"TextSettings/VisitorText"_s,
                                      u"PicSettings/HomePic"_s,
                                      u"PicSettings/VisitorPic"_s,
                                      u"PicSettings/BoardPic"_s,
                                      u"PicSettings/LEDType"_s,
                                      u"KeySettings/IsKeyCode"_s};
        QCOMPARE(backend.saved, expected);
        QCOMPARE(backend.values.value(u"ColorSettings/TimeColor"_s), u"-5"_s);
        QCOMPARE(backend.values.value(u"ColorSettings/FormBack"_s), u"4210752"_s);
        QCOMPARE(backend.values.value(u"KeySettings/IsKeyCode"_s), u"Yes"_s);
        QCOMPARE(SettingsStore::load(backend, u"/elsewhere"_s), r);
    }

    void saveReportsARefusingStore()
    {
        MemoryStore backend;
        backend.accept = false;
        QVERIFY(!SettingsStore::save(backend, SettingsStore::defaults(Folder)));
    }

    // The real store: texts of every kind come back exactly as saved.
    void textsRoundTripThroughTheRealStore_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("commas") << u"Rollers, Inc., B team"_s;
        QTest::newRow("quotes") << u"The \"Jammers\" 'club'"_s;
        QTest::newRow("backslashes") << u"C:\\Sounds\\horn.wav"_s;
        QTest::newRow("semicolons and hash") << u"a;b # c = d"_s;
        QTest::newRow("blanks around") << u"  spaced  "_s;
        QTest::newRow("non-ASCII") << u"Ørebro Rollergirls — Zürich 東京"_s;
        QTest::newRow("leading at") << u"@Variant(nothing)"_s;
        QTest::newRow("at alone") << u"@"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("brackets") << u"[KeySettings]"_s;
        QTest::newRow("newline") << u"line one\nline two"_s;
        QTest::newRow("looks like a list") << u"a,b,c"_s;
    }
    void textsRoundTripThroughTheRealStore()
    {
        QFETCH(QString, text);
        SettingsRecord r = SettingsStore::defaults(Folder);
        r.TitleText = text;
        r.HomePic = text;
        r.BuzzerFile = text;
        {
            QSettingsBackend backend;
            QVERIFY(SettingsStore::save(backend, r));
        }
        QSettingsBackend backend;
        const SettingsRecord loaded = SettingsStore::load(backend, Folder);
        QCOMPARE(loaded.TitleText, text);
        QCOMPARE(loaded.HomePic, text);
        QCOMPARE(loaded.BuzzerFile, text);
        QCOMPARE(loaded, r);
    }

    void realStoreHoldsEveryKeyAfterOneSave()
    {
        {
            QSettingsBackend backend;
            SettingsStore::load(backend, Folder);
        }
        QVERIFY2(!QFile::exists(QSettingsBackend().location()), "load must write nothing");
        {
            QSettingsBackend backend;
            QVERIFY(SettingsStore::save(backend, SettingsStore::defaults(Folder)));
        }
        QSettings raw(QSettingsBackend().location(), QSettings::IniFormat);
        QCOMPARE(raw.allKeys().size(), 33);
        QCOMPARE(raw.value(u"KeySettings/IsKeyCode"_s).toString(), u"Yes"_s);
        QCOMPARE(raw.value(u"ColorSettings/TimeColor"_s).toString(), u"33023"_s);
    }

    void corruptStoreFallsBackToDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919) & 0xFF));
        QTest::newRow("binary") << binary;
        QTest::newRow("garbage values")
            << QByteArray("[ColorSettings]\nTimeColor=@Variant(\\0\\0)\n"
                          "FormBack=\"unterminated\n[KeySettings\n"
                          "ClearKey=1,2,3\nHomeText=x\n");
        QTest::newRow("hand-edited list") << QByteArray("[TextSettings]\nHomeText=Red, Blue\n");
    }
    void corruptStoreFallsBackToDefaults()
    {
        QFETCH(QByteArray, content);
        const QString path = QSettingsBackend().location();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        QSettingsBackend backend;
        const SettingsRecord r = SettingsStore::load(backend, Folder);
        QCOMPARE(r.TimeColor, 33023);
        QCOMPARE(r.ClearKey, 46);
        QVERIFY(!r.HomeText.isNull());
        // The operator's next confirmation replaces the damaged store.
        QVERIFY(SettingsStore::save(backend, r));
        QSettingsBackend reread;
        QCOMPARE(SettingsStore::load(reread, Folder), r);
    }

    // The store's folder removed while the program runs: the next save
    // makes it again and keeps every value.
    void storeFolderDeletedWhileRunning()
    {
        QSettingsBackend backend;
        SettingsRecord r = SettingsStore::load(backend, Folder);
        QVERIFY(SettingsStore::save(backend, r));
        const QString path = backend.location();
        QVERIFY(QDir(QFileInfo(path).path()).removeRecursively());
        r.HomeText = u"Wreckers"_s;
        QVERIFY(SettingsStore::save(backend, r));
        QVERIFY(QFile::exists(path));
        QSettingsBackend reread;
        QCOMPARE(SettingsStore::load(reread, Folder), r);
    }

    // A store that can't be written (here: its folder is a file) says so.
    void unwritableStoreIsReportedAsFailure()
    {
        const QString path = QSettingsBackend().location();
        const QString folder = QFileInfo(path).path();
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettingsBackend backend;
        QVERIFY(!SettingsStore::save(backend, SettingsStore::defaults(Folder)));
        QFile::remove(folder);
    }

    void readOnlyStoreIsReportedAsFailure()
    {
        if (geteuid() == 0)
            QSKIP("root writes through read-only permissions");
        const QString path = QSettingsBackend().location();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QFile::setPermissions(path, QFile::ReadOwner);
        QSettingsBackend backend;
        QVERIFY(!SettingsStore::save(backend, SettingsStore::defaults(Folder)));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
