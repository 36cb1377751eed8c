#include "ui/chart_drawings.h"

#include "ui/chart_view.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPen>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>

#include <cmath>
#include <memory>
#include <utility>

namespace pellucar::ui {

using charts::DrawingPoint;
using charts::DrawMode;

QPen drawingPen(const ChartColors& colors, bool pending) {
    QPen pen(colors.text, 2, pending ? Qt::DashLine : Qt::SolidLine);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

ChartDrawingLayer::ChartDrawingLayer(QGraphicsScene* scene) {
    frame_ = new QGraphicsRectItem;
    frame_->setPen(Qt::NoPen);
    frame_->setBrush(Qt::NoBrush);
    frame_->setFlag(QGraphicsItem::ItemClipsChildrenToShape);
    // Over the prices and the position, under the crosshair and its tags.
    frame_->setZValue(16);
    scene->addItem(frame_);
    pending_ = new QGraphicsLineItem(frame_);
    mark_ = new QGraphicsEllipseItem(frame_);
    pending_->hide();
    mark_->hide();
}

void ChartDrawingLayer::hide() { frame_->hide(); }

QRectF ChartDrawingLayer::clip() const { return frame_->isVisible() ? frame_->rect() : QRectF(); }

void ChartDrawingLayer::place(const charts::ChartData& data, const QRectF& plot, const Map& map,
                              const ChartColors& colors, std::optional<DrawingPoint> anchor,
                              std::optional<DrawingPoint> at) {
    frame_->setRect(plot);
    frame_->show();
    const auto pointOf = [&](const DrawingPoint& p) {
        return map(static_cast<double>(p.period - data.rows.first), p.price);
    };
    const auto finite = [](const QLineF& l) {
        return std::isfinite(l.x1()) && std::isfinite(l.y1()) && std::isfinite(l.x2()) && std::isfinite(l.y2());
    };
    const auto lineOf = [&](charts::Drawing::Kind kind, const DrawingPoint& from, const DrawingPoint& to) {
        if (kind == charts::Drawing::Kind::Level) {
            const double y = pointOf(from).y();
            return QLineF(plot.left(), y, plot.right(), y);
        }
        return QLineF(pointOf(from), pointOf(to));
    };
    qsizetype shown = 0;
    for (const charts::Drawing& d : data.drawings) {
        const QLineF line = lineOf(d.kind, d.from, d.to);
        if (!finite(line)) continue;
        if (shown == lines_.size()) lines_.append(new QGraphicsLineItem(frame_));
        QGraphicsLineItem* item = lines_[shown++];
        item->setPen(drawingPen(colors, false));
        item->setLine(line);
        item->show();
    }
    for (qsizetype i = shown; i < lines_.size(); ++i) lines_[i]->hide();
    // The line being drawn follows the mouse or the keys.
    pending_->hide();
    mark_->hide();
    if (data.drawMode == DrawMode::None || !at) return;
    const QLineF line = data.drawMode == DrawMode::Level ? lineOf(charts::Drawing::Kind::Level, *at, *at)
                        : anchor                         ? lineOf(charts::Drawing::Kind::Trend, *anchor, *at)
                                                         : QLineF();
    if (!line.isNull() && finite(line)) {
        pending_->setPen(drawingPen(colors, true));
        pending_->setLine(line);
        pending_->show();
    }
    const QPointF c = pointOf(*at);
    if (std::isfinite(c.x()) && std::isfinite(c.y())) {
        mark_->setPen(drawingPen(colors, false));
        mark_->setRect(c.x() - 4, c.y() - 4, 8, 8);
        mark_->show();
    }
}

QList<QLineF> ChartDrawingLayer::shownLines() const {
    QList<QLineF> out;
    for (const QGraphicsLineItem* l : lines_)
        if (l->isVisible() && frame_->isVisible()) out << l->line();
    return out;
}

// The canvas's part in drawing: where the mouse or the keys stand, and the
// points they place.

std::optional<DrawingPoint> ChartCanvas::drawingPointAt(const QPoint& viewportPos) const {
    const int i = pointAt(viewportPos);
    if (i < 0) return std::nullopt;
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewportPos));
    const double price = chart()->mapToValue(inChart, carrier_).y();
    if (!std::isfinite(price)) return std::nullopt;
    return DrawingPoint{data_.rows.first + i, price};
}

