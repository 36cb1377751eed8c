#include "trading/working_orders.h"

#include "common/format.h"
#include "trading/contract_terms.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pellucar {

QString orderTypeName(OrderType type) {
    switch (type) {
    case OrderType::Market: return QStringLiteral("Market");
    case OrderType::Limit: return QStringLiteral("Limit");
    case OrderType::Stop: return QStringLiteral("Stop");
    }
    return {};
}

QString timeInForceName(TimeInForce tif) {
    return tif == TimeInForce::ThisPeriod ? QStringLiteral("Day") : QStringLiteral("GTC");
}

namespace {

// Prices are decimals read into binary, some (the recorded ones) in single
// precision: two readings of one decimal differ by less than this share of
// the price (a float's is 6e-8), and two prices a tick apart by far more (a
// tick is at least 5e-5 of any price the markets have traded at).
constexpr double kPriceNoise = 1e-6;

bool atOrBelow(double a, double b) { return a <= b + kPriceNoise * std::abs(b); }
bool atOrAbove(double a, double b) { return a >= b - kPriceNoise * std::abs(b); }

} // namespace

std::optional<double> fillPrice(OrderType type, Side side, double price, const PeriodRange& r) {
    const bool buy = side == Side::Buy;
    switch (type) {
    case OrderType::Market: return r.open;
    case OrderType::Limit:
        // A buy limit takes the open when it is already as cheap, else the
        // limit once the low comes down to it; a sale mirrors.
        if (buy ? atOrBelow(r.open, price) : atOrAbove(r.open, price)) return r.open;
        if (buy ? atOrBelow(r.low, price) : atOrAbove(r.high, price)) return price;
        return std::nullopt;
    case OrderType::Stop:
        // A buy stop is triggered by an open at or above it (and fills there,
        // the gap's cost), else by the high reaching it; a sale mirrors.
        if (buy ? atOrAbove(r.open, price) : atOrBelow(r.open, price)) return r.open;
        if (buy ? atOrAbove(r.high, price) : atOrBelow(r.low, price)) return price;
        return std::nullopt;
    }
    return std::nullopt;
}

double commissionAtFill(int contracts, double ratePerRoundTurn) {
    return roundDecimal(contracts * ratePerRoundTurn / 2, 2);
}

QString orderText(const WorkingOrder& o) {
    QString text = QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(o.id)
                       .arg(sideName(o.side))
                       .arg(o.units)
                       .arg(marketName(o.market), orderTypeName(o.type));
    if (o.type != OrderType::Market) text += u' ' + formatPlain(o.price);
    text += u' ' + timeInForceName(o.tif);
    if (o.role != OrderRole::Entry)
        text += (o.role == OrderRole::StopLoss ? QStringLiteral(" stop-loss") : QStringLiteral(" target"));
    if (o.waiting()) text += QStringLiteral(" of %1 (waits)").arg(o.entry);
    return text;
}

QString orderProblemText(OrderProblem problem, Market m) {
    const ContractTerms& terms = contractTerms(m);
    switch (problem) {
    case OrderProblem::None: return {};
    case OrderProblem::NoSuchOrder: return QStringLiteral("There is no such working order");
    case OrderProblem::BadUnits:
        return QStringLiteral("%1 orders are for 1 to %2 contracts").arg(marketName(m)).arg(terms.transactionLimit);
    case OrderProblem::BadPrice: {
        const QString tick = m == Market::TBond ? QStringLiteral("1/32") : formatPlain(terms.tick);
        return QStringLiteral("%1 prices are positive and move in steps of %2").arg(marketName(m), tick);
    }
    case OrderProblem::MarketHasPrice: return QStringLiteral("A market order has no price");
    case OrderProblem::ExitSide:
        return QStringLiteral(
            "The stop-loss must lie on the losing side of the entry and the target on the winning side");
    case OrderProblem::NotChangeable: return QStringLiteral("A bracket's exit takes the size of its entry's fill");
    }
    return {};
}

namespace {

bool goodUnits(Market m, int units) { return units >= 1 && units <= contractTerms(m).transactionLimit; }
bool goodPrice(Market m, double price) { return price > 0 && onTickGrid(m, price); }

// A buy's stop-loss lies below the entry and its target above; a sale's mirror.
bool exitsOnTheirSides(const OrderRequest& r, double entryPrice) {
    const bool buy = r.side == Side::Buy;
    if (r.stopLoss && (buy ? atOrAbove(*r.stopLoss, entryPrice) : atOrBelow(*r.stopLoss, entryPrice))) return false;
    if (r.target && (buy ? atOrBelow(*r.target, entryPrice) : atOrAbove(*r.target, entryPrice))) return false;
    return true;
}

} // namespace

