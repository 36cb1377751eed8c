#pragma once
#include <QList>

#include <optional>

// Technical indicators over one market's price points. Pure functions: they
// read a series and give numbers, nothing is remembered between calls, so a
// chart is always recomputed from the history as it stands.
//
// Rows are numbered from 1 in date order, as the charts count them; the
// series list holds row r at index r - 1. A row without a price (the market
// had no quote that day, or no trade in that hour) is an empty optional: it
// is never read as a price of 0, and any value that would need it is empty
// too.

namespace pellucar::charts {

struct PricePoint {
    double open = 0, high = 0, low = 0, close = 0;
    bool operator==(const PricePoint&) const = default;
};

using PriceSeries = QList<std::optional<PricePoint>>;
using Values = QList<std::optional<double>>;

inline constexpr int kMaxDrawnPoints = 30;
inline constexpr int kRsiChanges = 14;
inline constexpr int kStochasticWindow = 5;
inline constexpr int kStochasticSmoothing = 3;
// Wilder's average true range, Bollinger's bands, Appel's MACD: their
// authors' own settings.
inline constexpr int kAtrPeriods = 14;
inline constexpr int kBollingerPeriods = 20;
inline constexpr double kBollingerWidth = 2.0;
inline constexpr int kMacdFast = 12, kMacdSlow = 26, kMacdSignal = 9;

// Rows first..last of a series (empty when last < first).
struct RowRange {
    int first = 1;
    int last = 0;
    int count() const { return last >= first ? last - first + 1 : 0; }
    bool contains(int row) const { return row >= first && row <= last; }
    bool operator==(const RowRange&) const = default;
};

// The closes of rows first..last (empty where a row has no price).
Values closes(const PriceSeries& rows, RowRange range);

// Relative strength of row `row` over the 14 changes of rows row - 13 to
// row (so the 15 closes of rows row - 14 to row take part): 0 below row 15,
// 100 when no close in the window fell, otherwise 100 - 100 / (1 + RS).
std::optional<double> relativeStrength(const PriceSeries& rows, int row, int changes = kRsiChanges);

// The relative strength of every row of the range; no values at all while
// periodIndex is 15 or less (there is no full window yet in the game).
Values relativeStrengthIndex(const PriceSeries& rows, RowRange range, int periodIndex, int changes = kRsiChanges);

// The stochastic oscillator of the drawn points, numbered k = 1..n in the
// order given. %K is a fraction 0..1; the first four points have no window
// (their highest high and lowest low count as 0, which gives %K 0), the first
// two have %D and slow %D 0, and %D of points 1 and 2 counts as 0 in slow %D.
struct Stochastics {
    Values k, d, slowD;
};
Stochastics stochastics(const PriceSeries& drawn, int window = kStochasticWindow);

// The two data sets shown: fast = %K and %D, slow = %D and slow %D. No values
// while periodIndex is 4 or less.
struct IndicatorSets {
    Values first, second;
};
IndicatorSets stochasticDisplay(const PriceSeries& drawn, int periodIndex, bool fast, int window = kStochasticWindow);

// Each of these gives one value per row 1..lastRow, read from those rows
// alone: a value never depends on a later row, so a chart drawn at the
// current period shows what a trader could have known then. A row without
// a price has no value, and the averages start again after it.

// The true range of a row: the largest of its high less its low and the
// distances of each from the previous close (the high less the low on the
// first row).
std::optional<double> trueRange(const PriceSeries& rows, int row);
// Wilder's average true range: the mean of the first `periods` true ranges,
// then each day (previous * (periods - 1) + true range) / periods.
Values averageTrueRange(const PriceSeries& rows, int lastRow, int periods = kAtrPeriods);
// Exponential average of the values, seeded with the simple average of the
// first `periods` and then weighted 2 / (periods + 1) towards each new one.
Values exponentialAverage(const Values& values, int periods);
// Bollinger's bands: the simple average of the last `periods` closes, and
// `width` standard deviations (of those closes, as a population) either side.
struct Bands {
    Values middle, upper, lower;
};
Bands bollingerBands(const PriceSeries& rows, int lastRow, int periods = kBollingerPeriods,
                     double width = kBollingerWidth);
// MACD: the fast exponential average of the closes less the slow one; its
// signal line, an exponential average of it; and the histogram between.
struct Macd {
    Values macd, signal, histogram;
};
Macd macd(const PriceSeries& rows, int lastRow, int fast = kMacdFast, int slow = kMacdSlow, int signal = kMacdSignal);

// Simple (unweighted) moving average of the `periods` closes that end at
// `row`; empty when fewer rows exist or one of them has no price. Simple
// because every close of the window is an equally real price of the game.
std::optional<double> movingAverage(const PriceSeries& rows, int row, int periods);

// Statistics over the values that exist; empty when none does.
std::optional<double> mean(const Values& values);
struct Extent {
    double min = 0, max = 0;
    bool operator==(const Extent&) const = default;
};
std::optional<Extent> extent(const Values& values);

} // namespace pellucar::charts