void ChartCanvas::placeDrawings() {
    if (!drawings_) drawings_ = std::make_unique<ChartDrawingLayer>(scene());
    const QRectF plot = chart()->plotArea();
    if (!carrier_ || !data_.hasAxes() || plot.width() <= 4 || plot.height() <= 4) return drawings_->hide();
    if (data_.drawMode == DrawMode::None) anchor_.reset(), drawAt_.reset();
    const auto map = [this](double i, double price) {
        return chart()->mapToScene(chart()->mapToPosition(QPointF(i, price), carrier_));
    };
    drawings_->place(data_, chart()->mapRectToScene(plot), map, colors_, anchor_, drawAt_);
}

QList<QLineF> ChartCanvas::drawnLines() const { return drawings_ ? drawings_->shownLines() : QList<QLineF>(); }

void ChartCanvas::placeDrawPoint(const DrawingPoint& p) {
    if (data_.drawMode == DrawMode::Level) {
        emit lineDrawn({charts::Drawing::Kind::Level, p, {}});
    } else if (!anchor_) {
        anchor_ = p;
    } else if (anchor_->period != p.period) {
        const DrawingPoint from = *std::exchange(anchor_, std::nullopt);
        emit lineDrawn({charts::Drawing::Kind::Trend, from, p});
    }
    placeDrawings();
}

bool ChartCanvas::drawMouse(QMouseEvent* event) {
    if (data_.drawMode == DrawMode::None) return false;
    const std::optional<DrawingPoint> p = drawingPointAt(event->position().toPoint());
    if (p) drawAt_ = p;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // A horizontal line at a click; a trend line from the press to where
        // the mouse is let go (or to the next click).
        if (event->button() == Qt::LeftButton && p && (data_.drawMode == DrawMode::Level || !anchor_))
            placeDrawPoint(*p);
        break;
    case QEvent::MouseButtonRelease:
        if (event->button() == Qt::LeftButton && p && data_.drawMode == DrawMode::Trend && anchor_) placeDrawPoint(*p);
        break;
    default: placeDrawings(); break;
    }
    return true;
}

bool ChartCanvas::takesDrawKey(int key) const {
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) return !data_.drawings.isEmpty();
    if (data_.drawMode == DrawMode::None || data_.points.isEmpty() || !data_.hasAxes()) return false;
    for (const int k :
         {Qt::Key_Escape, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return, Qt::Key_Enter})
        if (key == k) return true;
    return false;
}

bool ChartCanvas::drawKey(int key) {
    if (!takesDrawKey(key)) return false;
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        emit lastDrawingRemoved();
        return true;
    }
    if (key == Qt::Key_Escape) {
        anchor_.reset();
        drawAt_.reset();
        emit drawCancelled();
        return true;
    }
    // The keys start at the last period's close, and step a period, or a
    // fiftieth of the prices shown.
    const int first = data_.rows.first, last = data_.rows.first + static_cast<int>(data_.points.size()) - 1;
    if (!drawAt_) drawAt_ = DrawingPoint{last, data_.lastValue.value_or((data_.yMin + data_.yMax) / 2)};
    const double step = (data_.yMax - data_.yMin) / 50;
    DrawingPoint& at = *drawAt_;
    switch (key) {
    case Qt::Key_Left: at.period = std::max(first, at.period - 1); break;
    case Qt::Key_Right: at.period = std::min(last, at.period + 1); break;
    case Qt::Key_Up: at.price = std::min(data_.yMax, at.price + step); break;
    case Qt::Key_Down: at.price = std::max(data_.yMin, at.price - step); break;
    default: placeDrawPoint(at); return true; // Enter
    }
    at.period = std::clamp(at.period, first, last);
    placeDrawings();
    return true;
}

} // namespace pellucar::ui
