#include "ui/chart_view.h"

#include "ui/metrics.h"

#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pellucar::ui {

using charts::ChartData;
using charts::ChartLine;

namespace {

constexpr int kBuy = 0, kSell = 1, kMarginBuy = 2, kMarginSell = 3;
constexpr double kMarkerSize = 11.0;
constexpr double kMarginMarkerSize = 14.0;
// Candles stand this far apart on their own (hidden) axis. With whole
// hundreds a candle's edges (0.62 of the spacing wide) are whole numbers, so
// where one is drawn does not depend on how far the chart has moved on.
constexpr double kCandleSpacing = 100.0;
// Around the chart, before the axes need their own room on the right.
const QMargins kChartMargins(2, 2, 6, 2);
// Where Qt Charts sets a title's text below the chart's top margin.
constexpr int kTitleMargin = 1;

// A trade marker: a triangle pointing up for a buy and down for a sell,
// filled for an ordinary trade and hollow with a thick rim for a margin
// call's mandatory trade, so the kinds differ in shape even in one ink. The
// image is drawn large and scaled down by the chart, which keeps it sharp on
// high-density screens.
QImage markerImage(bool up, bool hollow, const QColor& ink, const QColor& back) {
    const int size = 64;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tri;
    const double m = 6, w = size - 2 * m;
    if (up) {
        tri.moveTo(size / 2.0, m);
        tri.lineTo(m + w, m + w);
        tri.lineTo(m, m + w);
    } else {
        tri.moveTo(m, m);
        tri.lineTo(m + w, m);
        tri.lineTo(size / 2.0, m + w);
    }
    tri.closeSubpath();
    // A halo in the background colour keeps the marker clear of the lines
    // and candles under it.
    p.strokePath(tri, QPen(back, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (hollow) {
        p.fillPath(tri, back);
        p.strokePath(tri, QPen(ink, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
        p.fillPath(tri, ink);
    }
    return img;
}

// Enough decimals to tell the steps of an axis apart, and no more.
int decimalsFor(double step) {
    for (int d = 0; d <= 4; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) return d;
    }
    return 4;
}

// The step of the labels of a value axis: the data's own interval when it
// is round already (1, 2, 2.5 or 5 times a power of ten, as price axes are),
// otherwise the nearest of 1, 2 or 5 times a power of ten, so an axis whose
// limits are only rounded to tenths still reads in plain tenths or wholes.
double labelStep(double interval) {
    if (!(interval > 0)) return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(interval)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (std::fabs(interval - m * magnitude) < 1e-9 * magnitude) return interval;
    double best = magnitude, bestDistance = 1e9;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        const double distance = std::fabs(std::log(m * magnitude / interval));
        if (distance < bestDistance) {
            best = m * magnitude;
            bestDistance = distance;
        }
    }
    return best;
}

QFont chartTitleFont() {
    QFont f = windowFont();
    f.setBold(true);
    return f;
}

// Only a title to show: the prepared chart before a game's first period.
bool titleOnly(const ChartData& d) {
    return d.points.isEmpty() && d.lines.isEmpty() && d.markers.isEmpty() && !d.hasAxes();
}

bool sameDay(const charts::ChartPoint& a, const charts::ChartPoint& b) { return a.date == b.date && a.hour == b.hour; }

// How many points left the chart on the left when it moved on from `was`
// to `now`, or -1 when `now` does not start with one of `was`'s days.
qsizetype pointsGone(const QList<charts::ChartPoint>& was, const QList<charts::ChartPoint>& now) {
    if (was.isEmpty() || now.isEmpty()) return -1;
    qsizetype gone = 0;
    while (gone < was.size() && !sameDay(was.at(gone), now.first())) ++gone;
    return gone < was.size() ? gone : -1;
}

} // namespace

ChartCanvas::ChartCanvas(QWidget* parent) : QChartView(new QChart, parent) {
    setRenderHint(QPainter::Antialiasing);
    // A press moves nearly every item of the chart: one rectangle around
    // them is cheaper to track and to clip to than the region of each.
    setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
    scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    QChart* c = chart();
    c->legend()->hide();
    c->setMargins(kChartMargins);
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setBackgroundRoundness(0);

    x_ = new QCategoryAxis;
    x_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    candleX_ = new QValueAxis;
    candleX_->setVisible(false);
    slotX_ = new QValueAxis;
    slotX_->setVisible(false);
    yValue_ = new QValueAxis;
    yPercent_ = new QCategoryAxis;
    yPercent_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    c->addAxis(x_, Qt::AlignBottom);
    c->addAxis(candleX_, Qt::AlignBottom);
    c->addAxis(slotX_, Qt::AlignBottom);
    c->addAxis(yValue_, Qt::AlignLeft);
    c->addAxis(yPercent_, Qt::AlignLeft);
    connect(c, &QChart::plotAreaChanged, this, [this] { updateXLabels(); });

    colors_ = ColorTable::chart(Scheme::Design, QString());
    setMinimumSize(40, 40);
    rebuild({});
    updateAxes();
    restyle();
}

void ChartCanvas::setState(const ControlState& state) {
    if (state.text == title_) return;
    title_ = state.text;
    chart()->setTitle(title_);
}

void ChartCanvas::setChartData(const ChartData& data) {
    if (built_ && data == data_) {
        if (title_ != data.title) {
            title_ = data.title;
            chart()->setTitle(title_);
        }
        return;
    }
    const ChartData before = std::exchange(data_, data);
    built_ = true;
    widest_ = -1;
    if (title_ != data.title) {
        title_ = data.title;
        chart()->setTitle(title_);
    }
    const QList<Segment> segments = segmentsOf(data_);
    const Shape shape = shapeOf(segments, data_);
    // The label axis moves on by the days gone, as a moving chart's labels do.
    if (const qsizetype gone = pointsGone(before.points, data_.points); gone > 0)
        labelBase_ += static_cast<double>(gone);
    if (shape == shape_ && carrier_) {
        refill(segments, before);
    } else {
        shape_ = shape;
        rebuild(segments);
        restyle();
    }
    updateAxes();
    // The chart is laid out now, not when its layout request comes round:
    // by then the first changes may have been painted already, and the new
    // layout would be painted a second time.
    chart()->layout()->activate();
}

void ChartCanvas::setColors(const ChartColors& colors) {
    if (colors == colors_) return;
    colors_ = colors;
    restyle();
}

int ChartCanvas::seriesCount() const {
    // The carrier only holds the axes; it draws nothing.
    return static_cast<int>(chart()->series().size()) - (carrier_ ? 1 : 0);
}

QList<ChartCanvas::Segment> ChartCanvas::segmentsOf(const ChartData& data) const {
    // A line is broken where a value is missing, so a day without a price is
    // a gap and never a stroke down to zero.
    QList<Segment> out;
    for (const ChartLine& line : data.lines) {
        Segment seg{line.kind, line.name, {}};
        for (qsizetype i = 0; i < line.values.size(); ++i) {
            if (line.values.at(i)) {
                seg.points.append(QPointF(static_cast<double>(i), *line.values.at(i)));
            } else if (!seg.points.isEmpty()) {
                out.append(seg);
                seg.points.clear();
            }
        }
        if (!seg.points.isEmpty()) out.append(seg);
    }
    return out;
}

ChartCanvas::Shape ChartCanvas::shapeOf(const QList<Segment>& segments, const ChartData& data) const {
    Shape s;
    s.style = data.style;
    s.percentAxis = !data.yLabels.isEmpty();
    for (const Segment& seg : segments) s.segments.append(seg.kind);
    return s;
}

QValueAxis* ChartCanvas::activeYAxis() const {
    return shape_.percentAxis ? static_cast<QValueAxis*>(yPercent_) : yValue_;
}

void ChartCanvas::rebuild(const QList<Segment>& segments) {
    ++rebuilds_;
    QChart* c = chart();
    c->removeAllSeries(); // deletes them
    candles_ = nullptr;
    lines_.clear();
    lineKinds_.clear();
    markers_ = {};

    QList<QAbstractSeries*> made;
    carrier_ = new QLineSeries;
    made << carrier_;
    if (shape_.style == ChartData::Style::Candles) {
        candles_ = new QCandlestickSeries;
        candles_->setBodyWidth(0.62);
        candles_->setCapsVisible(false);
        candles_->setMinimumColumnWidth(2);
        made << candles_;
    }
    for (const Segment& seg : segments) {
        auto* s = new QLineSeries;
        s->setName(seg.name);
        s->replace(seg.points);
        lines_ << s;
        lineKinds_ << seg.kind;
        made << s;
    }
    // Trades last, so they are drawn over everything else.
    for (auto& m : markers_) {
        m = new QScatterSeries;
        made << m;
    }
    QValueAxis* y = activeYAxis();
    for (QAbstractSeries* s : made) {
        c->addSeries(s);
        s->attachAxis(s == candles_ ? candleX_ : slotX_);
        s->attachAxis(y);
    }
    fillCandles(nullptr);
    fillMarkers();
}

void ChartCanvas::refill(const QList<Segment>& segments, const ChartData& before) {
    for (qsizetype i = 0; i < segments.size() && i < lines_.size(); ++i) {
        QLineSeries* line = lines_[i];
        const Segment& seg = segments.at(i);
        if (line->name() != seg.name) line->setName(seg.name);
        // The points of an unchanged line (a statistics line, an indicator
        // that did not move) are left alone: replacing them lays it out again.
        if (line->count() != seg.points.size() || line->points() != seg.points) line->replace(seg.points);
        const bool dot = seg.points.size() == 1;
        if (line->pointsVisible() != dot) line->setPointsVisible(dot);
    }
    fillCandles(&before);
    fillMarkers();
}

void ChartCanvas::fillCandles(const ChartData* before) {
    if (!candles_) return;
    if (before && moveCandles(*before)) return;
    // New sets in one append (each set added or removed lays the series out
    // again once; each value changed in a set does so too).
    candles_->clear();
    candleBase_ = 0;
    QList<QCandlestickSet*> sets;
    for (qsizetype i = 0; i < data_.points.size(); ++i) {
        const auto& p = data_.points.at(i).price;
        if (p) sets << new QCandlestickSet(p->open, p->high, p->low, p->close, static_cast<double>(i) * kCandleSpacing);
    }
    candles_->append(sets);
}

bool ChartCanvas::moveCandles(const ChartData& before) {
    // The usual redraw: the same days, moved on by the days that left the
    // chart on the left, and new days on the right. The candles of the days
    // still shown stay as they are; the base moves by the days gone.
    const QList<charts::ChartPoint>& was = before.points;
    const QList<charts::ChartPoint>& now = data_.points;
    const qsizetype gone = pointsGone(was, now);
    if (gone < 0) return false;
    const qsizetype kept = std::min(was.size() - gone, now.size());
    QList<qsizetype> changed; // kept points whose prices differ
    for (qsizetype i = 0; i < kept; ++i) {
        const charts::ChartPoint& a = was.at(gone + i);
        const charts::ChartPoint& b = now.at(i);
        if (!sameDay(a, b) || a.price.has_value() != b.price.has_value()) return false;
        if (a.price != b.price) changed << i;
    }
    // Each changed value lays the whole series out again: past a few, new
    // sets are cheaper.
    if (changed.size() > 2) return false;

    const double base = candleBase_ + static_cast<double>(gone);
    QList<QCandlestickSet*> drop;
    QHash<qsizetype, QCandlestickSet*> byPoint;
    for (QCandlestickSet* set : candles_->sets()) {
        const auto i = static_cast<qsizetype>(std::lround(set->timestamp() / kCandleSpacing - base));
        if (i < 0 || i >= kept) drop << set;
        else byPoint.insert(i, set);
    }
    if (!drop.isEmpty()) candles_->remove(drop); // deletes them
    candleBase_ = base;
    for (qsizetype i : changed) {
        QCandlestickSet* set = byPoint.value(i);
        const charts::Ohlc& p = *now.at(i).price;
        if (!set) return false;
        set->setOpen(p.open);
        set->setHigh(p.high);
        set->setLow(p.low);
        set->setClose(p.close);
    }
    QList<QCandlestickSet*> added;
    for (qsizetype i = kept; i < now.size(); ++i) {
        const auto& p = now.at(i).price;
        if (p) {
            const double at = (base + static_cast<double>(i)) * kCandleSpacing;
            added << new QCandlestickSet(p->open, p->high, p->low, p->close, at);
        }
    }
    if (!added.isEmpty()) candles_->append(added);
    return true;
}

void ChartCanvas::fillMarkers() {
    std::array<QList<QPointF>, 4> pts;
    for (const charts::TradeMarker& m : data_.markers) {
        const int k = m.marginCall ? (m.buy ? kMarginBuy : kMarginSell) : (m.buy ? kBuy : kSell);
        pts[static_cast<size_t>(k)].append(QPointF(m.pointIndex, m.price));
    }
    for (size_t k = 0; k < markers_.size(); ++k)
        if (markers_[k]) markers_[k]->replace(pts[k]);
}

double ChartCanvas::labelWidth(const QString& text) {
    const auto it = labelWidths_.constFind(text);
    if (it != labelWidths_.constEnd()) return *it;
    const double w = QFontMetricsF(x_->labelsFont()).horizontalAdvance(text);
    if (labelWidths_.size() > 4096) labelWidths_.clear(); // a long game's texts, bounded
    labelWidths_.insert(text, w);
    return w;
}

double ChartCanvas::widestLabel() {
    if (widest_ < 0) {
        widest_ = 0;
        for (const charts::ChartPoint& p : data_.points) widest_ = std::max(widest_, labelWidth(p.label));
    }
    return widest_;
}

void ChartCanvas::updateAxes() {
    AxisState next = axisState_;
    next.axes = data_.hasAxes() && data_.xSlots > 0;
    next.percent = shape_.percentAxis;
    next.xSlots = data_.xSlots;
    next.candleBase = candleBase_;
    if (next.axes) {
        next.yMin = data_.yMin;
        next.yMax = data_.yMax;
        next.yIntervals = std::max(1, data_.yIntervals);
        next.yLabels = next.percent ? data_.yLabels : QStringList();
        // A label stands centred under its point, so the last one reaches
        // half its width past the plot: the right margin leaves it that room.
        next.rightMargin = std::max(6, static_cast<int>(std::ceil(widestLabel() / 2)) + 2);
    }
    const bool all = !axisSet_;
    const AxisState& was = axisState_;
    const double lo = -0.5, hi = std::max(1, next.xSlots) - 0.5;
    if (all || next.xSlots != was.xSlots) slotX_->setRange(lo, hi);
    if (all || next.xSlots != was.xSlots || next.candleBase != was.candleBase)
        candleX_->setRange((next.candleBase + lo) * kCandleSpacing, (next.candleBase + hi) * kCandleSpacing);
    if (all || next.axes != was.axes || next.percent != was.percent) {
        x_->setVisible(next.axes);
        yValue_->setVisible(next.axes && !next.percent);
        yPercent_->setVisible(next.axes && next.percent);
    }
    if (next.axes) {
        const bool yChanged = all || !was.axes || next.percent != was.percent || next.yMin != was.yMin ||
                              next.yMax != was.yMax || next.yIntervals != was.yIntervals || next.yLabels != was.yLabels;
        if (yChanged && next.percent) {
            for (const QString& l : yPercent_->categoriesLabels()) yPercent_->remove(l);
            yPercent_->setStartValue(next.yMin);
            const double step = (next.yMax - next.yMin) / next.yIntervals;
            for (int i = 0; i < next.yLabels.size(); ++i) yPercent_->append(next.yLabels.at(i), next.yMin + i * step);
            yPercent_->setRange(next.yMin, next.yMax);
        } else if (yChanged) {
            // Ticks on round values from zero: where the limits are round
            // (price axes) they are the limits and the intervals between;
            // where they are not (the moving average's tenths) the labels
            // still read plainly.
            const double step = labelStep((next.yMax - next.yMin) / next.yIntervals);
            yValue_->setRange(next.yMin, next.yMax);
            // Only what changed is set: each of these lays the chart out again.
            const QString format = QStringLiteral("%.") + QString::number(decimalsFor(step)) + QStringLiteral("f");
            if (yValue_->tickType() != QValueAxis::TicksDynamic) yValue_->setTickType(QValueAxis::TicksDynamic);
            if (yValue_->tickAnchor() != 0) yValue_->setTickAnchor(0);
            if (yValue_->tickInterval() != step) yValue_->setTickInterval(step);
            if (yValue_->labelFormat() != format) yValue_->setLabelFormat(format);
        }
        if (all || next.rightMargin != was.rightMargin) chart()->setMargins(QMargins(2, 2, next.rightMargin, 2));
    }
    axisState_ = next;
    axisSet_ = true;
    // The label axis moves on with the candles. Its new labels are put in
    // quietly and read when its range moves, which lays out that axis
    // alone; a change of labels announced as such lays out the whole chart
    // (title, every axis, every series) again.
    const bool labelsMoved = placeXLabels();
    const double xLo = labelBase_ + lo, xHi = labelBase_ + hi;
    if (all || xLo != x_->min() || xHi != x_->max()) x_->setRange(xLo, xHi);
    else if (labelsMoved) emit x_->categoriesChanged();
}

void ChartCanvas::updateXLabels() {
    if (placeXLabels()) emit x_->categoriesChanged();
}

bool ChartCanvas::placeXLabels() {
    const QSignalBlocker quiet(x_);
    const int n = static_cast<int>(data_.points.size());
    if (n == 0 || !x_->isVisible()) {
        shownLabels_.clear();
        if (x_->count() == 0) return false;
        for (const QString& l : x_->categoriesLabels()) x_->remove(l);
        return true;
    }
    // Every label gets the room of the widest one plus a gap; as many points
    // are skipped between two labels as that room needs.
    const double widest = widestLabel() + labelWidth(QStringLiteral("MM"));
    double plotWidth = chart()->plotArea().width();
    if (plotWidth < 20) plotWidth = std::max(40.0, viewport()->width() - labelWidth(QStringLiteral("0000.00")));
    const double perSlot = plotWidth / std::max(1, data_.xSlots);
    int step = std::max(1, static_cast<int>(std::ceil(widest / perSlot)));

    // Hours go by the day: steps that divide a day or are whole days, and
    // every day's first hour carries a label when the step allows.
    int anchor = n - 1; // daily charts always label the current day
    bool hours = false;
    for (int i = 0; i < n; ++i) {
        if (data_.points.at(i).hour == 1) {
            anchor = i;
            hours = true;
            break;
        }
        if (data_.points.at(i).hour > 0) hours = true;
    }
    if (hours) {
        if (step == 4 || step == 5) step = 6;
        else if (step > 6) step = ((step + 5) / 6) * 6;
    }
    QMap<int, QString> shown;
    for (int i = anchor % step; i < n; i += step) shown.insert(i, data_.points.at(i).label);
    if (shown == shownLabels_ && placedBase_ == labelBase_ && x_->count() == shown.size()) return false;
    shownLabels_ = shown;
    placedBase_ = labelBase_;
    // Labels stand at the points' places on the moving axis.
    for (const QString& l : x_->categoriesLabels()) x_->remove(l);
    x_->setStartValue(labelBase_ - 0.5);
    QStringList used;
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        // Category labels must be unique; repeated hour texts are told
        // apart by zero-width spaces that show nothing.
        QString label = it.value();
        while (used.contains(label)) label += QChar(0x200B);
        used << label;
        x_->append(label, labelBase_ + it.key());
    }
    return true;
}

void ChartCanvas::restyle() {
    QChart* c = chart();
    const QFont titleFont = chartTitleFont();
    QFont axisFont = windowFont();
    axisFont.setPointSizeF(7.0);
    if (axisFont != x_->labelsFont()) {
        labelWidths_.clear();
        widest_ = -1;
    }
    c->setTitleFont(titleFont);
    c->setTitleBrush(colors_.text);
    c->setBackgroundBrush(colors_.back);
    c->setBackgroundPen(Qt::NoPen);
    c->setPlotAreaBackgroundVisible(false);
    setBackgroundBrush(colors_.back);

    QColor grid = colors_.text;
    grid.setAlpha(colors_.singleInk ? 70 : 55);
    for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(x_), static_cast<QAbstractAxis*>(yValue_),
                             static_cast<QAbstractAxis*>(yPercent_)}) {
        a->setLabelsFont(axisFont);
        a->setLabelsBrush(colors_.text);
        a->setLinePen(QPen(colors_.text, 1));
        a->setGridLinePen(QPen(grid, 1, Qt::DotLine));
    }
    if (carrier_) carrier_->setPen(Qt::NoPen);

    if (candles_) {
        // Rising candles hollow, falling ones filled: readable in one ink.
        candles_->setIncreasingColor(colors_.back);
        candles_->setDecreasingColor(colors_.series);
        candles_->setPen(QPen(colors_.series, 1));
        candles_->setBodyOutlineVisible(true);
    }
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        QPen pen;
        pen.setCapStyle(Qt::RoundCap);
        switch (lineKinds_.at(i)) {
        case ChartLine::Kind::Close:
        case ChartLine::Kind::Indicator1:
            pen.setColor(colors_.series);
            pen.setWidthF(1.6);
            break;
        case ChartLine::Kind::MovingAverage:
        case ChartLine::Kind::Indicator2:
            pen.setColor(colors_.average);
            pen.setWidthF(1.5);
            if (colors_.singleInk) pen.setStyle(Qt::DashLine);
            break;
        case ChartLine::Kind::Mean:
            pen.setColor(colors_.statistics);
            pen.setWidthF(1.0);
            // In one ink the moving average is the dashed line; the mean dots.
            pen.setStyle(colors_.singleInk ? Qt::DotLine : Qt::DashLine);
            break;
        case ChartLine::Kind::Min:
        case ChartLine::Kind::Max:
            pen.setColor(colors_.statistics);
            pen.setWidthF(1.0);
            pen.setStyle(Qt::DashDotLine);
            break;
        }
        lines_[i]->setPen(pen);
        lines_[i]->setColor(pen.color());
        lines_[i]->setMarkerSize(4);
        lines_[i]->setPointsVisible(lines_[i]->count() == 1);
    }
    // A small key names the lines when there are two to tell apart (close
    // and average, or the two stochastic sets); statistics lines explain
    // themselves and broken lines are named once.
    QLegend* legend = c->legend();
    QFont legendFont = axisFont;
    legend->setFont(legendFont);
    legend->setLabelColor(colors_.text);
    legend->setAlignment(Qt::AlignTop);
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->setBackgroundVisible(false);
    QList<ChartLine::Kind> named;
    for (QAbstractSeries* series : c->series()) {
        // Found by comparing each line upcast: the chart also holds the
        // candles and the trade markers, which are no QLineSeries.
        qsizetype i = -1;
        for (qsizetype j = 0; j < lines_.size() && i < 0; ++j)
            if (static_cast<QAbstractSeries*>(lines_.at(j)) == series) i = j;
        bool show = false;
        if (i >= 0) {
            const ChartLine::Kind k = lineKinds_.at(i);
            const bool keyed = k == ChartLine::Kind::Close || k == ChartLine::Kind::MovingAverage ||
                               k == ChartLine::Kind::Indicator1 || k == ChartLine::Kind::Indicator2;
            show = keyed && !named.contains(k);
            if (show) named << k;
        }
        for (QLegendMarker* m : legend->markers(series)) m->setVisible(show);
    }
    legend->setVisible(named.size() >= 2);

    const std::array<QColor, 4> ink{colors_.buy, colors_.sell, colors_.marginCall, colors_.marginCall};
    for (size_t k = 0; k < markers_.size(); ++k) {
        QScatterSeries* m = markers_[k];
        if (!m) continue;
        const bool margin = k == kMarginBuy || k == kMarginSell;
        const bool up = k == kBuy || k == kMarginBuy;
        m->setMarkerSize(margin ? kMarginMarkerSize : kMarkerSize);
        m->setColor(ink[k]);
        m->setBorderColor(Qt::transparent);
        m->setLightMarker(markerImage(up, margin, ink[k], colors_.back));
    }
}

