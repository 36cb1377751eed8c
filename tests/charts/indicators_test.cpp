// Indicators over hand-made price series, each value worked out by hand in the comments.
#include "charts/indicators.h"

#include <gtest/gtest.h>

using namespace pellucar::charts;

namespace {

PriceSeries fromHlc(std::initializer_list<std::array<double, 3>> hlc) {
    PriceSeries s;
    for (const auto& r : hlc) s.append(PricePoint{r[2], r[0], r[1], r[2]});
    return s;
}

PriceSeries fromCloses(const QList<double>& closes) {
    PriceSeries s;
    for (double c : closes) s.append(PricePoint{c, c, c, c});
    return s;
}

void expectValues(const Values& actual, const QList<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        ASSERT_TRUE(actual.at(i).has_value()) << "point " << i + 1;
        EXPECT_NEAR(*actual.at(i), expected.at(i), 1e-4) << "point " << i + 1;
    }
}

// The worked example, and a sixth row (15, 13, 14) to see the window slide.
const PriceSeries kStochRows =
    fromHlc({{10, 8, 9}, {11, 9, 10}, {12, 10, 11}, {13, 11, 12}, {14, 12, 13}, {15, 13, 14}});

} // namespace

TEST(Stochastics, WorkedExampleSlidingWindowAndDisplay) {
    const Stochastics s = stochastics(kStochRows);
    // k 1..4 have no window: %K 0. k 5: HH 14, LL 8 -> (13-8)/(14-8) = 5/6.
    // k 6: rows 2..6, HH 15, LL 9 -> (14-9)/(15-9) = 5/6.
    expectValues(s.k, {0, 0, 0, 0, 0.8333, 0.8333});
    // %D from k 3: (0+0+0)/3, (0+0+0)/3, (5/6+0+0)/3 = 0.2778, (5/6+5/6+0)/3 = 0.5556.
    expectValues(s.d, {0, 0, 0, 0, 0.2778, 0.5556});
    // Slow %D from k 3 with %D of points 1 and 2 as 0:
    // k5 (0.2778+0+0)/3 = 0.0926, k6 (0.5556+0.2778+0)/3 = 0.2778.
    expectValues(s.slowD, {0, 0, 0, 0, 0.0926, 0.2778});

    // Fast shows %K and %D, slow %D and slow %D, from period five.
    const auto shown = [](int period, bool fast) {
        const IndicatorSets sets = stochasticDisplay(kStochRows, period, fast);
        return std::pair(sets.first, sets.second);
    };
    EXPECT_EQ(shown(6, true), std::pair(s.k, s.d));
    EXPECT_EQ(shown(6, false), std::pair(s.d, s.slowD));
    EXPECT_EQ(shown(4, true), std::pair(Values{}, Values{}));
    EXPECT_EQ(shown(5, true).first.size(), 6);
}

TEST(Stochastics, FlatWindowGivesZeroAndAMissingRowGivesNothing) {
    PriceSeries flat = fromHlc({{7, 7, 7}, {7, 7, 7}, {7, 7, 7}, {7, 7, 7}, {7, 7, 7}});
    const Stochastics s = stochastics(flat);
    ASSERT_TRUE(s.k.at(4).has_value());
    EXPECT_EQ(*s.k.at(4), 0.0);

    // A row without a price is no price of 0: its point and every value
    // whose window holds it stay empty.
    PriceSeries gap = kStochRows;
    gap[4] = std::nullopt;
    const Stochastics g = stochastics(gap);
    EXPECT_FALSE(g.k.at(4).has_value());
    EXPECT_FALSE(g.k.at(5).has_value()); // rows 2..6 include row 5
    EXPECT_FALSE(g.d.at(5).has_value());
    EXPECT_TRUE(g.k.at(3).has_value());
}

TEST(RelativeStrength, RisingFallingMixedAndTooEarly) {
    QList<double> rising, falling, mixed;
    for (int i = 0; i < 15; ++i) {
        rising << 10 + i;
        falling << 30 - i * 0.5;
    }
    // Seven changes of +2 and seven of -1: average gain 14/14 = 1, average
    // loss 7/14 = 0.5, RS 2, index 100 - 100/3 = 66.667.
    mixed << 10;
    for (int i = 0; i < 14; ++i) mixed << mixed.last() + (i % 2 == 0 ? 2 : -1);

    EXPECT_DOUBLE_EQ(*relativeStrength(fromCloses(rising), 15), 100.0);
    EXPECT_DOUBLE_EQ(*relativeStrength(fromCloses(falling), 15), 0.0);
    EXPECT_NEAR(*relativeStrength(fromCloses(mixed), 15), 66.6667, 1e-4);
    // Fourteen or fewer rows before a point: 0.
    EXPECT_DOUBLE_EQ(*relativeStrength(fromCloses(rising), 14), 0.0);
    EXPECT_DOUBLE_EQ(*relativeStrength(fromCloses(rising), 1), 0.0);

    // A missing close leaves every point whose 15 closes include it empty:
    // row 24 reads rows 10..24, row 25 rows 11..25.
    QList<double> closes;
    for (int i = 0; i < 30; ++i) closes << 50 + (i % 3);
    PriceSeries gap = fromCloses(closes);
    gap[9] = std::nullopt;
    EXPECT_FALSE(relativeStrength(gap, 24).has_value());
    EXPECT_TRUE(relativeStrength(gap, 25).has_value());
}

TEST(MovingAverage, FiveFifteenAndTwentyPoints) {
    QList<double> closes;
    for (int i = 1; i <= 25; ++i) closes << i;
    const PriceSeries rows = fromCloses(closes);
    // Row 25: (21..25)/5 = 23, (11..25)/15 = 18, (6..25)/20 = 15.5.
    EXPECT_DOUBLE_EQ(*movingAverage(rows, 25, 5), 23.0);
    EXPECT_DOUBLE_EQ(*movingAverage(rows, 25, 15), 18.0);
    EXPECT_DOUBLE_EQ(*movingAverage(rows, 25, 20), 15.5);
    EXPECT_DOUBLE_EQ(*movingAverage(rows, 5, 5), 3.0);
    EXPECT_FALSE(movingAverage(rows, 4, 5).has_value());
    EXPECT_FALSE(movingAverage(rows, 19, 20).has_value());

    PriceSeries gap = rows;
    gap[22] = std::nullopt; // row 23
    EXPECT_FALSE(movingAverage(gap, 25, 5).has_value());
    EXPECT_TRUE(movingAverage(gap, 22, 5).has_value());
}
