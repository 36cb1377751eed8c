#include "tst_suites.h"

#include "support/game_harness.h"
#include "ui/help_file.h"
#include "ui/help_viewer.h"
#include "ui/qt_dialogs.h"

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
    // what the viewer shows, a topic it lacks is named, and QuitHelp closes the viewer.
    void dialogsReadTheFileAtRunTime() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dunmere.hlp"));
        QVERIFY(pellucar::test::writeFile(path,
                                          "== 0 | Contents ==\nWritten just now.\n== 1007 | Calendar ==\nMondays.\n"));
        pellucar::ui::QtDialogs dialogs;
        dialogs.setHelpPath(path);
        dialogs.help(1007);
        QVERIFY(dialogs.helpViewer() && dialogs.helpViewer()->isVisible());
        QVERIFY(dialogs.helpViewer()->renderedText().contains(QStringLiteral("Mondays.")));
        dialogs.help(0);
        QVERIFY(dialogs.helpViewer()->renderedText().contains(QStringLiteral("Written just now.")));
        dialogs.help(4242);
        QVERIFY(dialogs.helpViewer()->renderedText().contains(QStringLiteral("4242")));
        dialogs.quitHelp();
        QTRY_VERIFY(!dialogs.helpViewer());
    }
};

} // namespace

QObject* pellucar::uitest::makeHelpSuite() { return new HelpTest; }

#include "tst_help.moc"
