#include "tst_suites.h"

#include "ui/look.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPrinter>
#include <QSignalSpy>
#include <QStyle>
#include <QToolButton>

#include <memory>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

QList<ControlState> modelStates(const Game& g) {
    QList<ControlState> out;
    for (const QString& k : g.model().keys()) out << g.model().at(k);
    return out;
}

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:

    // The menu bar holds the design's tree: order, captions, separators and
    // the design check marks, as the window first offers it.
    void menuTreeIsTheDesign() {
        uitest::WindowRig rig;
        rig.window.startUp();
        QStringList top;
        for (QAction* a : rig.window.menuBar()->actions()) top << a->objectName() + '=' + a->text();
        QCOMPARE(top,
                 (QStringList{"mnuGame=&Game", "mnuSettings=&Options", "mnuDunmere=&Dunmere", "mnuHowtoPlay=&Help"}));
        for (const ControlSpec& parent : mainWindowControls()) {
            auto* menu = rig.window.findChild<QMenu*>(parent.key);
            if (!menu) continue;
            QStringList want, got;
            for (const ControlSpec& s : mainWindowControls())
                if (s.parent == parent.key) want << s.key + '=' + s.caption + (s.checked ? "*" : "");
            for (QAction* a : menu->actions()) got << a->objectName() + '=' + a->text() + (a->isChecked() ? "*" : "");
            QCOMPARE(got, want);
        }
        QVERIFY(rig.window.action(QStringLiteral("mSep3"))->isSeparator());
    }

    void startsUpAndForwardUpdatesTheTable() {
        uitest::WindowRig rig;
        rig.startGame();
        QCOMPARE(rig.window.windowTitle(), QStringLiteral("Dunmere"));
        QCOMPARE(rig.dialogs.transcript.mid(0, 3),
                 (QStringList{"frmAboutKestrow: About Pellucar | ", "frmDisclaimer: Disclaimer Statement | ",
                              "frmTimePeriod: Game Level Options | "}));
        QTest::mouseClick(rig.widget("btnChangePeriod"), Qt::LeftButton);
        for (const char* k : {"lblDay", "lblDate", "lblTradeTime", "LabelDay", "lblOilCurrMark", "lblTBondCurrMark"})
            QCOMPARE(rig.text(k), displayText(rig.game.model().text(QString::fromLatin1(k))));
        // The window opens inside the screen, every caption and figure whole.
        QCoreApplication::processEvents(); // the layout settles after the texts change
        QVERIFY(rig.window.screen()->availableGeometry().contains(rig.window.geometry()));
        QStringList cut;
        for (const ControlSpec& ctl : mainWindowControls()) {
            QWidget* w = rig.window.widget(ctl.key);
            auto* label = qobject_cast<QLabel*>(w);
            if (w && w->isVisible() && ((label && !label->wordWrap()) || qobject_cast<QPushButton*>(w)))
                cut << uitest::cutShort(w);
        }
        cut.removeAll(QString());
        QCOMPARE(cut, QStringList());
    }

    // The table's labels size themselves without laying their text out; each
    // asks for what a plain QLabel with its text, font and limits would, in
    // a game's states (the 14-point title's last letter reaches past its
    // advance, an order's prompt ends in a blank).
    void labelsAskForTheSizeAPlainLabelWould() {
        uitest::WindowRig rig;
        rig.startGame(1);
        QStringList differ;
        const auto compareAll = [&](const QString& state) {
            for (const ControlSpec& ctl : mainWindowControls()) {
                auto* l = qobject_cast<QLabel*>(rig.window.widget(ctl.key));
                if (!l) continue;
                QLabel plain(l->text());
                plain.setFont(l->font());
                plain.setTextFormat(l->textFormat());
                plain.setAlignment(l->alignment());
                plain.setWordWrap(l->wordWrap());
                plain.setMinimumSize(l->minimumSize());
                plain.setSizePolicy(l->sizePolicy());
                if (l->sizeHint() != plain.sizeHint() || l->minimumSizeHint() != plain.minimumSizeHint())
                    differ << QStringLiteral("%1 %2 '%3'").arg(state, ctl.key, l->text());
            }
        };
        compareAll(QStringLiteral("after a Forward"));
        rig.click("btnTrade");
        rig.click("btnOil");
        rig.click("btnBuy");
        QCOMPARE(rig.text("promptUnits"), QStringLiteral("Number of Contracts to Buy: "));
        compareAll(QStringLiteral("buying"));
        QCOMPARE(differ, QStringList());
    }

    // The overflow button of a menu bar whose menus do not fit shows the
    // style's own icon, which the game's look reads only when it is drawn.
    void menuOverflowShowsTheStylesIcon() {
        QMainWindow window;
        for (int i = 0; i < 12; ++i) window.menuBar()->addMenu(QStringLiteral("Menu number %1").arg(i));
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* more = window.menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(more && more->isVisible());
        const std::unique_ptr<QStyle> base(newBaseStyle());
        const QImage want = base->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16).toImage();
        QVERIFY(!want.isNull());
        QCOMPARE(more->icon().pixmap(16).toImage(), want);
    }

    void disagreeEndsTheProgram() {
        uitest::WindowRig rig;
        rig.dialogs.agree = false;
        QSignalSpy ended(&rig.window, &Kestrow::gameEnded);
        rig.window.startUp();
        QCOMPARE(ended, QList<QList<QVariant>>{{rig.game.exitCode()}});
        QVERIFY(rig.window.close());
    }

    // Menu items, the market box and the close box reach the game (typed units: the access and desk tests).
    void inputsReachTheGame() {
        uitest::WindowRig rig;
        rig.startGame();
        // A menu item's mark follows the game's model once triggered.
        const auto checked = [&](const char* key) { return rig.window.action(QLatin1String(key))->isChecked(); };
        rig.window.action(QStringLiteral("mnuMaximum_1"))->trigger();
        QVERIFY(checked("mnuMaximum_1") && !checked("mnuMaximum_0"));
        auto* combo = static_cast<QComboBox*>(rig.widget("cboCommodity"));
        emit combo->activated(combo->findText(QStringLiteral("Soybean")));
        QVERIFY(checked("mnuGraph_5") && !checked("mnuGraph_0"));
        // The close box asks the game, which answers with its end-of-game window and plays on.
        const qsizetype before = rig.dialogs.transcript.size();
        QVERIFY(!rig.window.close() && rig.window.isVisible() && !rig.game.ended());
        QVERIFY(rig.dialogs.transcript.size() > before &&
                rig.dialogs.transcript.last().startsWith(QStringLiteral("frmEndofGame")));
    }

    void activationSetsTheGamesTooltips() {
        uitest::WindowRig rig;
        QCOMPARE(rig.widget("lblEq")->toolTip(), QStringLiteral("The dollar value of the player's account."));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&rig.window, &activate);
        QCOMPARE(rig.widget("lblEq")->toolTip(), QStringLiteral("Current Account Value"));
    }

    // Print makes a page of the window; a failed print is reported and changes nothing.
    void printsTheWindowAsShownOrSaysItCouldNot() {
        uitest::WindowRig rig;
        rig.startGame();
        rig.dialogs.setPrintSink([](const QPixmap&) { return false; });
        const QList<ControlState> before = modelStates(rig.game);
        const qsizetype shown = rig.dialogs.transcript.size();
        rig.window.action(QStringLiteral("mnuPrint"))->trigger();
        QCOMPARE(rig.dialogs.transcript.mid(shown),
                 QStringList{QStringLiteral("MessageBox: Pellucar | The form could not be printed.")});
        QCOMPARE(modelStates(rig.game), before);

        const QString pdf = QStringLiteral(PELLUCAR_UI_TEST_TMP "/window.pdf");
        QFile::remove(pdf);
        rig.dialogs.setPrintSink([&](const QPixmap& shot) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return QtDialogs::printImage(shot, printer);
        });
        QVERIFY(rig.dialogs.printMainWindow());
        QVERIFY(QFile(pdf).size() > 1000);
        QVERIFY(!QtDialogs::printImage(QPixmap(), *std::make_unique<QPrinter>()));
    }
};

} // namespace

QObject* pellucar::uitest::makeMainWindowSuite() { return new MainWindowTest; }

#include "tst_mainwindow.moc"
