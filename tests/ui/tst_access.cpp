#include "tst_suites.h"

#include "scripted_dialogs.h"
#include "ui/metrics.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

// The access keys the window answers to now (its offered buttons and its
// menu titles), each with the control that claims it.
QList<QPair<QString, QString>> activeAccessKeys(Kestrow& w) {
    QList<QPair<QString, QString>> keys;
    auto add = [&](const QString& caption, const QString& owner) {
        const QString k = QKeySequence::mnemonic(caption).toString();
        if (!k.isEmpty()) keys.append({k, owner});
    };
    for (QPushButton* b : w.centralWidget()->findChildren<QPushButton*>())
        if (b->isVisible() && b->isEnabled()) add(b->text(), b->objectName());
    for (QAction* a : w.menuBar()->actions())
        if (a->isVisible() && a->isEnabled()) add(a->text(), a->objectName());
    return keys;
}

void checkAccessKeysUnique(Kestrow& w, const QString& when) {
    QHash<QString, QString> owner;
    for (const auto& [key, name] : activeAccessKeys(w)) {
        QVERIFY2(!owner.contains(key), qPrintable(when + ": " + key + " for " + owner.value(key) + " and " + name));
        owner.insert(key, name);
    }
}

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

// Answers the real modal windows by keys while a test plays: each window
// gets the keys planned for it, or Enter. Keys go to the focused control.
class KeyAnswers : public QObject {
public:
    using Keys = std::function<void(QWidget*)>;
    KeyAnswers() {
        connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start(5);
    }
    void plan(const QString& window, Keys keys) { plans_[window].append(std::move(keys)); }
    QStringList seen;

    static void press(QWidget* window, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget* f = QApplication::focusWidget();
        QTest::keyClick(f && f->window() == window ? f : window, k, m);
    }

private:
    void answer() {
        QWidget* m = QApplication::activeModalWidget();
        if (!m) return;
        if (m == answered_) {
            // Keys that leave a window open would stall the game: close it
            // and let the check of the window's name report it.
            if (++stalled_ > 400) {
                seen << m->objectName() + " (stalled)";
                static_cast<QDialog*>(m)->done(QDialog::Rejected);
            }
            return;
        }
        if (QApplication::activeWindow() != m) {
            m->activateWindow();
            return;
        }
        answered_ = m;
        stalled_ = 0;
        seen << m->objectName();
        auto it = plans_.find(m->objectName());
        if (it != plans_.end() && !it->isEmpty()) it->takeFirst()(m);
        else press(m, Qt::Key_Return);
    }
    QTimer timer_;
    QPointer<QWidget> answered_;
    int stalled_ = 0;
    QHash<QString, QList<Keys>> plans_;
};

// The game with its real windows, shown modally as a player meets them.
struct KeyRig {
    explicit KeyRig(const QString& db) : game(dialogs, random, db), window(game, dialogs) {
        dialogs.setMainWindow(&window);
    }
    ~KeyRig() { dialogs.setMainWindow(nullptr); }
    QtDialogs dialogs;
    ScriptedRandom random{{}, 0.5};
    Game game;
    Kestrow window;
};

class AccessTest : public QObject {
    Q_OBJECT
    QString db_;

    static QPushButton* button(Kestrow& w, const char* key) {
        return static_cast<QPushButton*>(w.widget(QString::fromLatin1(key)));
    }
    static void click(Kestrow& w, const char* key) {
        QPushButton* b = button(w, key);
        QVERIFY2(b->isVisible() && b->isEnabled(), key);
        b->click();
    }
    static void showActive(Kestrow& w) {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

    // A key pressed on the main window, where the keyboard is; a press by
    // access key lands when the button's pressed look is over.
    void key(KeyRig& rig, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        if (QApplication::activeWindow() != &rig.window) rig.window.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &rig.window);
        KeyAnswers::press(&rig.window, k, m);
        const QList<QPushButton*> buttons = rig.window.findChildren<QPushButton*>();
        QTRY_VERIFY(std::none_of(buttons.cbegin(), buttons.cend(), [](const QPushButton* b) { return b->isDown(); }));
    }
    void alt(KeyRig& rig, Qt::Key k) { key(rig, k, Qt::AltModifier); }
    // The window shown and active, a game set up and its first period played.
    static Kestrow& startFirstPeriod(uitest::WindowRig& rig) {
        showActive(rig.window);
        rig.window.startUp();
        rig.window.action(QStringLiteral("mnuNewGame"))->trigger();
        click(rig.window, "btnChangePeriod");
        return rig.window;
    }
    QString text(KeyRig& rig, const char* key) { return rig.game.model().text(QString::fromLatin1(key)); }
    // The window's keyboard control, also while a closing window still has
    // the desktop's focus.
    static QString focused(KeyRig& rig) {
        return rig.window.focusWidget() ? rig.window.focusWidget()->objectName() : QString();
    }

private slots:
    void initTestCase() { db_ = uitest::writeFixtureDatabase(QStringLiteral(PELLUCAR_UI_TEST_TMP "/access.mdb")); }

