#include "charts/drawings.h"

#include <algorithm>
#include <cmath>

namespace pellucar::charts {

DrawingPoint snapPoint(const PriceSeries& candles, DrawingPoint p, int currentPeriod, double span) {
    // The future is never read: a point after the current period keeps its
    // price (and is refused when it is added).
    if (p.period < 1 || p.period > currentPeriod || p.period > candles.size() || !std::isfinite(p.price) ||
        !std::isfinite(span) || span <= 0)
        return p;
    const std::optional<PricePoint>& row = candles[p.period - 1];
    if (!row) return p;
    double best = p.price, distance = kSnapShare * span;
    for (const double v : {row->open, row->high, row->low, row->close}) {
        if (std::abs(v - p.price) <= distance) {
            distance = std::abs(v - p.price);
            best = v;
        }
    }
    p.price = best;
    return p;
}

QString drawingProblem(const Drawing& d, int currentPeriod) {
    const bool trend = d.kind == Drawing::Kind::Trend;
    if (!trend && d.kind != Drawing::Kind::Level) return QStringLiteral("is of a kind no chart draws");
    for (const DrawingPoint& p : trend ? QList<DrawingPoint>{d.from, d.to} : QList<DrawingPoint>{d.from}) {
        if (p.period < 1 || p.period > currentPeriod)
            return QStringLiteral("stands on period %1, which is not played yet").arg(p.period);
        if (!std::isfinite(p.price) || p.price <= 0 || p.price >= kHighestDrawnPrice)
            return QStringLiteral("has no price a chart shows");
    }
    if (trend && d.from.period >= d.to.period) return QStringLiteral("has no two periods in time order");
    if (!trend && !(d.to == DrawingPoint{})) return QStringLiteral("has a second point");
    return {};
}

const QList<Drawing>& Drawings::of(int commodityId) const {
    static const QList<Drawing> none;
    return commodityId >= 1 && commodityId <= kMarketCount ? lists_[static_cast<size_t>(commodityId - 1)] : none;
}

bool Drawings::empty() const {
    return std::all_of(lists_.begin(), lists_.end(), [](const QList<Drawing>& l) { return l.isEmpty(); });
}

QString Drawings::add(int commodityId, Drawing d, int currentPeriod) {
    if (commodityId < 1 || commodityId > kMarketCount) return QStringLiteral("There is no such market.");
    if (d.kind == Drawing::Kind::Level) d.to = {};
    if (d.kind == Drawing::Kind::Trend && d.to.period < d.from.period) std::swap(d.from, d.to);
    if (const QString why = drawingProblem(d, currentPeriod); !why.isEmpty())
        return QStringLiteral("The line ") + why + QLatin1Char('.');
    QList<Drawing>& list = lists_[static_cast<size_t>(commodityId - 1)];
    if (list.size() >= kMostDrawings)
        return QStringLiteral("A chart holds %1 lines at most: remove one first.").arg(kMostDrawings);
    list.append(d);
    return {};
}

bool Drawings::remove(int commodityId, int index) {
    if (commodityId < 1 || commodityId > kMarketCount) return false;
    QList<Drawing>& list = lists_[static_cast<size_t>(commodityId - 1)];
    if (index == -1) index = static_cast<int>(list.size()) - 1;
    if (index < 0 || index >= list.size()) return false;
    list.removeAt(index);
    return true;
}

bool Drawings::clear(int commodityId) {
    if (count(commodityId) == 0) return false;
    lists_[static_cast<size_t>(commodityId - 1)].clear();
    return true;
}

void Drawings::restore(int commodityId, const QList<Drawing>& lines) {
    if (commodityId >= 1 && commodityId <= kMarketCount) lists_[static_cast<size_t>(commodityId - 1)] = lines;
}

void Drawings::cutAfter(int period) {
    for (QList<Drawing>& list : lists_)
        list.removeIf([period](const Drawing& d) { return d.from.period > period || d.to.period > period; });
}

QString Drawings::problem(int currentPeriod) const {
    for (int id = 1; id <= kMarketCount; ++id) {
        const QList<Drawing>& list = of(id);
        const QString market = marketNames().at(id - 1);
        if (list.size() > kMostDrawings)
            return QStringLiteral("it has more than %1 lines on %2").arg(kMostDrawings).arg(market);
        for (qsizetype i = 0; i < list.size(); ++i)
            if (const QString why = drawingProblem(list[i], currentPeriod); !why.isEmpty())
                return QStringLiteral("line %1 on %2 ").arg(i + 1).arg(market) + why;
    }
    return {};
}

} // namespace pellucar::charts
