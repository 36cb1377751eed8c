#include "tst_suites.h"

#include "ui/help_file.h"
#include "ui/help_viewer.h"
#include "ui/qt_dialogs.h"

#include <QListWidget>

using pellucar::ui::HelpBlock;
using pellucar::ui::HelpFile;
using pellucar::ui::HelpViewer;

namespace {

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    // The help file the writers keep in the tree: every topic the game opens
    // by number exists and says something, and every link leads somewhere.
    void realFileHasEveryTopicTheGameOpensAndItsLinksResolve() {
        const HelpFile f = HelpFile::load(QStringLiteral(PELLUCAR_HELP_FILE));
        QVERIFY2(f.ok(), qPrintable(f.error()));
        for (int id : {0, 1003, 1004, 1006, 1007, 1009, 1012})
            QVERIFY2(f.topic(id) && f.plainText(id).trimmed().size() > 40, qPrintable(QString::number(id)));
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
        QStringList blocks;
        for (const HelpBlock& b : f.topic(0)->blocks) blocks << QString::number(int(b.kind)) + ' ' + b.text;
        const auto kind = [](HelpBlock::Kind k) { return QString::number(int(k)) + ' '; };
        QCOMPARE(blocks, (QStringList{kind(HelpBlock::Kind::Heading) + "Start here",
                                      kind(HelpBlock::Kind::Paragraph) + "First line second line.",
                                      kind(HelpBlock::Kind::Bullet) + "one [[7]] continued",
                                      kind(HelpBlock::Kind::Bullet) + "two [[7|the seventh]]"}));
        QCOMPARE(f.links(0), (QList<int>{7, 7}));
        // A bare link shows the title of its topic, escaped for rich text.
        QVERIFY(f.html(0).contains(QStringLiteral("<a href=\"topic:7\">Seven &amp; Co</a>")));
        QVERIFY(f.html(0).contains(QStringLiteral(">the seventh</a>")));
        QCOMPARE(f.plainText(7), QStringLiteral("Body."));
    }

    void rejectsBrokenFiles_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("bad header") << QStringLiteral("== 0 | Contents\nx\n") << "Line 1";
        QTest::newRow("no title") << QStringLiteral("== 3 |  ==\n") << "Line 1";
        QTest::newRow("twice") << QStringLiteral("== 1 | A ==\nx\n== 1 | B ==\n") << "Line 3";
        QTest::newRow("text first") << QStringLiteral("\nloose text\n== 1 | A ==\n") << "Line 2";
        QTest::newRow("bad link") << QStringLiteral("== 1 | A ==\nsee [[here]]\n") << "Line 2";
        QTest::newRow("empty") << QStringLiteral("# only comments\n") << "no topics";
    }
    void rejectsBrokenFiles() {
        QFETCH(QString, text);
        QFETCH(QString, where);
        const HelpFile f = HelpFile::parse(text);
        QVERIFY2(!f.ok() && f.error().contains(where) && f.ids().isEmpty(), qPrintable(f.error()));
    }

    void viewerShowsTopicsAndGoesBack() {
        HelpViewer v(QStringLiteral(PELLUCAR_HELP_FILE));
        v.showTopic(0);
        v.showTopic(1007);
        QVERIFY(v.renderedText().contains(v.file().topic(1007)->title) && v.canGoBack());
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
        QVERIFY(!v.file().ok() && v.renderedText().isEmpty());
        const QList<QLabel*> labels = v.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.cbegin(), labels.cend(), [](const QLabel* l) {
            return !l->isHidden() && l->text().contains(QStringLiteral("could not be opened"));
        }));
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
        QVERIFY(dialogs.helpViewer() && dialogs.helpViewer()->isVisible());
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
