// The six-market strip: each market's last price, change and small chart, as the game stands.
#include "charts/market_strip.h"
#include "common/market.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pellucar;
using namespace pellucar::charts;

namespace {

// Closes by row; NaN for a row without a price.
PriceSeries series(std::initializer_list<double> closes) {
    PriceSeries out;
    for (const double c : closes)
        out.append(std::isnan(c) ? std::nullopt : std::optional<PricePoint>(PricePoint{c, c, c, c}));
    return out;
}

constexpr double kNone = NAN;

const struct {
    const char* name;
    int commodityId;
    PriceSeries prices;
    int period;
    RowRange rows;
    const char* last;
    const char* change;
    int direction;
    RowRange shown;
    double low, high;
} kCases[] = {
    {"Oil rising", 3, series({18.0, 18.34, 18.46}), 3, {1, 3}, "18.46", "+0.12", 1, {1, 3}, 18.0, 18.46},
    // Rows after the current period are the future: never shown, never the last price, never in the range.
    {"the future unread", 3, series({18.0, 18.34, 99.0, 1.0}), 2, {1, 4}, "18.34", "+0.34", 1, {1, 2}, 18.0, 18.34},
    {"a view back in time", 2, series({400, 380, 390, 420}), 4, {2, 3}, "420.00", "+30.00", 1, {2, 3}, 380, 390},
    {"a day without a price", 1, series({75.5, kNone, 75.0}), 3, {1, 3}, "75.00", "-0.50", -1, {1, 3}, 75.0, 75.5},
    {"no price today", 1, series({75.5, 75.0, kNone}), 3, {1, 3}, "75.00", "-0.50", -1, {1, 3}, 75.0, 75.5},
    {"T-Bond in 32nds", 6, series({96.5, 96.0}), 2, {1, 2}, "96", "-16/32", -1, {1, 2}, 96.0, 96.5},
    {"T-Bond a point and more", 6, series({96.5, 98.0}), 2, {1, 2}, "98", "+1 16/32", 1, {1, 2}, 96.5, 98.0},
    {"Soybean, 1/4 cents", 5, series({5.85, 5.8525}), 2, {1, 2}, "5.85 1/4", "+0.00 1/4", 1, {1, 2}, 5.85, 5.8525},
    {"unchanged", 4, series({330.0, 330.0}), 2, {1, 2}, "330.00", "0.00", 0, {1, 2}, 330, 330},
    {"the first period", 4, series({330.0, 340.0}), 1, {1, 1}, "330.00", "", 0, {1, 1}, 330, 330},
    {"before the first period", 4, series({330.0}), 0, {1, 0}, "", "", 0, {1, 0}, 0, 0},
};

} // namespace

TEST(MarketStrip, EachMarketAsTheGameStands) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const MarketGlance g = marketGlance(c.prices, c.commodityId, c.period, c.rows);
        EXPECT_EQ((std::tuple{g.name, g.last, g.change, g.direction}),
                  (std::tuple{marketNames().at(c.commodityId - 1), QString::fromUtf8(c.last), c.change, c.direction}));
        EXPECT_EQ((std::tuple{g.rows.count(), g.closes.size(), g.low, g.high}),
                  (std::tuple{c.shown.count(), c.shown.count(), c.low, c.high}));
        if (c.shown.count() > 0) {
            EXPECT_EQ(g.rows, c.shown);
        }
    }
}
