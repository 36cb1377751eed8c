#pragma once
#include "app/state/game_state.h"
#include "trading/working_orders.h"

#include <QString>
#include <optional>
#include <vector>

namespace pellucar {

// The order ticket of the Trainer rules as the player fills it in: the
// fields' texts as typed, read into an order and its risk here, so the
// window only shows what this says.

// How the stop-loss and target fields are read: prices, or distances from
// the entry in ticks or in dollars per contract.
enum class ExitUnit { Price, Ticks, Dollars };

struct TicketInput {
    Market market = Market::Oil;
    Side side = Side::Buy;
    QString units;
    OrderType type = OrderType::Limit;
    QString price; // ignored for a market order
    QString stopLoss, target;
    ExitUnit exitUnit = ExitUnit::Price;
    TimeInForce tif = TimeInForce::UntilCancelled;
};

struct TicketReading {
    // The order the fields make, when they make one (the rules may still refuse it).
    std::optional<OrderRequest> request;
    // Why the fields make no order yet (empty when they do).
    QString problem;
    // The loss if the stop-loss fills at its price: "$250.00 (0.25 % of the
    // account)", or why none can be told.
    QString risk;
    // The entry price the exits are measured from (the quote for a market order).
    double entry = 0;
};

// Reads the fields against the game as it stands: the quote a market entry
// fills near and the account value the risk is a share of.
TicketReading readTicket(const TicketInput& in, const GameState& s);

// An order's line on the price chart: "Buy 5 LMT 14.50" ("(waits)" for a
// bracket's exit that waits for its entry).
QString orderLineLabel(const WorkingOrder& o, const QString& priceText);

// A price asked for by dragging an order's line: the nearest price of the
// market's grid, and never below one tick.
double snappedOrderPrice(Market m, double asked);
// An order's price moved `ticks` steps of its market's grid (never below one tick).
double priceTicksAway(Market m, double price, int ticks);

// What the last press's orders did, for the fills line on the desk:
// "Filled: Buy 5 Oil LMT at 14.48; Sell 5 Oil STP at 13.90", empty when
// nothing filled or went.
QString fillsLine(const std::vector<OrderEvent>& events);

} // namespace pellucar
