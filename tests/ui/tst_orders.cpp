// The Trainer's orders on the desk, played as a player does: keys in the order ticket and the list of working
// orders, the mouse on an order's line on the price chart.
#include "app/view/ticket_presenter.h"
#include "common/format.h"
#include "tst_suites.h"
#include "ui/order_ticket.h"
#include "ui/working_orders_window.h"

#include <cmath>

using namespace pellucar;
using namespace pellucar::ui;
using pellucar::uitest::child;

namespace {

struct TrainerRig : uitest::WindowRig {
    TrainerRig() {
        dialogs.setup.rules = QStringLiteral("Trainer");
        startGame(1);
        QApplication::processEvents();
    }
    double oilBuyQuote() const { return game.state().prices.buyQuote[index(Market::Oil)]; }
    // A Buy limit of Oil half a dollar under the quote, placed as the ticket would.
    int placeLimit() {
        OrderRequest r;
        r.units = 5;
        r.price = std::round(oilBuyQuote() * 100) / 100 - 0.5;
        int id = 0;
        if (!game.placeOrder(r, &id).isEmpty()) return 0;
        window.sync();
        QApplication::processEvents();
        return id;
    }
};

class OrdersTest : public QObject {
    Q_OBJECT
private slots:
    void classicGameHasNoOrderWindows() {
        uitest::WindowRig rig;
        rig.startGame(1);
        QVERIFY(!rig.window.action("mnuOrderTicket")->isVisible());
        QVERIFY(!rig.widget("lblOrderFills")->isVisible());
        QTest::keyClick(&rig.window, Qt::Key_F6);
        QVERIFY(!rig.window.orderTicket());
    }

    // F6, the fields by their access keys, Enter: a bracket rests, its risk told first.
    void ticketFromTheKeyboard() {
        TrainerRig rig;
        QTest::keyClick(&rig.window, Qt::Key_F6);
        OrderTicket* t = rig.window.orderTicket();
        QVERIFY(t && t->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), t);
        QCOMPARE(child<QComboBox>(t, "cboTicketMarket")->currentText(), QStringLiteral("Oil")); // the charted market
        const double limit = std::round(rig.oilBuyQuote() * 100) / 100 - 0.5;
        const auto fill = [t](Qt::Key key, const QString& text) {
            QTest::keyClick(t, key, Qt::AltModifier);
            QTest::keyClicks(QApplication::focusWidget(), text);
        };
        fill(Qt::Key_Q, "5");
        fill(Qt::Key_P, QString::number(limit, 'f', 2));
        fill(Qt::Key_L, QString::number(limit - 0.5, 'f', 2));
        // Half a dollar on five contracts of $1,000 a point.
        QVERIFY2(child<QLabel>(t, "lblTicketRisk")->text().startsWith("$2,500.00 ("),
                 qPrintable(child<QLabel>(t, "lblTicketRisk")->text()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        const std::vector<WorkingOrder> orders = rig.game.workingOrders().list();
        QCOMPARE(orders.size(), size_t(2)); // the entry and its waiting stop-loss
        QCOMPARE(orders[0].price, limit);
        QCOMPARE(child<QLabel>(t, "lblTicketStatus")->text(), QStringLiteral("Order 1 sent"));

        // Refused by the rules: told in the ticket, nothing changes.
        fill(Qt::Key_Q, "300"); // the field's text taken whole by its access key
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(child<QLabel>(t, "lblTicketStatus")->text().contains("Position Limit"));
        QCOMPARE(rig.game.workingOrders().size(), 2);

        // A market order fills at once: the fills line and Trade History show it.
        QTest::keyClick(t, Qt::Key_Y, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home); // Market
        fill(Qt::Key_L, "");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        fill(Qt::Key_Q, "1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY2(rig.text("lblOrderFills").startsWith("Filled: Buy 1 Oil MKT at "),
                 qPrintable(rig.text("lblOrderFills")));
        QCOMPARE(rig.game.state().desk.trades.count(), 1);
        QTest::keyClick(t, Qt::Key_Escape);
        QVERIFY(!t->isVisible());
    }

    // F7 lists the orders; Ctrl+Up moves the chosen one a tick, Alt+D cancels it.
    void workingOrdersChangedAndCancelledFromTheList() {
        TrainerRig rig;
        const int id = rig.placeLimit();
        QVERIFY(id > 0);
        const double before = rig.game.workingOrders().find(id)->price;
        QTest::keyClick(&rig.window, Qt::Key_F7);
        WorkingOrdersWindow* w = rig.window.workingOrdersWindow();
        QVERIFY(w && w->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), w);
        auto* list = child<QTableWidget>(w, "gridWorkingOrders");
        QCOMPARE(list->rowCount(), 1);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home); // the first row chosen
        QCOMPARE(w->chosenOrder(), id);
        QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(rig.game.workingOrders().find(id)->price, std::round((before + 0.02) * 100) / 100);
        QCOMPARE(list->item(0, 5)->text(), formatPlain(rig.game.workingOrders().find(id)->price));
        QTest::keyClick(w, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(rig.game.workingOrders().empty()); // an access key presses the button once its look is shown
        QCOMPARE(list->rowCount(), 0);
    }

    // The order's line on the price chart, dragged down: the order asks the price it was let go at, on the grid.
    void orderLineDraggedOnTheChart() {
        TrainerRig rig;
        const int id = rig.placeLimit();
        QVERIFY(id > 0);
        const double before = rig.game.workingOrders().find(id)->price;
        auto* pane = static_cast<GameChartView*>(rig.widget("GraphLeft"));
        QVERIFY(pane->canvas());
        ChartCanvas* canvas = pane->canvas();
        QTRY_COMPARE(canvas->orderLabelRects().size(), qsizetype(1));
        const int last = static_cast<int>(pane->chartData().points.size()) - 1;
        const QPoint on = pane->viewportPosOf(last, before);
        const QPoint to = pane->viewportPosOf(last, before - 0.3);
        QCOMPARE(canvas->orderLineAt(on), id);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, {}, on);
        QTest::mouseMove(canvas->viewport(), (on + to) / 2);
        QTest::mouseMove(canvas->viewport(), to);
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, {}, to);
        const double after = rig.game.workingOrders().find(id)->price;
        // Within a pixel's worth of the place let go, and on the cent.
        QVERIFY2(std::abs(after - (before - 0.3)) < 0.05, qPrintable(QString::number(after)));
        QCOMPARE(after, snappedOrderPrice(Market::Oil, after));
        QCOMPARE(rig.game.state().desk.decisions.size(), 2); // the order and its one change
    }
};

} // namespace

QObject* pellucar::uitest::makeOrdersSuite() { return new OrdersTest; }

#include "tst_orders.moc"
