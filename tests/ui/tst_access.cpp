#include "tst_suites.h"

#include <QAccessible>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

// The controls Tab visits from the focused one until it comes round again.
QStringList tabCycle() {
    QStringList seen;
    QWidget* first = QApplication::focusWidget();
    for (int i = 0; i < 30 && first; ++i) {
        seen << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == first) break;
    }
    return seen;
}

// No two controls the window offers at once (its buttons and menu titles)
// claim the same access key.
void checkAccessKeysUnique(Kestrow& w, const QString& when) {
    QHash<QString, QString> owner;
    auto add = [&](const QString& caption, const QString& name) {
        const QString k = QKeySequence::mnemonic(caption).toString();
        if (k.isEmpty()) return;
        QVERIFY2(!owner.contains(k), qPrintable(when + ": " + k + " for " + owner.value(k) + " and " + name));
        owner.insert(k, name);
    };
    for (QPushButton* b : w.centralWidget()->findChildren<QPushButton*>())
        if (b->isVisible() && b->isEnabled()) add(b->text(), b->objectName());
    for (QAction* a : w.menuBar()->actions())
        if (a->isVisible() && a->isEnabled()) add(a->text(), a->objectName());
}

class AccessTest : public QObject {
    Q_OBJECT

    static QPushButton* button(Kestrow& w, const char* key) {
        return static_cast<QPushButton*>(w.widget(QString::fromLatin1(key)));
    }
    static void showActive(Kestrow& w) {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    // A key pressed on the main window, where the keyboard is; a press by
    // access key lands when the button's pressed look is over.
    static void key(Kestrow& w, const QKeySequence& k) {
        if (QApplication::activeWindow() != &w) w.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &w);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, k[0].key(),
                        k[0].keyboardModifiers());
        const QList<QPushButton*> buttons = w.findChildren<QPushButton*>();
        QTRY_VERIFY(std::none_of(buttons.cbegin(), buttons.cend(), [](const QPushButton* b) { return b->isDown(); }));
    }