int ChartCanvas::pointAt(const QPoint& viewportPos) const {
    if (!carrier_ || data_.points.isEmpty() || !x_->isVisible()) return -1;
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewportPos));
    if (!chart()->plotArea().contains(inChart)) return -1;
    const QPointF value = chart()->mapToValue(inChart, carrier_);
    const int i = static_cast<int>(std::lround(value.x()));
    return i >= 0 && i < data_.points.size() ? i : -1;
}

QString ChartCanvas::toolTipAt(const QPoint& viewportPos) const {
    const int i = pointAt(viewportPos);
    return i < 0 ? QString() : data_.points.at(i).detail;
}

QPoint ChartCanvas::viewportPosOf(int pointIndex, double value) const {
    if (!carrier_) return {};
    const QPointF inChart = chart()->mapToPosition(QPointF(pointIndex, value), carrier_);
    return mapFromScene(chart()->mapToScene(inChart));
}

bool ChartCanvas::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport());
        }
        return true;
    }
    return QChartView::viewportEvent(event);
}

GameChartView::GameChartView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(40, 40);
    colors_ = ColorTable::chart(Scheme::Design, QString());
}

QSize GameChartView::sizeHint() const { return {256, 192}; }

void GameChartView::setState(const ControlState& state) {
    if (state.text == title_) return;
    title_ = state.text;
    if (canvas_) canvas_->setState(state);
    else update();
}

