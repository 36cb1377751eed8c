#include "charts/indicators.h"

#include <algorithm>
#include <cmath>

namespace pellucar::charts {

namespace {

const std::optional<PricePoint>& rowAt(const PriceSeries& rows, int row) {
    static const std::optional<PricePoint> none;
    return row >= 1 && row <= rows.size() ? rows.at(row - 1) : none;
}

std::optional<double> closeAt(const PriceSeries& rows, int row) {
    const auto& p = rowAt(rows, row);
    return p ? std::optional<double>(p->close) : std::nullopt;
}

// The average of three values, or empty when one is missing.
std::optional<double> averageOf3(const std::optional<double>& a, const std::optional<double>& b,
                                 const std::optional<double>& c) {
    if (!a || !b || !c) return std::nullopt;
    return (*a + *b + *c) / 3.0;
}

} // namespace

Values closes(const PriceSeries& rows, RowRange range) {
    Values out;
    out.reserve(range.count());
    for (int r = range.first; r <= range.last; ++r) out.append(closeAt(rows, r));
    return out;
}

std::optional<double> relativeStrength(const PriceSeries& rows, int row, int changes) {
    if (!rowAt(rows, row) || changes < 1) return std::nullopt;
    if (row < changes + 1) return 0.0;
    double gains = 0, losses = 0;
    for (int j = row - changes + 1; j <= row; ++j) {
        const auto now = closeAt(rows, j);
        const auto before = closeAt(rows, j - 1);
        if (!now || !before) return std::nullopt;
        const double d = *now - *before;
        if (d > 0) gains += d;
        else losses -= d;
    }
    const double avgGain = gains / changes;
    const double avgLoss = losses / changes;
    if (avgLoss == 0) return 100.0;
    const double rs = avgGain / avgLoss;
    return 100.0 - 100.0 / (1.0 + rs);
}

Values relativeStrengthIndex(const PriceSeries& rows, RowRange range, int periodIndex, int changes) {
    Values out;
    if (periodIndex <= changes + 1) return out;
    out.reserve(range.count());
    for (int r = range.first; r <= range.last; ++r) out.append(relativeStrength(rows, r, changes));
    return out;
}

Stochastics stochastics(const PriceSeries& drawn, int window) {
    window = std::max(1, window);
    const int n = static_cast<int>(drawn.size());
    Stochastics s;
    s.k.reserve(n);
    s.d.reserve(n);
    s.slowD.reserve(n);
    for (int k = 1; k <= n; ++k) {
        const auto& row = drawn.at(k - 1);
        if (!row) {
            s.k.append(std::nullopt);
            continue;
        }
        // Before the fifth point there is no window: highest high and lowest
        // low both count as 0, and a zero spread gives %K 0.
        double hh = 0, ll = 0;
        bool complete = true;
        if (k >= window) {
            hh = row->high;
            ll = row->low;
            for (int j = k - window + 1; j <= k; ++j) {
                const auto& w = drawn.at(j - 1);
                if (!w) {
                    complete = false;
                    break;
                }
                hh = std::max(hh, w->high);
                ll = std::min(ll, w->low);
            }
        }
        if (!complete) s.k.append(std::nullopt);
        else s.k.append(hh - ll == 0 ? 0.0 : (row->close - ll) / (hh - ll));
    }
    for (int k = 1; k <= n; ++k) {
        if (k < kStochasticSmoothing) s.d.append(s.k.at(k - 1) ? std::optional<double>(0.0) : std::nullopt);
        else s.d.append(averageOf3(s.k.at(k - 1), s.k.at(k - 2), s.k.at(k - 3)));
    }
    for (int k = 1; k <= n; ++k) {
        if (k < kStochasticSmoothing) s.slowD.append(s.d.at(k - 1));
        else s.slowD.append(averageOf3(s.d.at(k - 1), s.d.at(k - 2), s.d.at(k - 3)));
    }
    return s;
}

IndicatorSets stochasticDisplay(const PriceSeries& drawn, int periodIndex, bool fast, int window) {
    if (periodIndex < window) return {};
    Stochastics s = stochastics(drawn, window);
    if (fast) return {std::move(s.k), std::move(s.d)};
    return {std::move(s.d), std::move(s.slowD)};
}

std::optional<double> movingAverage(const PriceSeries& rows, int row, int periods) {
    if (periods < 1 || row < periods || row > rows.size()) return std::nullopt;
    double sum = 0;
    for (int j = row - periods + 1; j <= row; ++j) {
        const auto c = closeAt(rows, j);
        if (!c) return std::nullopt;
        sum += *c;
    }
    return sum / periods;
}

std::optional<double> trueRange(const PriceSeries& rows, int row) {
    const auto& p = rowAt(rows, row);
    if (!p) return std::nullopt;
    const auto before = row > 1 ? closeAt(rows, row - 1) : std::optional<double>(p->close);
    if (!before) return std::nullopt;
    return std::max(p->high, *before) - std::min(p->low, *before);
}

namespace {

// Rows 1..lastRow of a series, bounded by the rows it has.
int lastOf(const PriceSeries& rows, int lastRow) { return std::clamp(lastRow, 0, static_cast<int>(rows.size())); }

} // namespace

Values averageTrueRange(const PriceSeries& rows, int lastRow, int periods) {
    const int n = lastOf(rows, lastRow);
    Values out(n);
    if (periods < 1) return out;
    // Runs of rows with a true range: each run starts its average anew.
    double average = 0, sum = 0;
    int run = 0;
    for (int r = 1; r <= n; ++r) {
        const auto tr = trueRange(rows, r);
        if (!tr) {
            run = 0;
            sum = 0;
            continue;
        }
        ++run;
        if (run < periods) {
            sum += *tr;
            continue;
        }
        average = run == periods ? (sum + *tr) / periods : (average * (periods - 1) + *tr) / periods;
        out[r - 1] = average;
    }
    return out;
}

Values exponentialAverage(const Values& values, int periods) {
    Values out(values.size());
    if (periods < 1) return out;
    const double weight = 2.0 / (periods + 1);
    double average = 0, sum = 0;
    int run = 0;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!values.at(i)) {
            run = 0;
            sum = 0;
            continue;
        }
        const double v = *values.at(i);
        ++run;
        if (run < periods) {
            sum += v;
            continue;
        }
        average = run == periods ? (sum + v) / periods : average + weight * (v - average);
        out[i] = average;
    }
    return out;
}

