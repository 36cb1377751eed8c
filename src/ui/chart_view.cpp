#include "ui/chart_view.h"

#include "ui/chart_drawings.h"
#include "ui/metrics.h"

#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
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
constexpr double kMarkerSize = 13.0;
constexpr double kMarginMarkerSize = 16.0;
// Candles stand this far apart on their own (hidden) axis. With whole
// hundreds a candle's edges (0.62 of the spacing wide) are whole numbers, so
// where one is drawn does not depend on how far the chart has moved on.
constexpr double kCandleSpacing = 100.0;
// Around the chart, before the axes need their own room on the right.
const QMargins kChartMargins(2, 2, 6, 2);
// Where Qt Charts sets a title's text below the chart's top margin.
constexpr int kTitleMargin = 1;
// Room round the drawing for the frame that shows the keyboard's focus.
constexpr int kFocusFrame = 2;

} // namespace

QImage tradeMarkImage(bool buy, bool marginCall, const ChartColors& colors) {
    // A triangle pointing up for a buy and down for a sell, filled for an
    // ordinary trade and hollow for a margin call's mandatory trade, so the
    // kinds differ in shape even in one ink. A rim in black or white,
    // whichever stands out from the mark's ink, keeps the mark clear of a
    // candle of its own colour, and a halo in the background colour keeps it
    // clear of the lines under it. Drawn large and scaled down by the chart,
    // it stays sharp on high-density screens.
    const QColor ink = marginCall ? colors.marginCall : (buy ? colors.buy : colors.sell);
    const QColor rim =
        contrastRatio(ink, rgb::black()) >= contrastRatio(ink, rgb::white()) ? rgb::black() : rgb::white();
    const int size = 64;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tri;
    const double m = 12, w = size - 2 * m;
    if (buy) {
        tri.moveTo(size / 2.0, m);
        tri.lineTo(m + w, m + w);
        tri.lineTo(m, m + w);
    } else {
        tri.moveTo(m, m);
        tri.lineTo(m + w, m);
        tri.lineTo(size / 2.0, m + w);
    }
    tri.closeSubpath();
    const auto stroke = [&](const QColor& c, double width) {
        p.strokePath(tri, QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };
    stroke(colors.back, 24);
    stroke(rim, 16);
    if (marginCall) {
        stroke(ink, 6);
        p.fillPath(tri, colors.back);
    } else {
        p.fillPath(tri, ink);
    }
    return img;
}

QPen chartLinePen(ChartLine::Kind kind, const ChartColors& colors) {
    QPen pen;
    pen.setCapStyle(Qt::RoundCap);
    switch (kind) {
    case ChartLine::Kind::Close:
    case ChartLine::Kind::Indicator1:
        pen.setColor(colors.series);
        pen.setWidthF(1.6);
        break;
    case ChartLine::Kind::Settlement:
        // Where the candles stop for want of a day's range, their ink goes on.
        pen.setColor(colors.singleInk ? colors.series : colors.text);
        pen.setWidthF(2.0);
        break;
    case ChartLine::Kind::MovingAverage:
    case ChartLine::Kind::Indicator2:
        pen.setColor(colors.average);
        pen.setWidthF(1.6);
        if (colors.singleInk) pen.setStyle(Qt::DashLine);
        break;
    case ChartLine::Kind::Mean:
        pen.setColor(colors.statistics);
        pen.setWidthF(1.0);
        // In one ink the moving average is the dashed line; the mean dots.
        pen.setStyle(colors.singleInk ? Qt::DotLine : Qt::DashLine);
        break;
    case ChartLine::Kind::Min:
    case ChartLine::Kind::Max:
        pen.setColor(colors.statistics);
        pen.setWidthF(1.0);
        pen.setStyle(Qt::DashDotLine);
        break;
    case ChartLine::Kind::Guide:
        pen.setColor(colors.text);
        pen.setWidthF(1.0);
        pen.setStyle(Qt::DashLine);
        break;
    case ChartLine::Kind::Volume:
        pen.setColor(colors.series);
        pen.setWidthF(3.0);
        pen.setCapStyle(Qt::FlatCap);
        break;
    case ChartLine::Kind::OpenInterest:
        pen.setColor(colors.average);
        pen.setWidthF(1.6);
        if (colors.singleInk) pen.setStyle(Qt::DashLine);
        break;
    case ChartLine::Kind::Band:
        pen.setColor(colors.statistics);
        pen.setWidthF(1.2);
        pen.setStyle(Qt::DashDotDotLine);
        break;
    case ChartLine::Kind::Histogram:
        pen.setColor(colors.statistics);
        pen.setWidthF(3.0);
        pen.setCapStyle(Qt::FlatCap);
        break;
    }
    return pen;
}

QPen positionPen(bool isLong, const ChartColors& colors) {
    // Long dashes with a dot between: no statistics line is drawn so.
    QPen pen(isLong ? colors.buy : colors.sell, 1.6);
    pen.setDashPattern({6, 2, 1, 2});
    return pen;
}

namespace {

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

ChartCanvas::~ChartCanvas() = default;

ChartCanvas::ChartCanvas(QWidget* parent) : QChartView(new QChart, parent) {
    setRenderHint(QPainter::Antialiasing);
    // A press moves nearly every item of the chart: one rectangle around
    // them is cheaper to track and to clip to than the region of each.
    setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
    // The chart's items set the pen, brush and clip they draw with, or keep
    // the painter's state themselves: saving it around each is needless.
    setOptimizationFlag(QGraphicsView::DontSavePainterState);
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
    y_ = new QCategoryAxis;
    y_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    c->addAxis(x_, Qt::AlignBottom);
    c->addAxis(candleX_, Qt::AlignBottom);
    c->addAxis(slotX_, Qt::AlignBottom);
    c->addAxis(y_, Qt::AlignLeft);
    connect(c, &QChart::plotAreaChanged, this, [this] {
        updateXLabels();
        placeOverlays();
        emit plotAreaMoved();
    });
    viewport()->setMouseTracking(true);

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
    if (data.orders != data_.orders) heldOrder_ = -1; // the order held may be gone
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
    const qsizetype gone = pointsGone(before.points, data_.points);
    if (gone > 0) labelBase_ += static_cast<double>(gone);
    const bool sameShape = shape == shape_ && carrier_;
    if (sameShape) {
        refill(segments, before);
    } else {
        shape_ = shape;
        rebuild(segments);
        restyle();
    }
    updateLegend();
    // Only a chart moving on or growing as it stands may relabel its price
    // axis quietly.
    movingOn_ = gone >= 0 && sameShape && before.xSlots == data_.xSlots && before.title == data_.title;
    updateAxes();
    movingOn_ = false;
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
        if (line.kind == ChartLine::Kind::Volume || line.kind == ChartLine::Kind::Histogram) {
            // A bar per point: a stroke up from its foot (the axis's, or 0
            // for a histogram) and back, drawn as one line with a wide flat
            // pen.
            const double foot = line.kind == ChartLine::Kind::Volume ? data.yMin : 0.0;
            for (qsizetype i = 0; i < line.values.size(); ++i) {
                if (!line.values.at(i)) continue;
                const double x = static_cast<double>(i);
                seg.points << QPointF(x, foot) << QPointF(x, *line.values.at(i)) << QPointF(x, foot);
            }
            if (!seg.points.isEmpty()) out.append(seg);
            continue;
        }
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
    for (const Segment& seg : segments) s.segments.append(seg.kind);
    return s;
}

void ChartCanvas::rebuild(const QList<Segment>& segments) {
    ++rebuilds_;
    QChart* c = chart();
    c->removeAllSeries(); // deletes them
    candles_ = nullptr;
    barsKey_ = nullptr;
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
        candles_->setName(QStringLiteral("Candles"));
        made << candles_;
    } else if (shape_.style == ChartData::Style::Bars) {
        // Bars are drawn over the chart, not as a series: a line without
        // points names them in the key.
        barsKey_ = new QLineSeries;
        barsKey_->setName(QStringLiteral("Bars"));
        made << barsKey_;
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
    QValueAxis* y = y_;
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
    // chart on the left (or back by the days that came in there), and new
    // days at either end. The candles of the days still shown stay as they
    // are; the base moves by the shift.
    const QList<charts::ChartPoint>& was = before.points;
    const QList<charts::ChartPoint>& now = data_.points;
    qsizetype shift = pointsGone(was, now); // was's index of now's first point
    if (shift < 0) {
        const qsizetype came = pointsGone(now, was);
        if (came <= 0) return false;
        shift = -came;
    }
    // Now's points from `first` up to `end` were shown before, at index + shift.
    const qsizetype first = std::max<qsizetype>(0, -shift);
    const qsizetype end = std::min(now.size(), was.size() - shift);
    if (end <= first) return false;
    QList<qsizetype> changed; // kept points whose prices differ
    for (qsizetype i = first; i < end; ++i) {
        const charts::ChartPoint& a = was.at(i + shift);
        const charts::ChartPoint& b = now.at(i);
        if (!sameDay(a, b) || a.price.has_value() != b.price.has_value()) return false;
        if (a.price != b.price) changed << i;
    }
    // Each changed value lays the whole series out again: past a few, new
    // sets are cheaper.
    if (changed.size() > 2) return false;

    const double base = candleBase_ + static_cast<double>(shift);
    QList<QCandlestickSet*> drop;
    QHash<qsizetype, QCandlestickSet*> byPoint;
    for (QCandlestickSet* set : candles_->sets()) {
        const auto i = static_cast<qsizetype>(std::lround(set->timestamp() / kCandleSpacing - base));
        if (i < first || i >= end) drop << set;
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
    for (qsizetype i = 0; i < now.size(); ++i) {
        const auto& p = now.at(i).price;
        if (p && (i < first || i >= end)) {
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

double ChartCanvas::widestOf(const QStringList& texts) {
    double widest = 0;
    for (const QString& t : texts) widest = std::max(widest, labelWidth(t));
    return widest;
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
    next.xSlots = data_.xSlots;
    next.candleBase = candleBase_;
    next.leftMargin = 2 + static_cast<int>(std::lround(extraLeft_));
    if (next.axes) {
        next.yMin = data_.yMin;
        next.yMax = data_.yMax;
        next.yTicks = data_.yTicks;
        next.yLabels = data_.yLabels;
        // The room right of the plot: for the last price's tag, and for the
        // last point's label, which stands centred under it; as much as the
        // partner chart's where that is more, so the plots end alike.
        next.rightMargin = static_cast<int>(std::ceil(std::max(ownRightRoom(), rightRoom_)));
    }
    const bool all = !axisSet_;
    const AxisState& was = axisState_;
    const double lo = -0.5, hi = std::max(1, next.xSlots) - 0.5;
    if (all || next.xSlots != was.xSlots) slotX_->setRange(lo, hi);
    if (all || next.xSlots != was.xSlots || next.candleBase != was.candleBase)
        candleX_->setRange((next.candleBase + lo) * kCandleSpacing, (next.candleBase + hi) * kCandleSpacing);
    if (all || next.axes != was.axes) {
        x_->setVisible(next.axes);
        y_->setVisible(next.axes);
    }
    if (next.axes) {
        const bool yChanged = all || !was.axes || next.yMin != was.yMin || next.yMax != was.yMax ||
                              next.yTicks != was.yTicks || next.yLabels != was.yLabels;
        if (yChanged) {
            // Labels at the data's ticks, in the market's notation; the
            // category boundaries are the grid lines. A chart moving on to
            // a new range whose labels are as wide as the old puts them in
            // quietly, and the new range lays out this axis alone; labels
            // announced lay out the whole chart again.
            const bool quiet = movingOn_ && !all && was.axes && (next.yMin != was.yMin || next.yMax != was.yMax) &&
                               widestOf(next.yLabels) == widestOf(was.yLabels);
            if (quiet) y_->blockSignals(true);
            for (const QString& l : y_->categoriesLabels()) y_->remove(l);
            y_->setStartValue(next.yMin);
            // The new range goes in before the new labels, as on an axis
            // made anew: otherwise a grid line of the old range can stay.
            if (!quiet) y_->setRange(next.yMin, next.yMax);
            double previous = next.yMin;
            for (qsizetype i = 0; i < next.yTicks.size() && i < next.yLabels.size(); ++i) {
                const double at = std::max(next.yTicks.at(i), previous + 1e-9);
                y_->append(next.yLabels.at(i), at);
                previous = at;
            }
            if (quiet) y_->blockSignals(false);
            y_->setRange(next.yMin, next.yMax);
        }
        if (all || next.rightMargin != was.rightMargin || next.leftMargin != was.leftMargin)
            chart()->setMargins(QMargins(next.leftMargin, 2, next.rightMargin, 2));
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
    placeOverlays();
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
    for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(x_), static_cast<QAbstractAxis*>(y_)}) {
        a->setLabelsFont(axisFont);
        a->setLabelsBrush(colors_.text);
        a->setLinePen(QPen(colors_.text, 1));
        a->setGridLinePen(QPen(grid, 1, Qt::DotLine));
    }
    if (carrier_) carrier_->setPen(Qt::NoPen);
    if (barsKey_)
        barsKey_->setPen(QPen(colors_.rising.isValid() && !colors_.singleInk ? colors_.rising : colors_.series, 2));

    if (candles_) {
        // Rising and falling candles in two colours; in one ink rising ones
        // hollow and falling ones filled.
        candles_->setIncreasingColor(colors_.rising.isValid() ? colors_.rising : colors_.back);
        candles_->setDecreasingColor(colors_.falling.isValid() ? colors_.falling : colors_.series);
        candles_->setPen(QPen(colors_.singleInk ? colors_.series : colors_.text, 1));
        candles_->setBodyOutlineVisible(true);
    }
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QPen pen = chartLinePen(lineKinds_.at(i), colors_);
        lines_[i]->setPen(pen);
        lines_[i]->setColor(pen.color());
        lines_[i]->setMarkerSize(4);
        lines_[i]->setPointsVisible(lines_[i]->count() == 1);
    }
    updateLegend();

    const std::array<QColor, 4> ink{colors_.buy, colors_.sell, colors_.marginCall, colors_.marginCall};
    for (size_t k = 0; k < markers_.size(); ++k) {
        QScatterSeries* m = markers_[k];
        if (!m) continue;
        const bool margin = k == kMarginBuy || k == kMarginSell;
        const bool up = k == kBuy || k == kMarginBuy;
        m->setMarkerSize(margin ? kMarginMarkerSize : kMarkerSize);
        m->setColor(ink[k]);
        m->setBorderColor(Qt::transparent);
        m->setLightMarker(tradeMarkImage(up, margin, colors_));
    }
    // The tags and lines drawn over the chart take the new colours too.
    placeOverlays();
}

void ChartCanvas::updateLegend() {
    // A small key names what the pane draws once there is more than one
    // thing to tell apart (candles and an average, a line and its mean, the
    // two stochastic sets); the fixed levels of an indicator explain
    // themselves, and a broken line is named once.
    QLegend* legend = chart()->legend();
    QFont legendFont = windowFont();
    legendFont.setPointSizeF(7.0);
    legend->setFont(legendFont);
    legend->setLabelColor(colors_.text);
    legend->setAlignment(Qt::AlignTop);
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->setBackgroundVisible(false);
    QStringList named;
    // Candles and bars only where some day is drawn whole.
    const bool whole =
        std::any_of(data_.points.cbegin(), data_.points.cend(), [](const charts::ChartPoint& p) { return p.price; });
    for (QAbstractSeries* series : chart()->series()) {
        // Found by comparing each line upcast: the chart also holds the
        // candles and the trade markers, which are no QLineSeries.
        qsizetype i = -1;
        for (qsizetype j = 0; j < lines_.size() && i < 0; ++j)
            if (static_cast<QAbstractSeries*>(lines_.at(j)) == series) i = j;
        bool show = false;
        if (series == candles_ || series == barsKey_) {
            show = whole && !named.contains(series->name());
        } else if (i >= 0 && lineKinds_.at(i) != ChartLine::Kind::Guide) {
            show = !named.contains(lines_.at(i)->name());
        }
        if (show) named << series->name();
        for (QLegendMarker* m : legend->markers(series)) m->setVisible(show);
    }
    legend->setVisible(named.size() >= 2);
}

QStringList ChartCanvas::yAxisLabels() const {
    QStringList out;
    for (const QString& l : y_->categoriesLabels()) out << l;
    return out;
}

bool ChartCanvas::layOutNow() {
    bool laidOut = false;
    for (QGraphicsLayout* l : {chart()->layout(), chart()->legend()->layout()})
        if (l && !l->isActivated()) {
            l->activate();
            laidOut = true;
        }
    return laidOut;
}

void ChartCanvas::setExtraLeft(double px) {
    // Whole pixels, and no change for less than one: the plot's left edge
    // falls on half pixels, and chasing them would lay the two charts out
    // in turn for ever.
    const double whole = std::max(0.0, std::ceil(px - 0.01));
    if (whole == extraLeft_) return;
    extraLeft_ = whole;
    if (axisSet_) updateAxes();
}

double ChartCanvas::naturalPlotLeft() const { return chart()->plotArea().left() - extraLeft_; }

double ChartCanvas::neededPlotLeft() const { return naturalPlotLeft(); }

double ChartCanvas::ownRightRoom() {
    double room = std::max(6.0, std::ceil(widestLabel() / 2) + 2);
    // The last price's tag stands right of the plot, clear of the y axis's
    // labels ("6.52 1/2" beside "6.50").
    if (data_.lastValue) {
        const QString text = charts::valueText(data_.notation, *data_.lastValue);
        room = std::max(room, std::ceil(QFontMetricsF(x_->labelsFont()).horizontalAdvance(text)) + 10);
    }
    return room;
}

void ChartCanvas::setRightRoom(double px) {
    const double whole = std::max(0.0, std::ceil(px - 0.01));
    if (whole == rightRoom_) return;
    rightRoom_ = whole;
    if (axisSet_) updateAxes();
}

QPointF ChartCanvas::positionLabelPlace(const QSizeF& size, double lineY) const {
    // The label stands beside the position's line, above or below it, at
    // the left or the right of the plot: the first place that covers no
    // price drawn, or else the one that covers the fewest.
    const QRectF plot = chart()->plotArea();
    QList<QRectF> prices;
    const double half = plot.width() / std::max(1, data_.xSlots) * 0.4;
    for (qsizetype i = 0; i < data_.points.size(); ++i) {
        const auto& p = data_.points.at(i).price;
        if (!p) continue;
        const QPointF high = chart()->mapToPosition(QPointF(static_cast<double>(i), p->high), carrier_);
        const QPointF low = chart()->mapToPosition(QPointF(static_cast<double>(i), p->low), carrier_);
        prices << QRectF(QPointF(high.x() - half, high.y() - 2), QPointF(high.x() + half, low.y() + 2));
    }
    // Along the line from the left, above it and below it, then in the
    // plot's corners.
    const double above = lineY - size.height() - 1, below = lineY + 2;
    const double left = plot.left() + 4, right = plot.right() - size.width() - 4;
    QList<QPointF> places;
    const double step = std::max(8.0, half * 2.5);
    for (double x = left; x <= right; x += step) places << QPointF(x, above) << QPointF(x, below);
    places << QPointF(right, above) << QPointF(right, below);
    for (double y : {plot.top() + 2, plot.bottom() - size.height() - 2})
        places << QPointF(left, y) << QPointF(right, y);
    QPointF best;
    int fewest = -1;
    for (const QPointF& at : places) {
        const QRectF r(at, size);
        if (r.top() < plot.top() || r.bottom() > plot.bottom()) continue;
        const auto covered = static_cast<int>(
            std::count_if(prices.cbegin(), prices.cend(), [&r](const QRectF& p) { return p.intersects(r); }));
        if (fewest < 0 || covered < fewest) {
            best = at;
            fewest = covered;
        }
        if (covered == 0) break;
    }
    return fewest < 0 ? QPointF(left, std::clamp(above, plot.top(), plot.bottom() - size.height())) : best;
}

QRectF ChartCanvas::positionLabelRect() const {
    return positionTag_ && positionTag_->isVisible() ? positionTag_->sceneBoundingRect() : QRectF();
}

QRectF ChartCanvas::lastPriceTagRect() const {
    return lastTag_ && lastTag_->isVisible() ? lastTag_->sceneBoundingRect() : QRectF();
}

QStringList ChartCanvas::storyMarkTexts() const {
    QStringList out;
    for (const QGraphicsRectItem* m : storyMarks_)
        out << static_cast<const QGraphicsSimpleTextItem*>(m->childItems().first())->text();
    return out;
}

QList<QRectF> ChartCanvas::storyMarkRects() const {
    QList<QRectF> out;
    for (const QGraphicsRectItem* m : storyMarks_) out << m->sceneBoundingRect();
    return out;
}

QGraphicsSimpleTextItem* ChartCanvas::tag(QGraphicsRectItem*& box, const QString& text, const QColor& ink,
                                          const QColor& back) {
    if (!box) {
        box = new QGraphicsRectItem;
        box->setZValue(20);
        new QGraphicsSimpleTextItem(box);
        scene()->addItem(box);
    }
    auto* label = static_cast<QGraphicsSimpleTextItem*>(box->childItems().first());
    QFont f = x_->labelsFont();
    label->setFont(f);
    label->setText(text);
    label->setBrush(ink);
    label->setPos(3, 1);
    box->setRect(QRectF(QPointF(0, 0), label->boundingRect().size() + QSizeF(6, 2)));
    box->setBrush(back);
    box->setPen(QPen(ink, 1));
    box->show();
    return label;
}

void ChartCanvas::placeOverlays() {
    const QRectF plot = chart()->plotArea();
    const bool drawn = carrier_ && data_.hasAxes() && plot.width() > 4 && plot.height() > 4;
    const auto yAt = [&](double v) { return chart()->mapToPosition(QPointF(0, v), carrier_).y(); };
    const auto inPlot = [&](double y) { return y >= plot.top() - 0.5 && y <= plot.bottom() + 0.5; };
    // The last price, tagged on the y axis where its line ends.
    if (drawn && data_.lastValue && inPlot(yAt(*data_.lastValue))) {
        tag(lastTag_, charts::valueText(data_.notation, *data_.lastValue), colors_.back, colors_.series);
        const QRectF r = lastTag_->rect();
        lastTag_->setPos(plot.right() + 2, yAt(*data_.lastValue) - r.height() / 2);
    } else if (lastTag_) {
        lastTag_->hide();
    }
    // The open position: a line across at its average entry price, labelled.
    if (drawn && data_.position && inPlot(yAt(data_.position->price)) && std::isfinite(plot.width())) {
        if (!positionLine_) {
            positionLine_ = new QGraphicsLineItem;
            positionLine_->setZValue(15);
            scene()->addItem(positionLine_);
        }
        const QColor ink = data_.position->isLong ? colors_.buy : colors_.sell;
        const double y = yAt(data_.position->price);
        positionLine_->setLine(plot.left(), y, plot.right(), y);
        positionLine_->show();
        positionLine_->setPen(positionPen(data_.position->isLong, colors_));
        tag(positionTag_, data_.position->label, ink, colors_.back);
        positionTag_->setPos(positionLabelPlace(positionTag_->rect().size(), y));
    } else {
        if (positionLine_) positionLine_->hide();
        if (positionTag_) positionTag_->hide();
    }
    // The working orders: a dashed line across at each price, labelled at
    // the plot's left; one held by the mouse follows it until let go.
    qsizetype shownOrders = 0;
    for (qsizetype i = 0; drawn && std::isfinite(plot.width()) && i < data_.orders.size(); ++i) {
        const charts::OrderLine& o = data_.orders.at(i);
        if (i == heldOrder_ || !inPlot(yAt(o.price))) continue;
        if (shownOrders == orderLines_.size()) {
            orderLines_.append(new QGraphicsLineItem);
            orderLines_.last()->setZValue(14);
            scene()->addItem(orderLines_.last());
            orderTags_.append(nullptr);
        }
        const QColor ink = o.buy ? colors_.buy : colors_.sell;
        const double y = yAt(o.price);
        QGraphicsLineItem* line = orderLines_.at(shownOrders);
        line->setPen(QPen(ink, 1, Qt::DashLine));
        line->setLine(plot.left(), y, plot.right(), y);
        line->setData(0, static_cast<int>(i));
        line->show();
        tag(orderTags_[shownOrders], o.label, ink, colors_.back);
        orderTags_[shownOrders]->setPos(plot.left() + 4, y - orderTags_[shownOrders]->rect().height());
        ++shownOrders;
    }
    placeDrawings();
    for (qsizetype i = shownOrders; i < orderLines_.size(); ++i) {
        if (heldOrder_ >= 0 && orderLines_[i]->data(0).toInt() == heldOrder_) continue;
        orderLines_[i]->hide();
        if (orderTags_[i]) orderTags_[i]->hide();
    }
    // Bars: a stroke from the high to the low, the open ticked left and the
    // close right, in the rising or the falling ink.
    std::array<QPainterPath, 2> bars;
    bars_ = 0;
    if (drawn && data_.style == ChartData::Style::Bars) {
        const double tick = plot.width() / std::max(1, data_.xSlots) * 0.3;
        for (qsizetype i = 0; i < data_.points.size(); ++i) {
            const auto& p = data_.points.at(i).price;
            if (!p) continue;
            const double x = chart()->mapToPosition(QPointF(static_cast<double>(i), 0), carrier_).x();
            QPainterPath& path = bars[p->close < p->open ? 1 : 0];
            path.moveTo(x, yAt(p->high));
            path.lineTo(x, yAt(p->low));
            path.moveTo(x - tick, yAt(p->open));
            path.lineTo(x, yAt(p->open));
            path.moveTo(x, yAt(p->close));
            path.lineTo(x + tick, yAt(p->close));
            ++bars_;
        }
    }
    for (size_t k = 0; k < bars.size(); ++k) {
        if (!barItems_[k]) {
            barItems_[k] = new QGraphicsPathItem;
            // Over the grid, under the lines and the trades' marks.
            barItems_[k]->setZValue(5.5);
            scene()->addItem(barItems_[k]);
        }
        const QColor rising = colors_.rising.isValid() && !colors_.singleInk ? colors_.rising : colors_.series;
        const QColor falling = colors_.falling.isValid() ? colors_.falling : colors_.series;
        barItems_[k]->setPen(QPen(k == 0 ? rising : falling, 1.6, Qt::SolidLine, Qt::FlatCap));
        barItems_[k]->setPath(bars[k]);
        barItems_[k]->setVisible(!bars[k].isEmpty());
    }
    // Stories: a dotted line down the plot at their hour, and a boxed
    // "News" at its top. Stories of one hour, or of hours too close for a
    // box each, share one box that counts them ("News 3"), so no box is
    // drawn over another.
    const qsizetype stories = drawn ? data_.stories.size() : 0;
    while (storyLines_.size() > stories) delete storyLines_.takeLast();
    struct Group {
        double x = 0;
        int count = 0;
        QStringList headlines;
    };
    QList<Group> groups;
    QList<std::pair<double, qsizetype>> byX;
    for (qsizetype i = 0; i < stories; ++i)
        byX.append({chart()->mapToPosition(QPointF(data_.stories.at(i).pointIndex, 0), carrier_).x(), i});
    std::sort(byX.begin(), byX.end());
    const QFontMetricsF storyFont(x_->labelsFont());
    const auto boxWidth = [&](int count) {
        return storyFont.horizontalAdvance(count > 1 ? QStringLiteral("News %1").arg(count) : QStringLiteral("News")) +
               6;
    };
    for (const auto& [x, i] : byX) {
        if (i >= storyLines_.size()) {
            auto* line = new QGraphicsLineItem;
            line->setZValue(17);
            scene()->addItem(line);
            storyLines_ << line;
        }
        if (!groups.isEmpty()) {
            Group& g = groups.last();
            // Joined while its box would reach into the group's (which the
            // plot's left edge may push right).
            const double groupRight =
                std::max(g.x + boxWidth(g.count + 1) / 2, plot.left() + 1 + boxWidth(g.count + 1));
            if (x - boxWidth(1) / 2 < groupRight + 2) {
                g.x = (g.x * g.count + x) / (g.count + 1);
                ++g.count;
                g.headlines << data_.stories.at(i).headline;
                continue;
            }
        }
        groups.append({x, 1, {data_.stories.at(i).headline}});
    }
    while (storyMarks_.size() > groups.size()) delete storyMarks_.takeLast();
    double boxHeight = 0;
    for (qsizetype k = 0; k < groups.size(); ++k) {
        const Group& g = groups.at(k);
        if (k >= storyMarks_.size()) storyMarks_ << nullptr;
        QGraphicsRectItem*& box = storyMarks_[k];
        tag(box, g.count > 1 ? QStringLiteral("News %1").arg(g.count) : QStringLiteral("News"), colors_.statistics,
            colors_.back);
        box->setZValue(18);
        const double w = box->rect().width();
        box->setPos(std::clamp(g.x - w / 2, plot.left() + 1, std::max(plot.left() + 1, plot.right() - w - 1)),
                    plot.top() + 1);
        box->setToolTip(g.headlines.join(QLatin1Char('\n')));
        boxHeight = box->rect().height();
    }
    for (const auto& [x, i] : byX) {
        storyLines_.at(i)->setPen(QPen(colors_.statistics, 1, Qt::DotLine));
        storyLines_.at(i)->setLine(x, plot.top() + boxHeight, x, plot.bottom());
    }
    // A chart with nothing to draw says why, across its middle.
    if (!data_.note.isEmpty()) {
        if (!note_) {
            note_ = new QGraphicsSimpleTextItem;
            note_->setZValue(18);
            scene()->addItem(note_);
        }
        note_->setFont(windowFont());
        note_->setBrush(colors_.text);
        note_->setText(data_.note);
        const QRectF area = chart()->geometry();
        note_->setPos(area.center() - note_->boundingRect().center());
        note_->show();
    } else if (note_) {
        note_->hide();
    }
    if (crossAt_.x() >= 0) showCrosshair(crossAt_);
}

void ChartCanvas::showCrosshair(const QPoint& viewportPos) {
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewportPos));
    const QRectF plot = chart()->plotArea();
    const int i = pointAt(viewportPos);
    if (!carrier_ || !data_.hasAxes() || i < 0 || !plot.contains(inChart)) {
        hideCrosshair();
        return;
    }
    crossAt_ = viewportPos;
    if (!crossX_) {
        crossX_ = new QGraphicsLineItem;
        crossY_ = new QGraphicsLineItem;
        for (QGraphicsLineItem* l : {crossX_, crossY_}) {
            l->setZValue(19);
            scene()->addItem(l);
        }
    }
    const QPointF scenePoint = chart()->mapToScene(inChart);
    const double x = chart()->mapToScene(chart()->mapToPosition(QPointF(i, 0), carrier_)).x();
    const QRectF p = chart()->mapRectToScene(plot);
    // A line with a coordinate that is no number has no path to draw.
    if (!std::isfinite(x) || !std::isfinite(scenePoint.y()) || !std::isfinite(p.top()) || !std::isfinite(p.left())) {
        hideCrosshair();
        return;
    }
    QColor ink = colors_.text;
    ink.setAlpha(160);
    for (QGraphicsLineItem* l : {crossX_, crossY_}) {
        l->setPen(QPen(ink, 1, Qt::DashLine));
        l->show();
    }
    crossX_->setLine(x, p.top(), x, p.bottom());
    crossY_->setLine(p.left(), scenePoint.y(), p.right(), scenePoint.y());
    // The point's time (its hover text's first line) under the x axis, the
    // value at the mouse beside the y axis.
    crossXText_ = data_.points.at(i).detail.section(QLatin1Char('\n'), 0, 0);
    // A mouse position is no price: it reads to the cent, or in the notation.
    const double atMouse = chart()->mapToValue(inChart, carrier_).y();
    crossYText_ = charts::valueText(
        data_.notation, data_.notation == charts::Notation::Decimal ? std::round(atMouse * 100) / 100 : atMouse);
    tag(xTag_, crossXText_, colors_.back, colors_.text);
    const QRectF xr = xTag_->rect();
    xTag_->setPos(std::clamp(x - xr.width() / 2, 0.0, std::max(0.0, scene()->width() - xr.width())), p.bottom() + 1);
    tag(yTag_, crossYText_, colors_.back, colors_.text);
    const QRectF yr = yTag_->rect();
    yTag_->setPos(std::max(0.0, p.left() - yr.width()), scenePoint.y() - yr.height() / 2);
}

void ChartCanvas::hideCrosshair() {
    crossAt_ = QPoint(-1, -1);
    crossXText_.clear();
    crossYText_.clear();
    for (QGraphicsItem* item : std::initializer_list<QGraphicsItem*>{crossX_, crossY_, xTag_, yTag_})
        if (item) item->hide();
}

QString ChartCanvas::crosshairXText() const { return crossXText_; }
QString ChartCanvas::crosshairYText() const { return crossYText_; }

int ChartCanvas::orderLineAt(const QPoint& viewportPos) const {
    const QPointF at = mapToScene(viewportPos);
    for (qsizetype i = 0; i < orderLines_.size(); ++i) {
        const QGraphicsLineItem* l = orderLines_.at(i);
        const int order = l->data(0).toInt();
        if (!l->isVisible() || order < 0 || order >= data_.orders.size()) continue;
        // A line is one pixel: the mouse takes it a few pixels either side.
        if (std::abs(l->line().y1() - at.y()) <= 4 && at.x() >= l->line().x1() && at.x() <= l->line().x2())
            return data_.orders.at(order).id;
    }
    return 0;
}

QList<QRectF> ChartCanvas::orderLabelRects() const {
    QList<QRectF> r;
    for (const QGraphicsRectItem* t : orderTags_)
        if (t && t->isVisible()) r << t->sceneBoundingRect();
    return r;
}

void ChartCanvas::mousePressEvent(QMouseEvent* event) {
    if (drawMouse(event)) return event->accept();
    if (const int id = event->button() == Qt::LeftButton ? orderLineAt(event->position().toPoint()) : 0) {
        for (qsizetype i = 0; i < data_.orders.size(); ++i)
            if (data_.orders.at(i).id == id) heldOrder_ = static_cast<int>(i);
        return event->accept();
    }
    if (event->button() == Qt::LeftButton && data_.hasAxes()) {
        dragging_ = true;
        dragX_ = event->position().x();
    }
    QChartView::mousePressEvent(event);
}

void ChartCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (drawMouse(event)) {
        showCrosshair(event->position().toPoint());
        return event->accept();
    }
    if (heldOrder_ >= 0) {
        // The held line follows the mouse within the plot.
        const QRectF plot = chart()->mapRectToScene(chart()->plotArea());
        const double y = std::clamp(mapToScene(event->position().toPoint()).y(), plot.top(), plot.bottom());
        for (qsizetype i = 0; i < orderLines_.size(); ++i) {
            if (orderLines_[i]->data(0).toInt() != heldOrder_ || !orderLines_[i]->isVisible()) continue;
            QLineF l = orderLines_[i]->line();
            orderLines_[i]->setLine(l.x1(), y, l.x2(), y);
            if (orderTags_[i]) orderTags_[i]->setPos(orderTags_[i]->pos().x(), y - orderTags_[i]->rect().height());
        }
        return event->accept();
    }
    if (dragging_ && data_.xSlots > 0) {
        // Dragging the chart to the right brings earlier rows in.
        const double perSlot = chart()->plotArea().width() / data_.xSlots;
        const double moved = event->position().x() - dragX_;
        const int rows = perSlot > 0 ? static_cast<int>(moved / perSlot) : 0;
        if (rows != 0) {
            dragX_ += rows * perSlot;
            emit viewRequested(charts::ViewMove::Scroll, -rows);
        }
    }
    showCrosshair(event->position().toPoint());
    QChartView::mouseMoveEvent(event);
}

void ChartCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (drawMouse(event)) return event->accept();
    if (heldOrder_ >= 0 && event->button() == Qt::LeftButton) {
        const int id = data_.orders.at(heldOrder_).id;
        heldOrder_ = -1;
        const QPointF inChart = chart()->mapFromScene(mapToScene(event->position().toPoint()));
        const double price = carrier_ ? chart()->mapToValue(inChart, carrier_).y() : 0;
        placeOverlays(); // back where the game puts it, until the game says otherwise
        emit orderLineMoved(id, price);
        return event->accept();
    }
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QChartView::mouseReleaseEvent(event);
}

