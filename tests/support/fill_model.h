#pragma once
#include "common/market.h"
#include "trading/working_orders.h"

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace pellucar::test {

// A second, deliberately plain reading of the resting-order rules, kept apart
// from the game's owner so the two can be compared fill by fill:
// - a period's prices are a path that starts at the open and runs through
//   every price from the low to the high; an order fills at the first price of
//   that path it accepts (a buy limit: at or below its price; a buy stop: at
//   or above; sales mirror; a market order: any price);
// - a period fills only orders entered or changed in an earlier period,
//   market by market in trading order and by id within a market;
// - a bracket is an entry, a stop-loss and a target (ids in that order); its
//   exits wait until the entry fills, then work from the next period for the
//   entry's size; one exit's fill cancels the other, and a stop-loss comes
//   before its target in a period that reaches both;
// - a fill the game does not take cancels the order (an entry with its exits);
// - a this-period order that could have filled and did not is dropped.
struct ModelRange {
    double open, high, low, close;
};

std::optional<double> modelFillPrice(Market m, OrderType type, bool buy, double price, const ModelRange& r);

struct ModelFill {
    int id;
    Market market;
    double price;
    int units;
    bool executed;
    bool operator==(const ModelFill&) const = default;
};

class FillModel {
public:
    // Returns the entry's id; a bracket's exits take the next ids.
    int place(Market m, bool buy, int units, OrderType type, double price, bool thisPeriodOnly,
              std::optional<double> stopLoss, std::optional<double> target, int period);
    void marketEntryFilled(int entryId, int units, int period);
    void changePrice(int id, double price, int period);
    void changeUnits(int id, int units, int period);
    void cancel(int id);
    void cancelMarket(Market m);
    // One period: the fills tried, in order; `takes` answers for the game.
    std::vector<ModelFill> period(int p, const std::map<Market, ModelRange>& ranges,
                                  const std::function<bool(int id)>& takes);
    // (id, units, price) of every order left, waiting exits included, by market then id.
    std::vector<std::tuple<int, int, double>> book() const;

private:
    struct Order {
        Market market;
        bool buy;
        int units;
        OrderType type;
        double price;
        bool thisPeriodOnly;
        int since;
        int bracketEntry = 0; // a waiting exit's entry
        int sibling = 0;      // the other exit
    };
    std::map<int, Order> orders_;
    int lastId_ = 0;
};

} // namespace pellucar::test