void GameChartView::setChartData(const ChartData& data) {
    if (canvas_) {
        data_ = data;
        title_ = data.title;
        // A chart a report covers draws what it shows when it is shown again.
        if (isHidden()) drawnOnShow_ = true;
        else canvas_->setChartData(data);
        return;
    }
    // The drawing shows a chart's own title whatever the control's text.
    if (data == data_ && title_ == data.title) return;
    data_ = data;
    title_ = data.title;
    if (titleOnly(data)) update();
    else makeCanvas();
}

void GameChartView::setColors(const ChartColors& colors) {
    if (colors == colors_) return;
    colors_ = colors;
    if (canvas_) canvas_->setColors(colors);
    else update();
}

QString GameChartView::toolTipAt(const QPoint& viewportPos) const {
    return canvas_ ? canvas_->toolTipAt(viewportPos) : QString();
}

QPoint GameChartView::viewportPosOf(int pointIndex, double value) const {
    return canvas_ ? canvas_->viewportPosOf(pointIndex, value) : QPoint();
}

QMap<int, QString> GameChartView::shownXLabels() const {
    return canvas_ ? canvas_->shownXLabels() : QMap<int, QString>();
}

void GameChartView::makeCanvas() {
    canvas_ = new ChartCanvas(this);
    // The keyboard passes the chart by.
    canvas_->setFocusPolicy(Qt::NoFocus);
    canvas_->setColors(colors_);
    canvas_->setChartData(data_);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(canvas_);
    canvas_->show();
}

void GameChartView::showEvent(QShowEvent* event) {
    if (std::exchange(drawnOnShow_, false)) canvas_->setChartData(data_);
    QWidget::showEvent(event);
}

void GameChartView::paintEvent(QPaintEvent*) {
    if (canvas_) return;
    // What the drawing shows of a chart with nothing but its title: the
    // background and the title centred at the top.
    QPainter p(this);
    p.fillRect(rect(), colors_.back);
    if (title_.isEmpty()) return;
    p.setFont(chartTitleFont());
    p.setPen(colors_.text);
    p.drawText(rect().adjusted(kChartMargins.left(), kChartMargins.top() + kTitleMargin, -kChartMargins.right(), 0),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, title_);
}

void applyChartColors(QWidget* chartView, const ChartColors& colors) {
    if (auto* v = qobject_cast<GameChartView*>(chartView)) v->setColors(colors);
}

} // namespace pellucar::ui