void ChartCanvas::wheelEvent(QWheelEvent* event) {
    if (!data_.hasAxes()) return QChartView::wheelEvent(event);
    // The wheel zooms; a sideways wheel or Shift with it scrolls.
    const QPoint d = event->angleDelta();
    const bool sideways = d.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const int notches = (sideways ? (d.x() != 0 ? d.x() : d.y()) : d.y()) / 120;
    if (notches != 0) {
        if (sideways) emit viewRequested(charts::ViewMove::Scroll, -notches * 3);
        else emit viewRequested(charts::ViewMove::Zoom, notches);
    }
    event->accept();
}

void ChartCanvas::leaveEvent(QEvent* event) {
    hideCrosshair();
    dragging_ = false;
    QChartView::leaveEvent(event);
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
    alignRounds_ = 0;
    if (partner_) partner_->alignRounds_ = 0;
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

void GameChartView::alignPlots(GameChartView* a, GameChartView* b) {
    a->partner_ = b;
    b->partner_ = a;
}

void GameChartView::settleLayouts() {
    // Each round may move a plot and so the other chart's alignment; a few
    // settle it (alignWithPartner stops chasing half pixels after four).
    for (int round = 0; round < 6; ++round) {
        bool laidOut = false;
        for (GameChartView* v : {this, partner_})
            if (v && v->canvas_ && v->isVisible()) laidOut = v->canvas_->layOutNow() || laidOut;
        if (!laidOut) return;
    }
}

void GameChartView::alignWithPartner() {
    // Both plots start where the one with the wider y labels starts.
    if (!partner_ || !canvas_ || !partner_->canvas_ || isHidden() || partner_->isHidden()) return;
    ChartCanvas* mine = canvas_;
    ChartCanvas* theirs = partner_->canvas_;
    if (!mine->chartData().hasAxes() || !theirs->chartData().hasAxes()) return;
    // A few rounds settle it; past them the layouts would only chase their
    // own half pixels.
    if (++alignRounds_ > 4) return;
    const double target = std::max(mine->neededPlotLeft(), theirs->neededPlotLeft());
    const double right = std::max(mine->ownRightRoom(), theirs->ownRightRoom());
    for (ChartCanvas* c : {mine, theirs}) {
        if (std::fabs(c->chart()->plotArea().left() - target) >= 1.0) c->setExtraLeft(target - c->naturalPlotLeft());
        c->setRightRoom(right);
    }
}

void GameChartView::makeCanvas() {
    canvas_ = new ChartCanvas(this);
    connect(canvas_, &ChartCanvas::viewRequested, this, &GameChartView::viewRequested);
    connect(canvas_, &ChartCanvas::orderLineMoved, this, &GameChartView::orderLineMoved);
    connect(canvas_, &ChartCanvas::lineDrawn, this, &GameChartView::lineDrawn);
    connect(canvas_, &ChartCanvas::drawCancelled, this, &GameChartView::drawCancelled);
    connect(canvas_, &ChartCanvas::lastDrawingRemoved, this, &GameChartView::lastDrawingRemoved);
    connect(canvas_, &ChartCanvas::plotAreaMoved, this, [this] { alignWithPartner(); });
    // The keys go to the pane, which frames the drawing while it has them.
    canvas_->setFocusPolicy(Qt::NoFocus);
    canvas_->setColors(colors_);
    canvas_->setChartData(data_);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(kFocusFrame, kFocusFrame, kFocusFrame, kFocusFrame);
    l->addWidget(canvas_);
    canvas_->show();
}

void GameChartView::resizeEvent(QResizeEvent* event) {
    alignRounds_ = 0;
    QWidget::resizeEvent(event);
}

void GameChartView::showEvent(QShowEvent* event) {
    if (std::exchange(drawnOnShow_, false)) canvas_->setChartData(data_);
    QWidget::showEvent(event);
}

bool GameChartView::event(QEvent* event) {
    // Escape, Enter and Delete are the drawing's while it takes them, before
    // the window's own use of them.
    if (event->type() == QEvent::ShortcutOverride && canvas_ &&
        canvas_->takesDrawKey(static_cast<QKeyEvent*>(event)->key())) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void GameChartView::keyPressEvent(QKeyEvent* event) {
    using charts::ViewMove;
    if (canvas_ && canvas_->drawKey(event->key())) return event->accept();
    const int page = std::max(1, data_.rows.count());
    switch (event->key()) {
    case Qt::Key_Left: emit viewRequested(ViewMove::Scroll, -1); break;
    case Qt::Key_Right: emit viewRequested(ViewMove::Scroll, 1); break;
    case Qt::Key_PageUp: emit viewRequested(ViewMove::Scroll, -page); break;
    case Qt::Key_PageDown: emit viewRequested(ViewMove::Scroll, page); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: emit viewRequested(ViewMove::Zoom, 1); break;
    case Qt::Key_Minus: emit viewRequested(ViewMove::Zoom, -1); break;
    case Qt::Key_Home:
    case Qt::Key_End: emit viewRequested(ViewMove::Latest, 0); break;
    default: return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void GameChartView::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void GameChartView::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void GameChartView::paintEvent(QPaintEvent*) {
    if (canvas_) {
        // The frame round the drawing says where the keys go.
        QPainter p(this);
        p.fillRect(rect(), colors_.back);
        if (hasFocus()) {
            p.setPen(QPen(colors_.text, 1, Qt::DotLine));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
        return;
    }
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