Bands bollingerBands(const PriceSeries& rows, int lastRow, int periods, double width) {
    const int n = lastOf(rows, lastRow);
    Bands b{Values(n), Values(n), Values(n)};
    for (int r = periods; r <= n && periods >= 1; ++r) {
        const auto middle = movingAverage(rows, r, periods);
        if (!middle) continue;
        double squares = 0;
        for (int j = r - periods + 1; j <= r; ++j) squares += std::pow(*closeAt(rows, j) - *middle, 2);
        const double deviation = std::sqrt(squares / periods);
        b.middle[r - 1] = *middle;
        b.upper[r - 1] = *middle + width * deviation;
        b.lower[r - 1] = *middle - width * deviation;
    }
    return b;
}

Macd macd(const PriceSeries& rows, int lastRow, int fast, int slow, int signal) {
    const int n = lastOf(rows, lastRow);
    const Values close = closes(rows, {1, n});
    const Values quick = exponentialAverage(close, fast);
    const Values steady = exponentialAverage(close, slow);
    Macd m{Values(n), {}, Values(n)};
    for (int i = 0; i < n; ++i)
        if (quick.at(i) && steady.at(i)) m.macd[i] = *quick.at(i) - *steady.at(i);
    m.signal = exponentialAverage(m.macd, signal);
    for (int i = 0; i < n; ++i)
        if (m.macd.at(i) && m.signal.at(i)) m.histogram[i] = *m.macd.at(i) - *m.signal.at(i);
    return m;
}

std::optional<double> mean(const Values& values) {
    double sum = 0;
    int n = 0;
    for (const auto& v : values) {
        if (!v) continue;
        sum += *v;
        ++n;
    }
    if (n == 0) return std::nullopt;
    return sum / n;
}

std::optional<Extent> extent(const Values& values) {
    std::optional<Extent> e;
    for (const auto& v : values) {
        if (!v) continue;
        if (!e) e = Extent{*v, *v};
        e->min = std::min(e->min, *v);
        e->max = std::max(e->max, *v);
    }
    return e;
}

} // namespace pellucar::charts
