#pragma once
#include "common/market.h"
#include "trading/side.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace pellucar {

// Resting orders of the Trainer rules: orders that wait for a price and fill
// against the range of a later period.
//
// A market order fills at the period's open; a limit at its price or better;
// a stop once the period trades at or through its price. The period's range is
// read as a path that starts at the open and passes every price between the
// low and the high, so a gap through the price fills at the open and a touch
// fills at the price itself.

enum class OrderType { Market, Limit, Stop };
// Until cancelled, or the first period the order can fill in only.
enum class TimeInForce { UntilCancelled, ThisPeriod };
// A plain order or a bracket's entry, or one of a bracket's two exits.
enum class OrderRole { Entry, StopLoss, Target };

// "Market", "Limit", "Stop"; "GTC", "Day".
QString orderTypeName(OrderType type);
QString timeInForceName(TimeInForce tif);

// One period's prices of one market. A period the data holds a single price
// for has that price as open, high, low and close.
struct PeriodRange {
    double open = 0, high = 0, low = 0, close = 0;
    static PeriodRange single(double price) { return {price, price, price, price}; }
    bool operator==(const PeriodRange&) const = default;
};

// The price an order of `type` and `side` at `price` (ignored for a market
// order) fills at in a period of range `r`, or none. Prices are compared
// through binary noise, so a low read as 60.4249999 touches a limit of 60.425.
std::optional<double> fillPrice(OrderType type, Side side, double price, const PeriodRange& r);

// The commission of one fill of `contracts` contracts: half the round-turn
// rate per contract, in whole cents.
inline constexpr double kDefaultCommissionPerRoundTurn = 25;
double commissionAtFill(int contracts, double ratePerRoundTurn);

struct WorkingOrder {
    int id = 0;
    Market market = Market::Oil;
    Side side = Side::Buy;
    int units = 0;
    OrderType type = OrderType::Limit;
    double price = 0; // limit or stop price; 0 for a market order
    TimeInForce tif = TimeInForce::UntilCancelled;
    OrderRole role = OrderRole::Entry;
    int entry = 0;         // an exit: its bracket's entry (0 once the entry has filled)
    int other = 0;         // an exit: the other exit of its bracket (0: none)
    int periodEntered = 0; // the period it was entered or last changed in; fills only in later ones
    bool operator==(const WorkingOrder&) const = default;

    // A bracket's exit waits, not working, until its entry fills.
    bool waiting() const { return entry != 0; }
};

// One line for a list of working orders: "3 Sell 5 Oil Stop 19.5 GTC
// stop-loss of 1 (waits)".
QString orderText(const WorkingOrder& o);

// Why a request or a change was not taken.
enum class OrderProblem {
    None,
    NoSuchOrder,
    BadUnits,       // not between 1 and the market's transaction limit
    BadPrice,       // not positive, or off the market's tick grid
    MarketHasPrice, // a price given for a market order
    ExitSide,       // the stop-loss or the target on the wrong side of the entry
    NotChangeable,  // a waiting exit's size follows its entry
};
// What the player asks for: an order, or a bracket when a stop-loss or a
// target is given. The exits of a bracket are good until cancelled whatever
// the entry's time in force, so a filled position is never left unprotected.
struct OrderRequest {
    Market market = Market::Oil;
    Side side = Side::Buy;
    int units = 0;
    OrderType type = OrderType::Limit;
    double price = 0;
    TimeInForce tif = TimeInForce::UntilCancelled;
    std::optional<double> stopLoss{}, target{};
    bool isBracket() const { return stopLoss.has_value() || target.has_value(); }
    bool operator==(const OrderRequest&) const = default;
};
// What no player could enter whatever the market did: a size or a price off
// the market's limits and grid, a price on a market order, exits on the wrong
// side of the entry (`reference` stands for a market entry's price).
OrderProblem requestProblem(const OrderRequest& r, double reference);

QString orderProblemText(OrderProblem problem, Market m);

// One candidate fill, offered to the game in the fixed order.
struct OrderFill {
    int id = 0;
    Market market = Market::Oil;
    Side side = Side::Buy;
    int units = 0;
    OrderType type = OrderType::Limit;
    OrderRole role = OrderRole::Entry;
    double asked = 0; // the order's price (0 for a market order)
    double price = 0; // the fill price
};