private slots:

    // Every step of an order, a refusal and the reports, at both levels.
    void accessKeysAreUniqueInEveryState() {
        for (const char* level : {"Expert", "Novice"}) {
            uitest::WindowRig rig;
            rig.dialogs.setup.level = QString::fromLatin1(level);
            Kestrow& w = rig.window;
            showActive(w);
            w.startUp();
            const auto click = [&](const char* key) {
                QVERIFY2(button(w, key)->isVisible() && button(w, key)->isEnabled(), key);
                button(w, key)->click();
            };
            const auto typeUnits = [&](const char* units) {
                QTest::keyClicks(w.widget(QStringLiteral("inputUnits")), QString::fromLatin1(units));
                QTest::keyClick(w.widget(QStringLiteral("inputUnits")), Qt::Key_Return);
            };
            checkAccessKeysUnique(w, QStringLiteral("before a game"));
            w.action(QStringLiteral("mnuNewGame"))->trigger();
            click("btnChangePeriod");
            checkAccessKeysUnique(w, QStringLiteral("between orders"));
            const bool novice = QLatin1String(level) == QLatin1String("Novice");
            for (const char* market : {"btnOil", "btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean"}) {
                click("btnTrade");
                checkAccessKeysUnique(w, QStringLiteral("choosing a market"));
                if (!novice) click(market);
                checkAccessKeysUnique(w, QStringLiteral("sides for ") + market);
                click("btnHold");
                if (novice) break;
            }
            click("btnTrade");
            if (!novice) click("btnCattle");
            click("btnBuy");
            checkAccessKeysUnique(w, QStringLiteral("units"));
            typeUnits("-1");
            checkAccessKeysUnique(w, QStringLiteral("after a refusal"));
            click("btnSell");
            typeUnits("1");
            QVERIFY(button(w, "btnNo")->isVisible());
            checkAccessKeysUnique(w, QStringLiteral("read-back"));
            click("btnYes");
            click("btnTradeHist");
            checkAccessKeysUnique(w, QStringLiteral("trade report"));
        }
    }

    // Within a menu each item has a letter of its own, but for two pairs
    // whose captions are fixed: Options' "&Novice" and "&News Reports", and
    // Help's two "&Definitions" items; there the letter moves between the two.
    void menuItemsKeepTheirLettersApart() {
        uitest::WindowRig rig;
        const QStringList shared{"mnuSettings N", "mnuHowtoPlay D"};
        for (QMenu* menu : rig.window.findChildren<QMenu*>()) {
            QHash<QString, QString> owner;
            for (QAction* a : menu->actions()) {
                const QString k = QKeySequence::mnemonic(a->text()).toString().remove(QStringLiteral("Alt+"));
                if (k.isEmpty()) continue;
                const QString where = menu->objectName() + ' ' + k;
                QVERIFY2(!owner.contains(k) || shared.contains(where),
                         qPrintable(where + ": " + owner.value(k) + " and " + a->objectName()));
                owner.insert(k, a->objectName());
            }
        }
    }

    // Between orders Tab runs through what is offered in the order the table
    // shows it; each control tells assistive technology what it is.
    void tabAndNamesFollowTheTable() {
        uitest::WindowRig rig;
        Kestrow& w = rig.window;
        showActive(w);
        rig.startGame(1);
        button(w, "btnChangePeriod")->setFocus();
        QCOMPARE(tabCycle(), (QStringList{"btnChangePeriod", "btnAutoPlay", "btnTrade", "btnNewsHist", "btnTradeHist",
                                          "cboCommodity", "btnWideCharts", "GraphLeft", "GraphRight"}));
        for (const ControlSpec& ctl : mainWindowControls()) {
            QWidget* x = w.widget(ctl.key);
            if (!x || x == &w) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(x);
            QVERIFY2(a && !a->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(ctl.key));
            const QString tip = rig.game.model().at(ctl.key).tooltip;
            if (!tip.isEmpty()) QVERIFY2(a->text(QAccessible::Description) == tip, qPrintable(ctl.key));
        }
    }

    // A game by keys alone: Game > Start by its shortcut, orders by access
    // keys, Enter and Tab in the units box, a refusal, Hold, Cancel, Escape
    // at each step of an order, the trade report and Forward. Each row is a
    // key ("=text" types into the focused box) and the control that has the
    // keyboard after it.
    void aGameByKeys() {
        uitest::WindowRig rig;
        showActive(rig.window);
        rig.window.startUp();
        const QStringList script{
            "Ctrl+N", "Alt+F", "Alt+F>btnChangePeriod",
            // Buy 5 Oil, Enter in the box, Enter Order.
            "Alt+T>btnOil", "Alt+O>btnBuy", "Alt+B>inputUnits", "=5", "Return>btnYes", "Alt+E",
            // Sell 2 Gold: Tab in the box, Enter on the focused Enter Order.
            "Alt+T", "Alt+G", "Alt+S", "=2", "Tab>btnYes", "Return",
            // A refused purchase of Cattle, then Hold.
            "Alt+T", "Alt+C", "Alt+B", "=-3", "Return>btnBuy", "Alt+H>btnTrade",
            // Soybean bought, read back, cancelled.
            "Alt+T", "Alt+B>btnBuy", "Alt+B", "=1", "Return>btnYes", "Alt+C>btnTrade",
            // Escape backs out of an order at each step: market, side, units, read-back.
            "Alt+T", "Escape>btnTrade", "Alt+T", "Alt+G", "Escape>btnTrade", "Alt+T", "Alt+G", "Alt+B",
            "Escape>btnTrade", "Alt+T", "Alt+G", "Alt+B", "=1", "Return>btnYes", "Escape>btnTrade",
            // The trade report and back, by its button and by Escape.
            "Alt+R>btnCloseTradeHistory", "Alt+C", "Alt+R>btnCloseTradeHistory", "Escape", "Alt+F"};
        for (const QString& row : script) {
            const QString stroke = row.section('>', 0, 0), focus = row.section('>', 1);
            if (stroke.startsWith('=')) QTest::keyClicks(QApplication::focusWidget(), stroke.mid(1));
            else key(rig.window, QKeySequence(stroke));
            if (!focus.isEmpty()) QVERIFY2(rig.window.focusWidget()->objectName() == focus, qPrintable(row));
        }
        // What the keys did, and nothing else.
        const GameState& s = rig.game.state();
        QCOMPARE((QList<double>{double(s.clock.periodIndex()), double(s.desk.tradeCount()),
                                s.desk.account.position(Market::Oil), s.desk.account.position(Market::Gold)}),
                 (QList<double>{3, 2, 5, -2}));
        QVERIFY(!button(rig.window, "btnGold")->isVisible() && !button(rig.window, "btnBuy")->isVisible());
        // F5 sets the game playing itself.
        key(rig.window, QKeySequence(Qt::Key_F5));
        QVERIFY(rig.game.autoPlay().running());
    }

    // The game's own windows answer their keys: a button's letter presses
    // it, Escape closes a notice as its OK would and leaves a choice alone.
    void windowsAnswerTheirKeys_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("Agree") << "disclaimer" << QKeySequence("Alt+A") << "accepted";
        QTest::newRow("Escape on the disclaimer") << "disclaimer" << QKeySequence("Escape") << "open";
        QTest::newRow("Play Again after Game Over") << "over" << QKeySequence("Alt+P") << "again";
        QTest::newRow("Escape at Game Over") << "over" << QKeySequence("Escape") << "open";
        QTest::newRow("Escape on a notice") << "notice" << QKeySequence("Escape") << "rejected";
    }
    void windowsAnswerTheirKeys() {
        QFETCH(QString, window);
        QFETCH(QKeySequence, key);
        QFETCH(QString, outcome);
        std::unique_ptr<GameWindow> w;
        if (window == "disclaimer") w = std::make_unique<DisclaimerWindow>("Read this.");
        if (window == "over") w = std::make_unique<GameOverWindow>(GameSummary{});
        if (window == "notice") w = std::make_unique<NotificationWindow>("T", "M", 0);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), key[0].key(),
                        key[0].keyboardModifiers());
        QTest::qWait(50);
        QTRY_COMPARE(w->isVisible(), outcome == "open");
        if (auto* over = dynamic_cast<GameOverWindow*>(w.get()); over && outcome != "open")
            QCOMPARE(over->choice(), outcome == "end" ? GameOverChoice::End : GameOverChoice::PlayAgain);
        else if (!over) QCOMPARE(w->result(), outcome == "accepted" ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }
};

} // namespace

QObject* pellucar::uitest::makeAccessSuite() { return new AccessTest; }

#include "tst_access.moc"
