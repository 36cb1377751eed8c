// The main window's Trainer order windows: the ticket, the list of working
// orders, and the order lines dragged on the price chart.
#include "app/game/game.h"
#include "app/view/ticket_presenter.h"
#include "ui/color_scheme.h"
#include "ui/kestrow.h"
#include "ui/order_ticket.h"
#include "ui/qt_dialogs.h"
#include "ui/working_orders_window.h"

#include <QAction>

namespace pellucar::ui {

void Kestrow::addOrderWindows() {
    QAction* ticket = action(QLatin1String(keys::kOrderTicket));
    QAction* list = action(QLatin1String(keys::kWorkingOrders));
    ticket->setShortcut(QKeySequence(Qt::Key_F6));
    list->setShortcut(QKeySequence(Qt::Key_F7));
    // The game hears of the press first (createMenus); the window opens once
    // it has (an item the game disabled sends no trigger).
    connect(ticket, &QAction::triggered, this, [this] {
        if (!ticket_)
            ticket_ = new OrderTicket(
                game_,
                [this](const OrderRequest& r) { return orderDecision([&r](Game& g) { return g.placeOrder(r); }); },
                this);
        Market charted = Market::Oil;
        marketFromId(game_.state().chart.chartMarket(), &charted);
        if (!ticket_->isVisible()) ticket_->setMarket(charted);
        ticket_->refresh(); // a closed window was not read again as the game moved
        openOrderWindow(ticket_);
    });
    connect(list, &QAction::triggered, this, [this] {
        if (!ordersWindow_)
            ordersWindow_ = new WorkingOrdersWindow(
                game_, [this](const std::function<QString(Game&)>& d) { return orderDecision(d); }, this);
        ordersWindow_->refresh();
        openOrderWindow(ordersWindow_);
    });
}

OrderTicket* Kestrow::orderTicket() const { return ticket_; }
WorkingOrdersWindow* Kestrow::workingOrdersWindow() const { return ordersWindow_; }

void Kestrow::recolorOrderWindows() {
    if (ticket_) dialogs_.colors().applyToDialog(ticket_);
    if (ordersWindow_) dialogs_.colors().applyToDialog(ordersWindow_);
}

void Kestrow::openOrderWindow(QDialog* window) {
    dialogs_.colors().applyToDialog(window);
    window->show();
    window->raise();
    window->activateWindow();
}

void Kestrow::refreshOrderWindows() {
    if (ticket_ && ticket_->isVisible()) ticket_->refresh();
    if (ordersWindow_ && ordersWindow_->isVisible()) ordersWindow_->refresh();
}

void Kestrow::orderLineMoved(int id, double price) {
    const WorkingOrder* o = game_.workingOrders().find(id);
    if (!o) return;
    // Let go between two prices of the grid: the nearer one is asked for.
    const double asked = snappedOrderPrice(o->market, price);
    if (asked == o->price) return;
    orderDecision([id, asked](Game& g) { return g.changeOrderPrice(id, asked); });
}

} // namespace pellucar::ui