// What a period did to the working orders, in the order it happened.
enum class OrderEventKind {
    Filled,
    Refused,         // the game did not execute the fill (a limit would break): cancelled
    Expired,         // this-period order not filled
    OneCancelsOther, // the other exit of a filled exit
    WithEntry,       // a waiting exit whose entry was cancelled or refused
};
struct OrderEvent {
    OrderEventKind kind = OrderEventKind::Filled;
    WorkingOrder order; // as it was before the event
    double price = 0;   // Filled, Refused: the fill price
    bool operator==(const OrderEvent&) const = default;
};

// The prices of one period by market in trading order; a market without one
// (not traded in this game, or no price this period) fills nothing.
using PeriodRanges = std::array<std::optional<PeriodRange>, kMarketCount>;

// The player's working orders. Ids rise from 1 in the order of entry (a
// bracket takes three: entry, stop-loss, target) and are never reused.
//
// A period fills orders market by market in trading order and, in each
// market, by id; a bracket's stop-loss precedes its target, so when one range
// reaches both the stop fills and the target is cancelled. The owner decides
// which orders fill and at what price; the game executes each fill (and may
// refuse it) through the callback.
class WorkingOrders {
public:
    WorkingOrders() = default;
    // A copy holds the same orders under the same revision. A book that takes
    // another's orders, or gives its own away, has changed like any other:
    // see revision().
    WorkingOrders(const WorkingOrders&) = default;
    WorkingOrders(WorkingOrders&& o) noexcept;
    WorkingOrders& operator=(const WorkingOrders& o);
    WorkingOrders& operator=(WorkingOrders&& o) noexcept;

    // The game's answer to a candidate fill: true when it was executed.
    using Execute = std::function<bool(const OrderFill&)>;

    // Checks and enters a request in period `period`. `reference` is the
    // price a market entry is expected near (the current quote), used to
    // check the side of its exits. Returns the entry's id, or 0 with *problem set.
    int place(const OrderRequest& request, int period, double reference, OrderProblem* problem = nullptr);
    // A bracket whose market entry the game has just executed: its exits start
    // working sized to `filledUnits`, from the next period on.
    void entryExecuted(int entryId, int filledUnits, int period);
    // Price of a limit or stop order; a waiting exit's price may change too.
    OrderProblem changePrice(int id, double price, int period);
    // Size of a working order (a waiting exit's size follows its entry).
    OrderProblem changeUnits(int id, int units, int period);
    // Cancels an order; an entry takes its waiting exits with it. Returns the
    // orders removed, in id order.
    std::vector<WorkingOrder> cancel(int id);
    // Cancels every order of `m` (a mandatory trade liquidates it).
    std::vector<WorkingOrder> cancelMarket(Market m);
    void clear() { orders_.clear(), nextId_ = 1, changed(); }

    // Fills the orders that period `period` reaches. Orders entered or changed
    // in `period` or later are left alone. The callback must not call back
    // into this object.
    std::vector<OrderEvent> step(int period, const PeriodRanges& ranges, const Execute& execute);

    // The orders by market in trading order, then by id.
    std::vector<WorkingOrder> list() const;
    // The orders by id, markets mixed: list() without its sorted copy.
    const std::vector<WorkingOrder>& byId() const { return orders_; }
    const WorkingOrder* find(int id) const;
    bool empty() const { return orders_.empty(); }
    int size() const { return static_cast<int>(orders_.size()); }
    int nextId() const { return nextId_; }

    // Grows at every change of this book, a rewind's or a Resume's orders
    // taken in included, so it never comes back: a reader that watches one
    // book and keeps what it made of the orders checks this alone.
    std::uint64_t revision() const { return revision_; }

    bool operator==(const WorkingOrders& o) const { return orders_ == o.orders_ && nextId_ == o.nextId_; }

private:
    void changed();
    WorkingOrder* findMutable(int id);
    void remove(int id);

    std::vector<WorkingOrder> orders_; // by id
    int nextId_ = 1;
    std::uint64_t revision_ = 0;
};

} // namespace pellucar
