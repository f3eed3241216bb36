#include "frmHelp.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

class tst_HelpWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void showsTheHelpDocument()
    {
        frmHelp help(QStringLiteral(QUELVANE_PROGRAM_DIR "/quelvanehelpfile.rtf"));
        QCOMPARE(help.windowTitle(), u"Quelvane Help"_s);
        QCOMPARE(help.palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(help.rtbHelp->isReadOnly());
        const QString text = help.rtbHelp->toPlainText();
        QVERIFY(text.startsWith(u"Quelvane Help"_s));
        for (const QString &topic : {u"Starting a bout"_s, u"The keys"_s, u"Penalty clocks"_s,
                                     u"Sounds"_s, u"The Options dialog"_s, u"NumLock"_s})
            QVERIFY2(text.contains(topic), qPrintable(topic));
    }

    void missingOrUnreadableFileShowsTheMessage()
    {
        frmHelp missing(m_dir.filePath(u"quelvanehelpfile.rtf"_s));
        QCOMPARE(missing.rtbHelp->toPlainText(),
                 u"Help file has been moved from its normal location.  Please reinstall the "
                 "program."_s);
        frmHelp folder(m_dir.path());
        QCOMPARE(folder.rtbHelp->toPlainText(), frmHelp::MissingText);
    }

    void snapsToItsMinimumSize()
    {
        frmHelp help(m_dir.filePath(u"none.rtf"_s));
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        help.resize(50, 40);
        // 2700 x 1700 twips, frame included.
        QTRY_COMPARE(help.frameGeometry().size(), QSize(180, 113));
        // The box keeps inside the window, with its wrap width 30 pixels less.
        QVERIFY(help.rtbHelp->geometry().right() < help.width());
        QCOMPARE(help.rtbHelp->lineWrapColumnOrWidth(), help.rtbHelp->width() - 30);
        help.resize(900, 700);
        const QSize outer = help.frameGeometry().size();
        QTRY_COMPARE(help.rtbHelp->height(), std::min(outer.height() - 28, 700));
        QCOMPARE(help.rtbHelp->width(), std::min(outer.width() - 16, 900 - 8));
    }

    void minimiseAndRestore()
    {
        frmHelp help(m_dir.filePath(u"none.rtf"_s));
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        const QRect box = help.rtbHelp->geometry();
        help.showMinimized();
        help.showNormal();
        QTRY_COMPARE(help.rtbHelp->geometry(), box);
        QCOMPARE(help.loads(), 1);
    }
};

QTEST_MAIN(tst_HelpWindow)
#include "tst_helpwindow.moc"
