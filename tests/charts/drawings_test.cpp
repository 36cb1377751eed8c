// Lines drawn over the price chart: snapping, the bounds and removal (a rewind's cut: tests/app/rewind_test.cpp).
#include "charts/drawings.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pellucar::charts;

namespace {

// Period 1: 10..12, period 2: 20..24, period 3 (the future at period 2): 30..33.
const PriceSeries kCandles = {PricePoint{10, 12, 9, 11}, PricePoint{20, 24, 19, 21}, PricePoint{30, 33, 29, 31},
                              std::nullopt};

} // namespace

TEST(Drawings, SnapsToThePricesOfPlayedPeriodsOnly) {
    // Span 100: prices within 4 of a candle's open, high, low or close snap.
    const struct {
        const char* name;
        DrawingPoint at;
        int current;
        double expected;
    } cases[] = {
        {"near the high", {2, 23.5}, 2, 24},       {"nearest of two", {2, 20.4}, 2, 20},
        {"just within reach", {1, 15.9}, 2, 12},   {"too far: free price", {1, 16.1}, 2, 16.1},
        {"the future unread", {3, 32.5}, 2, 32.5}, {"a period without a price", {4, 5}, 4, 5},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(snapPoint(kCandles, c.at, c.current, 100).price, c.expected) << c.name;
}

TEST(Drawings, RefusedChangesLeaveTheDrawingsAsTheyWere) {
    using K = Drawing::Kind;
    const struct {
        const char* name;
        int market;
        Drawing d;
        bool taken;
    } cases[] = {
        {"a level line", 3, {K::Level, {2, 20}, {}}, true},
        {"a trend line drawn backwards", 3, {K::Trend, {2, 21}, {1, 11}}, true},
        {"a point after the current period", 3, {K::Trend, {1, 11}, {3, 30}}, false},
        {"before the first period", 3, {K::Level, {0, 20}, {}}, false},
        {"no number", 3, {K::Level, {1, NAN}, {}}, false},
        {"out of range", 3, {K::Level, {1, kHighestDrawnPrice}, {}}, false},
        {"not positive", 3, {K::Level, {1, 0}, {}}, false},
        {"a trend line in one period", 3, {K::Trend, {1, 10}, {1, 12}}, false},
        {"an unknown kind", 3, {static_cast<K>(7), {1, 10}, {}}, false},
        {"no such market", 7, {K::Level, {1, 10}, {}}, false},
    };
    for (const auto& c : cases) {
        Drawings d;
        ASSERT_TRUE(d.add(3, {K::Level, {1, 11}, {}}, 2).isEmpty());
        const Drawings before = d;
        EXPECT_EQ(d.add(c.market, c.d, 2).isEmpty(), c.taken) << c.name;
        EXPECT_EQ(d.count(3), c.taken ? 2 : 1) << c.name;
        if (c.taken) {
            // A trend line is kept earlier point first.
            const Drawing& added = d.of(3).last();
            EXPECT_TRUE(added.kind == K::Level || added.from.period < added.to.period) << c.name;
        } else {
            EXPECT_EQ(d, before) << c.name;
        }
    }
}

TEST(Drawings, BoundAndRemoval) {
    Drawings d;
    for (int i = 0; i < kMostDrawings; ++i)
        ASSERT_TRUE(d.add(1, {Drawing::Kind::Level, {1 + i % 3, 10.0 + i}, {}}, 3).isEmpty());
    EXPECT_FALSE(d.add(1, {Drawing::Kind::Level, {1, 5}, {}}, 3).isEmpty());
    EXPECT_EQ(d.count(1), kMostDrawings);
    EXPECT_TRUE(d.problem(3).isEmpty());
    EXPECT_FALSE(d.problem(2).isEmpty()); // drawn on period 3
    EXPECT_TRUE(d.remove(1, -1));
    EXPECT_DOUBLE_EQ(d.of(1).last().from.price, 10.0 + kMostDrawings - 2);
    EXPECT_FALSE(d.remove(1, kMostDrawings));
    EXPECT_TRUE(d.clear(1));
    EXPECT_TRUE(d.empty());
    EXPECT_FALSE(d.clear(1));
}
