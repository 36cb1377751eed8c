#pragma once
#include "common/market.h"
#include "trading/account.h"
#include "trading/order_limits.h"
#include "trading/side.h"
#include "trading/trade_journal.h"
#include "trading/trade_log.h"
#include "trading/working_orders.h"

#include <QList>
#include <vector>

#include <optional>

namespace pellucar {

// Whose fill an order is: the player's, confirmed to the player, or a
// margin call's mandatory trade, filled without asking and marked in the
// record.
enum class Fill { Player, MarginCall };

// The arrangements of the trader-input panel, one per step of an order.
enum class OrderState { ChangePeriod, Trade, GetUnits, CorrOrd, TradeConfirmation, Restart };

// The order being entered: filled step by step on the trading desk and
// cleared after it is executed or dropped.
struct PendingOrder {
    std::optional<Market> market;
    std::optional<Side> side;
    float units = 0; // signed: positive buy, negative sell
    double fillPrice = 0;
    // The market's button was pressed (an Expert's always is; a Novice's
    // Oil is chosen for him, and his button stays free until he presses it).
    bool marketPressed = false;
    bool operator==(const PendingOrder&) const = default;
};

// A decision of the player on the working orders (Trainer rules), kept with
// the period and the number of trades made before it, so that a resumed game
// makes it again at the same point.
struct OrderDecision {
    enum class Kind { Place, ChangePrice, ChangeUnits, Cancel };
    Kind kind = Kind::Place;
    int period = 0;
    int tradesBefore = 0;
    OrderRequest request; // Place
    int id = 0;           // the others: the order
    double price = 0;     // ChangePrice
    int units = 0;        // ChangeUnits
    bool operator==(const OrderDecision&) const = default;
};

// Everything the trading desk owns: the account with its positions and
// lots, the order limits and maxima, the record of trades, and the order
// being entered.
struct TradingDesk {
    Account account;
    OrderLimits limits;
    TradeLog trades;
    // The player's notes on the trades of the record.
    TradeJournal journal;
    PendingOrder pending;
    OrderState state = OrderState::ChangePeriod;
    // The commissions an Expert has run up since the program started (no
    // new game resets them).
    float commissionTotal = 0;
    // Trainer rules: the working orders, the player's decisions on them, and
    // what the last Forward press did to them (fills, cancellations).
    WorkingOrders orders;
    QList<OrderDecision> decisions;
    std::vector<OrderEvent> lastOrderEvents;
    int lastFillPeriod = 0; // the period the press last filled orders in (a game's last press fills none)

    int tradeCount() const { return trades.count(); }
    void clearOrder() { pending = PendingOrder{}; }
    bool operator==(const TradingDesk&) const = default;
};

} // namespace pellucar
