#include "charts/market_strip.h"

#include "common/market.h"

#include <algorithm>
#include <cmath>

namespace pellucar::charts {

MarketGlance marketGlance(const PriceSeries& prices, int commodityId, int periodIndex, RowRange rows) {
    MarketGlance g;
    g.commodityId = commodityId;
    if (commodityId >= 1 && commodityId <= kMarketCount) g.name = marketNames().at(commodityId - 1);
    // The future is never read: the rows end at the current period.
    const int lastRow = std::min(periodIndex, static_cast<int>(prices.size()));
    if (lastRow < 1) return g;
    g.rows = {std::max(1, rows.first), std::min(rows.last, lastRow)};
    g.closes = closes(prices, g.rows);
    bool any = false;
    for (const std::optional<double>& c : g.closes) {
        if (!c) continue;
        g.low = any ? std::min(g.low, *c) : *c;
        g.high = any ? std::max(g.high, *c) : *c;
        any = true;
    }
    // The last price is the current period's close, or the latest before
    // it; the change is from the close before that one.
    const Notation notation = notationOf(commodityId);
    int row = lastRow;
    while (row >= 1 && !prices[row - 1]) --row;
    if (row < 1) return g;
    const double last = prices[row - 1]->close;
    g.last = valueText(notation, last);
    int before = row - 1;
    while (before >= 1 && !prices[before - 1]) --before;
    if (before < 1) return g;
    // Compared in the market's own steps, so a change too small to show
    // reads as none rather than as "+0.00".
    const double diff = last - prices[before - 1]->close;
    QString size = valueText(notation, std::fabs(diff));
    // Less than a point of a T-Bond reads in 32nds alone ("18/32"), as its
    // quote's change does.
    if (notation == Notation::ThirtySeconds && size.startsWith(QLatin1String("0 "))) size.remove(0, 2);
    g.direction = size == valueText(notation, 0.0) ? 0 : diff > 0 ? 1 : -1;
    g.change = (g.direction > 0 ? QStringLiteral("+") : g.direction < 0 ? QStringLiteral("-") : QString()) + size;
    return g;
}

} // namespace pellucar::charts
