#pragma once
#include "app/presentation.h"
#include "ui/color_scheme.h"

#include <QtCharts/QChartView>

namespace pellucar::ui {

// One of the two price charts. It draws what the model holds for it: the
// title is the control's text, the data are its rows (first row the header:
// the point-label column, then one column per series; the four columns
// "Open", "High", "Low", "Close" together are drawn as open-high-low-close
// candles, every other column as a line). With no rows the chart stands
// empty with its title.
class GameChartView : public QChartView {
    Q_OBJECT
public:
    explicit GameChartView(QWidget* parent = nullptr);

    void setState(const ControlState& state);
    void setColors(const ChartColors& colors);
    const ChartColors& colors() const { return colors_; }
    int seriesCount() const;

private:
    void rebuild();

    ControlState state_;
    ChartColors colors_;
};

// Recolours a chart view (no-op for anything else).
void applyChartColors(QWidget* chartView, const ChartColors& colors);

} // namespace pellucar::ui