    // Every step of an order, a refusal and the reports, at both levels:
    // no two controls the window offers at once claim the same access key.
    void accessKeysAreUniqueInEveryState() {
        for (const char* level : {"Expert", "Novice"}) {
            uitest::WindowRig rig(db_);
            rig.dialogs.setup.level = QString::fromLatin1(level);
            showActive(rig.window);
            rig.window.startUp();
            Kestrow& w = rig.window;
            checkAccessKeysUnique(w, QStringLiteral("before a game"));
            w.action(QStringLiteral("mnuNewGame"))->trigger();
            click(w, "btnChangePeriod");
            checkAccessKeysUnique(w, QStringLiteral("between orders"));
            const bool novice = QLatin1String(level) == QLatin1String("Novice");
            for (const char* market : {"btnOil", "btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean"}) {
                click(w, "btnTrade");
                checkAccessKeysUnique(w, QStringLiteral("choosing a market"));
                if (!novice) click(w, market);
                checkAccessKeysUnique(w, QStringLiteral("sides for ") + market);
                click(w, "btnHold");
                if (novice) break;
            }
            click(w, "btnTrade");
            if (!novice) click(w, "btnCattle");
            click(w, "btnBuy");
            checkAccessKeysUnique(w, QStringLiteral("units"));
            QTest::keyClicks(w.widget(QStringLiteral("inputUnits")), QStringLiteral("-1"));
            QTest::keyClick(w.widget(QStringLiteral("inputUnits")), Qt::Key_Return);
            checkAccessKeysUnique(w, QStringLiteral("after a refusal"));
            click(w, "btnSell");
            QTest::keyClicks(w.widget(QStringLiteral("inputUnits")), QStringLiteral("1"));
            QTest::keyClick(w.widget(QStringLiteral("inputUnits")), Qt::Key_Return);
            QVERIFY(button(w, "btnNo")->isVisible());
            checkAccessKeysUnique(w, QStringLiteral("read-back"));
            click(w, "btnYes");
            click(w, "btnTradeHist");
            checkAccessKeysUnique(w, QStringLiteral("trade report"));
            click(w, "btnCloseTradeHistory");
        }
    }