OrderProblem requestProblem(const OrderRequest& r, double reference) {
    if (!goodUnits(r.market, r.units)) return OrderProblem::BadUnits;
    if (r.type == OrderType::Market) {
        if (r.price != 0) return OrderProblem::MarketHasPrice;
    } else if (!goodPrice(r.market, r.price)) {
        return OrderProblem::BadPrice;
    }
    for (const std::optional<double>& exit : {r.stopLoss, r.target})
        if (exit && !goodPrice(r.market, *exit)) return OrderProblem::BadPrice;
    if (!exitsOnTheirSides(r, r.type == OrderType::Market ? reference : r.price)) return OrderProblem::ExitSide;
    return OrderProblem::None;
}

namespace {

Side opposite(Side s) { return s == Side::Buy ? Side::Sell : Side::Buy; }

} // namespace

int WorkingOrders::place(const OrderRequest& r, int period, double reference, OrderProblem* problem) {
    changed();
    const OrderProblem p = requestProblem(r, reference);
    if (problem) *problem = p;
    if (p != OrderProblem::None) return 0;
    const int entryId = nextId_++;
    WorkingOrder entry{entryId, r.market, r.side, r.units, r.type, r.price, r.tif};
    entry.periodEntered = period;
    orders_.push_back(entry);
    if (!r.isBracket()) return entryId;
    // The stop-loss takes the lower id: where one period reaches both exits
    // the fill order makes the stop fill and cancel the target.
    const int stopId = r.stopLoss ? nextId_++ : 0;
    const int targetId = r.target ? nextId_++ : 0;
    const auto exit = [&](int id, OrderType type, double price, OrderRole role, int other) {
        WorkingOrder o{id, r.market, opposite(r.side), r.units, type, price, TimeInForce::UntilCancelled, role};
        o.entry = entryId;
        o.other = other;
        o.periodEntered = period;
        orders_.push_back(o);
    };
    if (stopId) exit(stopId, OrderType::Stop, *r.stopLoss, OrderRole::StopLoss, targetId);
    if (targetId) exit(targetId, OrderType::Limit, *r.target, OrderRole::Target, stopId);
    return entryId;
}

WorkingOrders::WorkingOrders(WorkingOrders&& o) noexcept
    : orders_(std::move(o.orders_)), nextId_(o.nextId_), revision_(o.revision_) {
    o.clear();
}

WorkingOrders& WorkingOrders::operator=(const WorkingOrders& o) {
    if (this != &o) {
        orders_ = o.orders_;
        nextId_ = o.nextId_;
        revision_ = std::max(revision_, o.revision_) + 1;
    }
    return *this;
}

WorkingOrders& WorkingOrders::operator=(WorkingOrders&& o) noexcept {
    if (this != &o) {
        orders_ = std::move(o.orders_);
        nextId_ = o.nextId_;
        revision_ = std::max(revision_, o.revision_) + 1;
        o.clear();
    }
    return *this;
}

void WorkingOrders::changed() { ++revision_; }

WorkingOrder* WorkingOrders::findMutable(int id) {
    const auto it = std::lower_bound(orders_.begin(), orders_.end(), id,
                                     [](const WorkingOrder& o, int wanted) { return o.id < wanted; });
    return it != orders_.end() && it->id == id ? &*it : nullptr;
}

const WorkingOrder* WorkingOrders::find(int id) const { return const_cast<WorkingOrders*>(this)->findMutable(id); }

void WorkingOrders::remove(int id) {
    std::erase_if(orders_, [id](const WorkingOrder& o) { return o.id == id; });
}

void WorkingOrders::entryExecuted(int entryId, int filledUnits, int period) {
    changed();
    for (WorkingOrder& o : orders_) {
        if (o.entry != entryId) continue;
        o.entry = 0;
        o.units = filledUnits;
        o.periodEntered = period;
    }
    remove(entryId);
}

OrderProblem WorkingOrders::changePrice(int id, double price, int period) {
    changed();
    WorkingOrder* o = findMutable(id);
    if (!o) return OrderProblem::NoSuchOrder;
    if (o->type == OrderType::Market) return OrderProblem::MarketHasPrice;
    if (!goodPrice(o->market, price)) return OrderProblem::BadPrice;
    o->price = price;
    o->periodEntered = period;
    return OrderProblem::None;
}

OrderProblem WorkingOrders::changeUnits(int id, int units, int period) {
    changed();
    WorkingOrder* o = findMutable(id);
    if (!o) return OrderProblem::NoSuchOrder;
    if (o->waiting()) return OrderProblem::NotChangeable;
    if (!goodUnits(o->market, units)) return OrderProblem::BadUnits;
    o->units = units;
    o->periodEntered = period;
    return OrderProblem::None;
}

