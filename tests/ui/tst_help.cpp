#include "tst_suites.h"

#include "ui/help_file.h"
#include "ui/help_viewer.h"
#include "ui/qt_dialogs.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using pellucar::ui::HelpBlock;
using pellucar::ui::HelpFile;
using pellucar::ui::HelpViewer;

namespace {

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    // The help file the writers keep in the tree: every topic the game opens
    // by number exists and says something, and every link leads somewhere.
    void realFileHasEveryTopicTheGameOpens() {
        const HelpFile f = HelpFile::load(QStringLiteral(PELLUCAR_HELP_FILE));
        QVERIFY2(f.ok(), qPrintable(f.error()));
        for (int id : {0, 1003, 1004, 1006, 1007, 1009, 1012}) {
            QVERIFY2(f.topic(id), qPrintable(QStringLiteral("topic %1 missing").arg(id)));
            QVERIFY2(f.plainText(id).trimmed().size() > 40, qPrintable(QStringLiteral("topic %1 is empty").arg(id)));
        }
    }
    void realFileLinksResolve() {
        const HelpFile f = HelpFile::load(QStringLiteral(PELLUCAR_HELP_FILE));
        for (int id : f.ids())
            for (int target : f.links(id))
                QVERIFY2(f.topic(target),
                         qPrintable(QStringLiteral("topic %1 links to missing %2").arg(id).arg(target)));
    }

    void parsesBlocksCommentsAndLinks() {
        const HelpFile f = HelpFile::parse(QStringLiteral("# a comment\r\n"
                                                          "== 0 | Contents ==\r\n"
                                                          "## Start here\r\n"
                                                          "First line\r\n"
                                                          "second line.\r\n"
                                                          "\r\n"
                                                          "* one [[7]]\r\n"
                                                          "continued\r\n"
                                                          "* two [[7|the seventh]]\r\n"
                                                          "#hidden note\r\n"
                                                          "== 7 | Seven & Co ==\r\n"
                                                          "Body.\r\n"));
        QVERIFY2(f.ok(), qPrintable(f.error()));
        QCOMPARE(f.ids(), (QList<int>{0, 7}));
        const auto& blocks = f.topic(0)->blocks;
        QCOMPARE(blocks.size(), 4);
        QCOMPARE(blocks[0].kind, HelpBlock::Kind::Heading);
        QCOMPARE(blocks[0].text, QStringLiteral("Start here"));
        QCOMPARE(blocks[1].text, QStringLiteral("First line second line."));
        QCOMPARE(blocks[2].kind, HelpBlock::Kind::Bullet);
        QCOMPARE(blocks[2].text, QStringLiteral("one [[7]] continued"));
        QCOMPARE(f.links(0), (QList<int>{7, 7}));
        // A bare link shows the title of its topic, escaped for rich text.
        QVERIFY(f.html(0).contains(QStringLiteral("<a href=\"topic:7\">Seven &amp; Co</a>")));
        QVERIFY(f.html(0).contains(QStringLiteral(">the seventh</a>")));
        QCOMPARE(f.plainText(7), QStringLiteral("Body."));
    }

    void rejectsBrokenFiles_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("bad header") << "== 0 | Contents\nx\n"
                                    << "Line 1";
        QTest::newRow("no title") << "== 3 |  ==\n"
                                  << "Line 1";
        QTest::newRow("twice") << "== 1 | A ==\nx\n== 1 | B ==\n"
                               << "Line 3";
        QTest::newRow("text first") << "\nloose text\n== 1 | A ==\n"
                                    << "Line 2";
        QTest::newRow("bad link") << "== 1 | A ==\nsee [[here]]\n"
                                  << "Line 2";
        QTest::newRow("empty") << "# only comments\n"
                               << "no topics";
    }
    void rejectsBrokenFiles() {
        QFETCH(QString, text);
        QFETCH(QString, where);
        const HelpFile f = HelpFile::parse(text);
        QVERIFY(!f.ok());
        QVERIFY2(f.error().contains(where), qPrintable(f.error()));
        QVERIFY(f.ids().isEmpty());
    }

    void viewerShowsTopicsAndGoesBack() {
        HelpViewer v(QStringLiteral(PELLUCAR_HELP_FILE));
        v.showTopic(0);
        v.showTopic(1007);
        QVERIFY(v.renderedText().contains(v.file().topic(1007)->title));
        QVERIFY(v.canGoBack());
        v.back();
        QCOMPARE(v.currentTopic(), 0);
        QVERIFY(v.renderedText().contains(v.file().topic(0)->title));
        v.showTopic(4242);
        QVERIFY(v.renderedText().contains(QStringLiteral("4242")));

        // Every topic's whole title shows in the list; Escape closes the help.
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto* list = v.findChild<QListWidget*>();
        for (int i = 0; i < list->count(); ++i)
            QVERIFY2(list->visualItemRect(list->item(i)).width() >=
                             list->fontMetrics().horizontalAdvance(list->item(i)->text()) &&
                         list->viewport()->width() >= list->visualItemRect(list->item(i)).right(),
                     qPrintable(list->item(i)->text()));
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!v.isVisible());
    }

    void missingFileGivesEmptyViewerWithMessage() {
        HelpViewer v(QStringLiteral("/nonexistent/dunmere.hlp"));
        v.showTopic(1003);
        QVERIFY(!v.file().ok());
        QVERIFY(v.renderedText().isEmpty());
        const QList<QLabel*> labels = v.findChildren<QLabel*>();
        bool told = false;
        for (QLabel* l : labels)
            told = told || (!l->isHidden() && l->text().contains(QStringLiteral("could not be opened")));
        QVERIFY(told);
    }

    // The topics are read from the file at run time: a file written now is
    // what the viewer shows, and QuitHelp closes the viewer.
    void dialogsReadTheFileAtRunTime() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dunmere.hlp"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("== 0 | Contents ==\nWritten just now.\n== 1007 | Calendar ==\nMondays.\n");
        out.close();
        pellucar::ui::QtDialogs dialogs;
        dialogs.setHelpPath(path);
        dialogs.help(1007);
        QVERIFY(dialogs.helpViewer());
        QVERIFY(dialogs.helpViewer()->isVisible());
        QVERIFY(dialogs.helpViewer()->renderedText().contains(QStringLiteral("Mondays.")));
        dialogs.help(0);
        QVERIFY(dialogs.helpViewer()->renderedText().contains(QStringLiteral("Written just now.")));
        dialogs.quitHelp();
        QTRY_VERIFY(!dialogs.helpViewer());
    }
};

} // namespace

QObject* pellucar::uitest::makeHelpSuite() { return new HelpTest; }

#include "tst_help.moc"
