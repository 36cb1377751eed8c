#pragma once
#include "app/presentation.h"
#include "charts/chart_data.h"
#include "ui/color_scheme.h"

#include <QMap>
#include <QtCharts/QChartView>

#include <array>

class QCandlestickSeries;
class QCategoryAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QXYSeries;

namespace pellucar::ui {

// One of the two price charts. It draws a ChartData as it is: candles or
// lines, the trades as markers, the y axis the data give and the point
// labels along x, thinned so they never overlap. Hovering a point shows its
// hover text. Nothing is computed here beyond where things go on screen.
class GameChartView : public QChartView {
    Q_OBJECT
  public:
    explicit GameChartView(QWidget* parent = nullptr);

    // The control's text in the presentation model is the chart's title.
    void setState(const ControlState& state);
    // Draws new contents; the same contents again change nothing, and
    // contents of the same shape reuse the series already drawn.
    void setChartData(const charts::ChartData& data);
    const charts::ChartData& chartData() const { return data_; }
    void setColors(const ChartColors& colors);
    const ChartColors& colors() const { return colors_; }

    // Series on the chart: candles, the pieces of each line and the four
    // trade-marker sets (not the empty one that carries the axes).
    int seriesCount() const;
    // How often the series were built anew (not merely refilled).
    int rebuildCount() const { return rebuilds_; }
    // The point under a position of the viewport, or -1.
    int pointAt(const QPoint& viewportPos) const;
    // The hover text there (empty off the points).
    QString toolTipAt(const QPoint& viewportPos) const;
    // Where a point's x lies in the viewport (for tests and hover).
    QPoint viewportPosOf(int pointIndex, double value) const;
    // The x-axis texts shown now, by point index.
    QMap<int, QString> shownXLabels() const { return shownLabels_; }

  protected:
    bool viewportEvent(QEvent* event) override;

  private:
    // The parts of a chart whose number or kind decides which series exist.
    struct Shape {
        charts::ChartData::Style style = charts::ChartData::Style::Line;
        bool percentAxis = false;
        QList<charts::ChartLine::Kind> segments;
        bool operator==(const Shape&) const = default;
    };
    struct Segment {
        charts::ChartLine::Kind kind;
        QString name;
        QList<QPointF> points;
    };
    QList<Segment> segmentsOf(const charts::ChartData& data) const;
    Shape shapeOf(const QList<Segment>& segments, const charts::ChartData& data) const;

    void rebuild(const QList<Segment>& segments);
    void refill(const QList<Segment>& segments);
    void fillCandles();
    void fillMarkers();
    void updateAxes();
    void updateXLabels();
    void restyle();
    QValueAxis* activeYAxis() const;

    charts::ChartData data_;
    QString title_;
    ChartColors colors_;
    Shape shape_;
    bool built_ = false;
    int rebuilds_ = 0;

    QCategoryAxis* x_ = nullptr;        // the point labels
    QValueAxis* candleX_ = nullptr;     // candles need a plain value axis; hidden, same range
    QValueAxis* yValue_ = nullptr;      // prices
    QCategoryAxis* yPercent_ = nullptr; // indicators
    QLineSeries* carrier_ = nullptr;    // holds the axes even with nothing to draw
    QCandlestickSeries* candles_ = nullptr;
    QList<QLineSeries*> lines_;
    QList<charts::ChartLine::Kind> lineKinds_;
    // Buys, sells, and the margin call's buys and sells.
    std::array<QScatterSeries*, 4> markers_{};
    QMap<int, QString> shownLabels_;
    int labelStep_ = 0;
    int labelWidth_ = 0;
};

// Recolours a chart view (no-op for anything else).
void applyChartColors(QWidget* chartView, const ChartColors& colors);

} // namespace pellucar::ui
