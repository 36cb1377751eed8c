#pragma once
#include "charts/chart_data.h"
#include "ui/color_scheme.h"

#include <QLineF>
#include <QList>
#include <QPen>
#include <QRectF>

#include <functional>
#include <optional>

class QGraphicsEllipseItem;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsScene;

namespace pellucar::ui {

// The player's lines over a price chart and the line being drawn, as items
// of the chart's scene held in a frame that clips them to the plot: a line
// scrolled or zoomed partly out of view is cut at the plot's edge.
class ChartDrawingLayer {
public:
    explicit ChartDrawingLayer(QGraphicsScene* scene);

    // Where a point index and a price stand in the scene.
    using Map = std::function<QPointF(double pointIndex, double price)>;
    // Draws the lines of `data` over `plot` (scene coordinates); in a draw
    // mode, the line from `anchor` (a trend line's first point) to `at`, or
    // the level at `at`, and a mark at `at`.
    void place(const charts::ChartData& data, const QRectF& plot, const Map& map, const ChartColors& colors,
               std::optional<charts::DrawingPoint> anchor, std::optional<charts::DrawingPoint> at);
    void hide();
    // The player's lines shown, in scene coordinates before clipping.
    QList<QLineF> shownLines() const;
    QRectF clip() const;

private:
    QGraphicsRectItem* frame_ = nullptr;
    QList<QGraphicsLineItem*> lines_;
    QGraphicsLineItem* pending_ = nullptr;
    QGraphicsEllipseItem* mark_ = nullptr;
};

// The pen of the player's lines: the scheme's own ink for text, which every
// scheme keeps readable on its background, and wider than the candles' wicks.
QPen drawingPen(const ChartColors& colors, bool pending);

} // namespace pellucar::ui
