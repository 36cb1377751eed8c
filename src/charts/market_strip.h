#pragma once
#include "charts/chart_data.h"
#include "charts/indicators.h"

#include <QList>
#include <QString>

// Every market at a glance: for each of the six markets its last price, the
// change since the period before, and its closes over the rows the price
// chart shows, for a small chart beside the main one. Composed from the
// rows up to the current period only.

namespace pellucar::charts {

struct MarketGlance {
    int commodityId = 0;
    QString name;   // "Oil"
    QString last;   // the last close in the market's notation; empty without one
    QString change; // "+0.12", "-0'04", "0.00"; empty without a close before it
    int direction = 0;
    // One close per row of `rows` (empty where the row has no price), and
    // the least and greatest of them.
    Values closes;
    double low = 0, high = 0;
    RowRange rows;
    bool charted = false; // the market the price chart shows
    bool operator==(const MarketGlance&) const = default;
};

// One market's glance from its price points (row r at index r - 1), as the
// game stands in `periodIndex`, over `rows`: no row after the current
// period is read, whatever the rows asked for.
MarketGlance marketGlance(const PriceSeries& prices, int commodityId, int periodIndex, RowRange rows);

} // namespace pellucar::charts