std::vector<WorkingOrder> WorkingOrders::cancel(int id) {
    changed();
    std::vector<WorkingOrder> gone;
    const WorkingOrder* o = find(id);
    if (!o) return gone;
    const int other = o->other;
    for (const WorkingOrder& w : orders_)
        if (w.id == id || w.entry == id) gone.push_back(w);
    std::erase_if(orders_, [id](const WorkingOrder& w) { return w.id == id || w.entry == id; });
    // The other exit of a bracket works on alone.
    if (WorkingOrder* left = other ? findMutable(other) : nullptr) left->other = 0;
    return gone;
}

std::vector<WorkingOrder> WorkingOrders::cancelMarket(Market m) {
    changed();
    std::vector<WorkingOrder> gone;
    for (const WorkingOrder& o : orders_)
        if (o.market == m) gone.push_back(o);
    std::erase_if(orders_, [m](const WorkingOrder& o) { return o.market == m; });
    return gone;
}

std::vector<WorkingOrder> WorkingOrders::list() const {
    std::vector<WorkingOrder> out = orders_;
    std::stable_sort(out.begin(), out.end(),
                     [](const WorkingOrder& a, const WorkingOrder& b) { return index(a.market) < index(b.market); });
    return out;
}

std::vector<OrderEvent> WorkingOrders::step(int period, const PeriodRanges& ranges, const Execute& execute) {
    std::vector<OrderEvent> events;
    // Whether fillPrice would fill `o`: the range's extreme on the order's side, the open included, reaches it.
    const auto reached = [&](const WorkingOrder& o) {
        const std::optional<PeriodRange>& r = ranges[static_cast<size_t>(index(o.market))];
        if (!r || o.waiting() || o.periodEntered >= period) return false;
        const double lowest = std::min(r->open, r->low), highest = std::max(r->open, r->high);
        const bool buy = o.side == Side::Buy;
        if (o.type == OrderType::Market) return true;
        if (o.type == OrderType::Limit) return buy ? atOrBelow(lowest, o.price) : atOrAbove(highest, o.price);
        return buy ? atOrAbove(highest, o.price) : atOrBelow(lowest, o.price);
    };
    const auto expires = [&](const WorkingOrder& o) {
        return o.tif == TimeInForce::ThisPeriod && !o.waiting() && o.periodEntered < period;
    };
    // Most periods touch no order: those cost one look at each.
    if (std::none_of(orders_.begin(), orders_.end(), [&](const WorkingOrder& o) { return reached(o) || expires(o); }))
        return events;
    changed();
    const auto dropWaitingExits = [&](int entryId) {
        for (const WorkingOrder& w : orders_)
            if (w.entry == entryId) events.push_back({OrderEventKind::WithEntry, w});
        std::erase_if(orders_, [entryId](const WorkingOrder& w) { return w.entry == entryId; });
    };
    // The ids are taken first: a fill removes orders (its own, the other exit)
    // and starts exits, which wait for the next period anyway.
    for (const WorkingOrder& candidate : list()) {
        const std::optional<PeriodRange>& range = ranges[static_cast<size_t>(index(candidate.market))];
        const WorkingOrder* live = find(candidate.id);
        if (!range || !live || live->waiting() || live->periodEntered >= period) continue;
        const WorkingOrder o = *live;
        const std::optional<double> price = fillPrice(o.type, o.side, o.price, *range);
        if (!price) continue;
        const OrderFill fill{o.id, o.market, o.side, o.units, o.type, o.role, o.price, *price};
        remove(o.id);
        if (!execute(fill)) {
            events.push_back({OrderEventKind::Refused, o, *price});
            if (o.role == OrderRole::Entry) dropWaitingExits(o.id);
            else if (WorkingOrder* left = o.other ? findMutable(o.other) : nullptr) left->other = 0;
            continue;
        }
        events.push_back({OrderEventKind::Filled, o, *price});
        if (o.role == OrderRole::Entry) {
            for (WorkingOrder& w : orders_) {
                if (w.entry != o.id) continue;
                w.entry = 0;
                w.units = o.units;
                w.periodEntered = period;
            }
        } else if (const WorkingOrder* other = o.other ? find(o.other) : nullptr) {
            events.push_back({OrderEventKind::OneCancelsOther, *other});
            remove(other->id);
        }
    }
    // This-period orders that could fill in this period and did not.
    std::vector<int> expired;
    for (const WorkingOrder& o : orders_)
        if (expires(o)) expired.push_back(o.id);
    for (int id : expired) {
        if (const WorkingOrder* o = find(id)) {
            events.push_back({OrderEventKind::Expired, *o});
            remove(id);
            dropWaitingExits(id);
        }
    }
    return events;
}

} // namespace pellucar
