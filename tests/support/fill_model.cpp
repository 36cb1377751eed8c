#include "fill_model.h"

#include "trading/contract_terms.h"

#include <algorithm>

namespace pellucar::test {

std::optional<double> modelFillPrice(Market m, OrderType type, bool buy, double price, const ModelRange& r) {
    // Prices on the grid, some read in single precision: a hundredth of a tick apart is the same price.
    const double kSlack = contractTerms(m).tick / 100;
    const auto accepts = [&](double x) {
        if (type == OrderType::Market) return true;
        const bool below = x <= price + kSlack, above = x >= price - kSlack;
        if (type == OrderType::Limit) return buy ? below : above;
        return buy ? above : below;
    };
    if (accepts(r.open)) return r.open;
    // The path leaves the open without accepting it, so the first accepted
    // price is the order's own, met on the way when the range holds it.
    if (r.low - kSlack <= price && price <= r.high + kSlack) return price;
    return std::nullopt;
}

int FillModel::place(Market m, bool buy, int units, OrderType type, double price, bool thisPeriodOnly,
                     std::optional<double> stopLoss, std::optional<double> target, int period) {
    const int entry = ++lastId_;
    orders_[entry] = Order{m, buy, units, type, price, thisPeriodOnly, period};
    const int stopId = stopLoss ? ++lastId_ : 0;
    const int targetId = target ? ++lastId_ : 0;
    if (stopId) orders_[stopId] = Order{m, !buy, units, OrderType::Stop, *stopLoss, false, period, entry, targetId};
    if (targetId) orders_[targetId] = Order{m, !buy, units, OrderType::Limit, *target, false, period, entry, stopId};
    return entry;
}

void FillModel::marketEntryFilled(int entryId, int units, int period) {
    orders_.erase(entryId);
    for (auto& [id, o] : orders_) {
        if (o.bracketEntry != entryId) continue;
        o.bracketEntry = 0;
        o.units = units;
        o.since = period;
    }
}

void FillModel::changePrice(int id, double price, int period) {
    orders_.at(id).price = price;
    orders_.at(id).since = period;
}

void FillModel::changeUnits(int id, int units, int period) {
    orders_.at(id).units = units;
    orders_.at(id).since = period;
}

void FillModel::cancel(int id) {
    const int sibling = orders_.at(id).sibling;
    orders_.erase(id);
    std::erase_if(orders_, [id](const auto& kv) { return kv.second.bracketEntry == id; });
    if (orders_.count(sibling)) orders_.at(sibling).sibling = 0;
}

void FillModel::cancelMarket(Market m) {
    std::erase_if(orders_, [m](const auto& kv) { return kv.second.market == m; });
}

std::vector<ModelFill> FillModel::period(int p, const std::map<Market, ModelRange>& ranges,
                                         const std::function<bool(int id)>& takes) {
    std::vector<ModelFill> tried;
    for (Market m : kTradingOrder) {
        if (!ranges.count(m)) continue;
        std::vector<int> ids;
        for (const auto& [id, o] : orders_)
            if (o.market == m) ids.push_back(id);
        for (int id : ids) { // ascending: the map is ordered
            auto it = orders_.find(id);
            if (it == orders_.end()) continue;
            const Order o = it->second;
            if (o.bracketEntry != 0 || o.since >= p) continue;
            const std::optional<double> price = modelFillPrice(m, o.type, o.buy, o.price, ranges.at(m));
            if (!price) continue;
            const bool ok = takes(id);
            tried.push_back({id, m, *price, o.units, ok});
            orders_.erase(id);
            // Exits waiting for this order start working, or go with it.
            for (auto eit = orders_.begin(); eit != orders_.end();) {
                if (eit->second.bracketEntry == id && !ok) {
                    eit = orders_.erase(eit);
                    continue;
                }
                if (eit->second.bracketEntry == id) {
                    eit->second.bracketEntry = 0;
                    eit->second.units = o.units;
                    eit->second.since = p;
                }
                ++eit;
            }
            if (o.sibling && orders_.count(o.sibling)) {
                if (ok) orders_.erase(o.sibling);
                else orders_.at(o.sibling).sibling = 0;
            }
        }
    }
    std::erase_if(orders_, [&](const auto& kv) {
        return kv.second.thisPeriodOnly && kv.second.bracketEntry == 0 && kv.second.since < p;
    });
    // Exits whose entry just expired.
    std::vector<int> orphans;
    for (const auto& [id, o] : orders_)
        if (o.bracketEntry != 0 && !orders_.count(o.bracketEntry)) orphans.push_back(id);
    for (int id : orphans) orders_.erase(id);
    return tried;
}

std::vector<std::tuple<int, int, double>> FillModel::book() const {
    std::vector<std::tuple<int, int, double>> out;
    for (Market m : kTradingOrder)
        for (const auto& [id, o] : orders_)
            if (o.market == m) out.emplace_back(id, o.units, o.price);
    return out;
}

} // namespace pellucar::test