    // Within a menu each item has a letter of its own, but for two pairs
    // whose captions are fixed: Options' "&Novice" and "&News Reports", and
    // Help's two "&Definitions" items. There the letter moves between the
    // two and Enter chooses, as menus do with a shared letter.
    void menuItemsKeepTheirLettersApart() {
        uitest::WindowRig rig(db_);
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

    // Tab runs through what is offered in the order the table shows it.
    void tabFollowsTheTable() {
        uitest::WindowRig rig(db_);
        Kestrow& w = startFirstPeriod(rig);
        button(w, "btnChangePeriod")->setFocus();
        QCOMPARE(tabCycle(), (QStringList{"btnChangePeriod", "btnTrade", "btnNewsHist", "btnTradeHist", "cboCommodity"}));
        click(w, "btnTrade");
        QCOMPARE(tabCycle(), (QStringList{"btnOil", "btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean",
                                            "cboCommodity"}));
        click(w, "btnGold");
        QCOMPARE(tabCycle(), (QStringList{"btnBuy", "btnSell", "btnHold", "cboCommodity"}));
        click(w, "btnSell");
        QTest::keyClicks(w.widget(QStringLiteral("inputUnits")), QStringLiteral("1"));
        QTest::keyClick(w.widget(QStringLiteral("inputUnits")), Qt::Key_Tab);
        QCOMPARE(tabCycle(), (QStringList{"btnYes", "btnNo", "cboCommodity"}));
        click(w, "btnNo");
        click(w, "btnTradeHist");
        QCOMPARE(tabCycle(), (QStringList{"btnCloseTradeHistory", "TradeGrid"}));
    }

    // Each control tells assistive technology what it is; the figures are
    // read by name with their value, which follows the game.
    void controlsAreNamedAndFiguresRead() {
        uitest::WindowRig rig(db_);
        Kestrow& w = startFirstPeriod(rig);
        auto iface = [&](const QString& key) { return QAccessible::queryAccessibleInterface(w.widget(key)); };
        for (const ControlSpec& ctl : mainWindowControls()) {
            QWidget* x = w.widget(ctl.key);
            if (!x || x == &w) continue;
            QAccessibleInterface* a = iface(ctl.key);
            QVERIFY2(a && !a->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(ctl.key));
            const QString tip = rig.game.model().at(ctl.key).tooltip;
            if (!tip.isEmpty()) QVERIFY2(a->text(QAccessible::Description) == tip, qPrintable(ctl.key));
        }
        QCOMPARE(iface("btnYes")->text(QAccessible::Name), QStringLiteral("Enter Order"));
        QCOMPARE(iface("lblTBondPos")->text(QAccessible::Name), QStringLiteral("T-Bond position"));
        QCOMPARE(iface("lblEq")->text(QAccessible::Description), QStringLiteral("Current Account Value"));
        click(w, "btnTrade");
        click(w, "btnOil");
        click(w, "btnBuy");
        QCOMPARE(iface("inputUnits")->text(QAccessible::Name), QStringLiteral("Number of Contracts to Buy"));
        QTest::keyClicks(w.widget(QStringLiteral("inputUnits")), QStringLiteral("3"));
        QTest::keyClick(w.widget(QStringLiteral("inputUnits")), Qt::Key_Return);
        click(w, "btnYes");
        const QString before = iface("lblOilCurrMark")->text(QAccessible::Value);
        click(w, "btnChangePeriod");
        for (const char* k : {"lblOilCurrMark", "lblGoldCurrMark", "lblOilPos", "lblEq", "lblUPL", "lblTotTrades"}) {
            const QString value = iface(QString::fromLatin1(k))->text(QAccessible::Value);
            QCOMPARE(value, displayText(rig.game.model().text(QString::fromLatin1(k))));
            QCOMPARE(value, static_cast<QLabel*>(w.widget(QString::fromLatin1(k)))->text());
        }
        QVERIFY(iface("lblOilCurrMark")->text(QAccessible::Value) != before);
        QCOMPARE(iface("lblOilPos")->text(QAccessible::Value), QStringLiteral("3"));
    }

    // A whole Daily game by keys alone, its windows included: set up through
    // the setup window, a purchase, a sale, a refusal, a cancelled order, the
    // trade report, Forward to the end, End in the last window.
    void aWholeGameByKeys() {
        KeyRig rig(db_);
        KeyAnswers answers;
        answers.plan(QStringLiteral("frmDisclaimer"), [](QWidget* d) { KeyAnswers::press(d, Qt::Key_A, Qt::AltModifier); });
        answers.plan(QStringLiteral("frmTimePeriod"), [](QWidget* d) {
            auto inFrame = [](const char* frame) {
                QWidget* f = QApplication::focusWidget();
                return f && f->parentWidget() && f->parentWidget()->objectName() == QLatin1String(frame);
            };
            // Tab to the length options, arrows to One Month, Space to choose it.
            for (int i = 0; i < 20 && !inFrame("Frame2"); ++i) KeyAnswers::press(d, Qt::Key_Tab);
            auto* month = d->findChild<QRadioButton*>(QStringLiteral("OptMonth"));
            for (int i = 0; i < 3 && QApplication::focusWidget() != month; ++i) KeyAnswers::press(d, Qt::Key_Up);
            KeyAnswers::press(d, Qt::Key_Space);
            for (int i = 0; i < 20 && QApplication::focusWidget()->objectName() != QLatin1String("Combo2"); ++i)
                KeyAnswers::press(d, Qt::Key_Tab);
            // The years run from 1984: six down from the first is 1990.
            KeyAnswers::press(d, Qt::Key_Home);
            for (int i = 0; i < 6; ++i) KeyAnswers::press(d, Qt::Key_Down);
            KeyAnswers::press(d, Qt::Key_B, Qt::AltModifier);
        });
        answers.plan(QStringLiteral("frmGameOver"), [](QWidget* d) { KeyAnswers::press(d, Qt::Key_E, Qt::AltModifier); });
        // Escape closes a notice as its OK would.
        for (const char* notice : {"frmTradeConfirmation", "frmPlayerNotification"})
            answers.plan(QString::fromLatin1(notice), [](QWidget* d) { KeyAnswers::press(d, Qt::Key_Escape); });

        showActive(rig.window);
        rig.window.startUp();
        QCOMPARE(answers.seen.mid(0, 2), (QStringList{"frmAboutKestrow", "frmDisclaimer"}));

        // Game > Start, by its shortcut.
        key(rig, Qt::Key_N, Qt::ControlModifier);
        const GameState& s = rig.game.state();
        QTRY_VERIFY(s.clock.startDate() == QDate(1990, 1, 1) && button(rig.window, "btnChangePeriod")->isEnabled());
        QCOMPARE(s.settings.level, Level::Expert);
        QCOMPARE(s.clock.endDate(), QDate(1990, 2, 1));

        alt(rig, Qt::Key_F);
        alt(rig, Qt::Key_F);
        QCOMPARE(focused(rig), QStringLiteral("btnChangePeriod"));

        // Buy 5 Oil by access keys, Enter in the box, Enter Order.
        alt(rig, Qt::Key_T);
        QCOMPARE(focused(rig), QStringLiteral("btnOil"));
        alt(rig, Qt::Key_O);
        QCOMPARE(focused(rig), QStringLiteral("btnBuy"));
        alt(rig, Qt::Key_B);
        QCOMPARE(focused(rig), QStringLiteral("inputUnits"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        key(rig, Qt::Key_Return);
        QVERIFY2(text(rig, "lblorderverify").startsWith(QStringLiteral("Is this order correct? Buy 5 Oil @ $")),
                 qPrintable(text(rig, "lblorderverify")));
        QCOMPARE(focused(rig), QStringLiteral("btnYes"));
        alt(rig, Qt::Key_E);
        QCOMPARE(answers.seen.last(), QStringLiteral("frmTradeConfirmation"));
        const float oilPrice = s.desk.trades.records().value(0).price;

        // Sell 2 Gold: Tab in the box, Enter on the focused Enter Order.
        alt(rig, Qt::Key_T);
        alt(rig, Qt::Key_G);
        alt(rig, Qt::Key_S);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
        key(rig, Qt::Key_Tab);
        QCOMPARE(focused(rig), QStringLiteral("btnYes"));
        key(rig, Qt::Key_Return);
        QCOMPARE(s.desk.tradeCount(), 2);

        // A refused purchase of Cattle, then Hold.
        alt(rig, Qt::Key_T);
        alt(rig, Qt::Key_C);
        alt(rig, Qt::Key_B);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("-3"));
        key(rig, Qt::Key_Return);
        QCOMPARE(answers.seen.last(), QStringLiteral("frmPlayerNotification"));
        QCOMPARE(focused(rig), QStringLiteral("btnBuy"));
        alt(rig, Qt::Key_H);
        QCOMPARE(focused(rig), QStringLiteral("btnTrade"));

        // Soybean bought, read back, cancelled.
        alt(rig, Qt::Key_T);
        alt(rig, Qt::Key_B);
        QCOMPARE(focused(rig), QStringLiteral("btnBuy"));
        alt(rig, Qt::Key_B);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
        key(rig, Qt::Key_Return);
        QVERIFY(text(rig, "lblorderverify").contains(QStringLiteral("Soybean")));
        alt(rig, Qt::Key_C);
        QVERIFY(!button(rig.window, "btnNo")->isVisible());

        // Escape backs out of an order at each step, to the desk as Trade
        // found it: market, side, units, read-back.
        for (int step = 0; step < 4; ++step) {
            alt(rig, Qt::Key_T);
            if (step > 0) alt(rig, Qt::Key_G);
            if (step > 1) alt(rig, Qt::Key_B);
            if (step > 2) {
                QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
                key(rig, Qt::Key_Return);
                QCOMPARE(focused(rig), QStringLiteral("btnYes"));
            }
            key(rig, Qt::Key_Escape);
            QCOMPARE(s.desk.state, OrderState::ChangePeriod);
            QCOMPARE(focused(rig), QStringLiteral("btnTrade"));
            QVERIFY(!button(rig.window, "btnGold")->isVisible() && !button(rig.window, "btnBuy")->isVisible());
        }

        // The trade report and back, by its button and by Escape.
        for (const Qt::Key close : {Qt::Key_C, Qt::Key_Escape}) {
            alt(rig, Qt::Key_R);
            QCOMPARE(focused(rig), QStringLiteral("btnCloseTradeHistory"));
            key(rig, close, close == Qt::Key_C ? Qt::AltModifier : Qt::NoModifier);
            QVERIFY(button(rig.window, "btnChangePeriod")->isEnabled());
        }

        // Forward to the end of the month; End in the Game Over window.
        for (int i = 0; i < 40 && !rig.game.ended(); ++i) alt(rig, Qt::Key_F);
        QVERIFY(rig.game.ended());
        QCOMPARE(answers.seen.last(), QStringLiteral("frmGameOver"));
        QVERIFY(!answers.seen.join(' ').contains(QStringLiteral("stalled")));

        // What the keys did, and nothing else: two fills at the prices confirmed.
        const Account& a = s.desk.account;
        QCOMPARE(a.position(Market::Oil), 5.0f);
        QCOMPARE(a.position(Market::Gold), -2.0f);
        QCOMPARE(a.position(Market::Cattle) + a.position(Market::Soybean), 0.0f);
        QCOMPARE(s.desk.trades.records().at(0).price, oilPrice);
        QCOMPARE(text(rig, "lblTotTrades"), QStringLiteral("2"));
    }
};

} // namespace

QObject* pellucar::uitest::makeAccessSuite() { return new AccessTest; }

#include "tst_access.moc"
