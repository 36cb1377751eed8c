// Trainer rules in the game: the player's working orders between presses and
// their fills in a press.
#include "app/game/game.h"
#include "app/game/period_ranges.h"
#include "common/format.h"
#include "trading/contract_terms.h"

namespace pellucar {

std::optional<PeriodRange> periodRangeOf(const GameState& s, Market m) {
    if (s.settings.level == Level::Novice && m != Market::Oil) return std::nullopt;
    const double price = s.prices.current.get(m);
    // No row: the floor stands in for a price. The floor is kept in single
    // precision, a hair above 0.05 once widened.
    if (price <= static_cast<double>(0.05f)) return std::nullopt;
    // Read as stored, binary noise and all: the fill function reads through it,
    // and the desk clears a fill's price once it fills (a decimal reading per
    // price of every press would cost more than the orders).
    const PeriodRange one = PeriodRange::single(price);
    if (s.clock.dataMode() != DataMode::Daily) return one;
    // The row the period's close came from (see PriceHistory::storePeriod).
    const MarketSeries& series = s.market.series[static_cast<size_t>(commodityId(m))];
    const int p = s.clock.periodIndex(), r = s.clock.calendarPosition();
    const int row = p < series.count() ? r - 1 : r;
    if (row < 0 || row >= series.count()) return one;
    const DailyRow& d = series.rows[row];
    // Soybean rows are in cents, the game's prices in dollars.
    const auto read = [m](float v) { return m == Market::Soybean ? double(v) / 100 : double(v); };
    const PeriodRange range{read(d.open), read(d.high), read(d.low), read(d.close)};
    const bool sound = range.low > 0 && range.low <= std::min(range.open, range.close) &&
                       range.high >= std::max(range.open, range.close);
    return sound ? range : one;
}

QString Game::OrderGate() const {
    if (!gameOnDesk_ || ended_) return QStringLiteral("no game is on the desk");
    if (s_.settings.rules != RuleSet::Trainer) return QStringLiteral("orders that rest are taken under Trainer rules");
    if (pressRunning_) return QStringLiteral("a Forward press is under way");
    if (s_.clock.periodIndex() < 1) return QStringLiteral("orders are taken from the first period on");
    if (s_.desk.state != OrderState::ChangePeriod) return QStringLiteral("an order is being entered on the desk");
    return {};
}

QString Game::placeOrder(const OrderRequest& request, int* id) {
    return OrderDecisionStep([&] { return desk_.placeWorking(request, id); });
}

QString Game::changeOrderPrice(int id, double price) {
    return OrderDecisionStep([&] { return desk_.changeWorkingPrice(id, price); });
}

QString Game::changeOrderUnits(int id, int units) {
    return OrderDecisionStep([&] { return desk_.changeWorkingUnits(id, units); });
}

QString Game::cancelWorkingOrder(int id) {
    return OrderDecisionStep([&] { return desk_.cancelWorking(id); });
}

void Game::FillWorkingOrders() {
    if (s_.settings.rules != RuleSet::Trainer) return;
    if (s_.desk.orders.empty()) return desk_.fillWorking({}, {}); // only what the last press did is forgotten
    PeriodRanges ranges;
    MarketPrices marks{};
    for (Market m : kTradingOrder) {
        ranges[static_cast<size_t>(index(m))] = periodRangeOf(s_, m);
        marks[static_cast<size_t>(index(m))] = s_.prices.current.get(m);
    }
    desk_.fillWorking(ranges, marks);
}

} // namespace pellucar
