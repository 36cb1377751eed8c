#pragma once
#include "charts/chart_data.h"

#include <QString>

namespace pellucar::ui {

// What a chart shows, in words, for a screen reader: the market, the kind
// of chart and the values of its last point ("Oil, Open-High-Low-Close,
// 1/4: open 20.00, high 20.50, low 19.75, close 20.25").
QString describeChart(const charts::ChartData& chart, const QString& market);

} // namespace pellucar::ui
