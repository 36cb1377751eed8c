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

std::optional<double> relativeStrength(const PriceSeries& rows, int row) {
    if (!rowAt(rows, row)) return std::nullopt;
    if (row < kRsiChanges + 1) return 0.0;
    double gains = 0, losses = 0;
    for (int j = row - kRsiChanges + 1; j <= row; ++j) {
        const auto now = closeAt(rows, j);
        const auto before = closeAt(rows, j - 1);
        if (!now || !before) return std::nullopt;
        const double d = *now - *before;
        if (d > 0) gains += d;
        else losses -= d;
    }
    const double avgGain = gains / kRsiChanges;
    const double avgLoss = losses / kRsiChanges;
    if (avgLoss == 0) return 100.0;
    const double rs = avgGain / avgLoss;
    return 100.0 - 100.0 / (1.0 + rs);
}

Values relativeStrengthIndex(const PriceSeries& rows, RowRange range, int periodIndex) {
    Values out;
    if (periodIndex <= kRsiChanges + 1) return out;
    out.reserve(range.count());
    for (int r = range.first; r <= range.last; ++r) out.append(relativeStrength(rows, r));
    return out;
}

Stochastics stochastics(const PriceSeries& drawn) {
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
        if (k >= kStochasticWindow) {
            hh = row->high;
            ll = row->low;
            for (int j = k - kStochasticWindow + 1; j <= k; ++j) {
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

IndicatorSets stochasticDisplay(const PriceSeries& drawn, int periodIndex, bool fast) {
    if (periodIndex < kStochasticWindow) return {};
    Stochastics s = stochastics(drawn);
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
