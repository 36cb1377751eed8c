#include "ui/chart_view.h"

#include "ui/metrics.h"

#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QGraphicsLayout>

#include <cmath>
#include <limits>

namespace pellucar::ui {

GameChartView::GameChartView(QWidget* parent) : QChartView(new QChart, parent) {
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->hide();
    chart()->setMargins(QMargins(2, 2, 2, 2));
    chart()->layout()->setContentsMargins(0, 0, 0, 0);
    chart()->setBackgroundRoundness(0);
    colors_ = ColorTable::chart(Scheme::Design, QString());
    setMinimumSize(40, 40);
    rebuild();
}

void GameChartView::setState(const ControlState& state) {
    if (state.text == state_.text && state.rows == state_.rows) return;
    state_ = state;
    rebuild();
}

void GameChartView::setColors(const ChartColors& colors) {
    colors_ = colors;
    rebuild();
}

int GameChartView::seriesCount() const { return static_cast<int>(chart()->series().size()); }

void GameChartView::rebuild() {
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* a : c->axes()) {
        c->removeAxis(a);
        delete a;
    }

    QFont titleFont = windowFont();
    titleFont.setBold(true);
    QFont axisFont = windowFont();
    axisFont.setPointSizeF(7.0);
    c->setTitle(state_.text);
    c->setTitleFont(titleFont);
    c->setTitleBrush(colors_.text);
    c->setBackgroundBrush(colors_.back);
    c->setBackgroundPen(Qt::NoPen);
    setBackgroundBrush(colors_.back);

    if (state_.rows.size() < 2) return;
    const QStringList header = state_.rows.first();
    const QList<QStringList> data = state_.rows.mid(1);
    const int ohlc[4] = {static_cast<int>(header.indexOf(QStringLiteral("Open"))),
                         static_cast<int>(header.indexOf(QStringLiteral("High"))),
                         static_cast<int>(header.indexOf(QStringLiteral("Low"))),
                         static_cast<int>(header.indexOf(QStringLiteral("Close")))};
    const bool candles = ohlc[0] > 0 && ohlc[1] > 0 && ohlc[2] > 0 && ohlc[3] > 0;

    double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
    auto number = [&](const QStringList& row, int col, double* out) {
        if (col <= 0 || col >= row.size()) return false;
        bool ok = false;
        const double v = row.at(col).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) return false;
        *out = v;
        lo = qMin(lo, v);
        hi = qMax(hi, v);
        return true;
    };

    QList<QAbstractSeries*> made;
    if (candles) {
        auto* s = new QCandlestickSeries;
        s->setIncreasingColor(colors_.back);
        s->setDecreasingColor(colors_.series);
        s->setPen(QPen(colors_.series, 1));
        s->setBodyWidth(0.6);
        for (int i = 0; i < data.size(); ++i) {
            double v[4] = {};
            bool ok = true;
            for (int k = 0; k < 4; ++k) ok = number(data.at(i), ohlc[k], &v[k]) && ok;
            if (ok) s->append(new QCandlestickSet(v[0], v[1], v[2], v[3], i));
        }
        made << s;
    }
    int extra = 0;
    for (int col = 1; col < header.size(); ++col) {
        if (candles && (col == ohlc[0] || col == ohlc[1] || col == ohlc[2] || col == ohlc[3])) continue;
        auto* s = new QLineSeries;
        s->setName(header.at(col));
        QPen pen(made.isEmpty() ? colors_.series : colors_.extra.value(extra % qMax<qsizetype>(1, colors_.extra.size()), colors_.series));
        pen.setWidthF(made.isEmpty() ? 1.6 : 1.2);
        if (!made.isEmpty() && colors_.dashedExtras) pen.setStyle(extra % 2 ? Qt::DotLine : Qt::DashLine);
        if (!made.isEmpty()) ++extra;
        s->setPen(pen);
        for (int i = 0; i < data.size(); ++i) {
            double v = 0;
            if (number(data.at(i), col, &v)) s->append(i, v);
        }
        made << s;
    }
    if (lo > hi) {
        qDeleteAll(made);
        return;
    }
    if (hi - lo < 1e-9) {
        lo -= 1;
        hi += 1;
    }
    const double pad = (hi - lo) * 0.06;

    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setRange(-0.6, data.size() - 0.4);
    const int step = qMax(1, static_cast<int>(std::ceil(data.size() / 5.0)));
    for (int i = 0; i < data.size(); i += step) x->append(data.at(i).value(0), i);
    auto* y = new QValueAxis;
    y->setRange(lo - pad, hi + pad);
    y->setTickCount(5);
    y->setLabelFormat(hi >= 1000 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) {
        a->setLabelsFont(axisFont);
        a->setLabelsBrush(colors_.text);
        a->setLinePenColor(colors_.text);
        QColor grid = colors_.text;
        grid.setAlpha(60);
        a->setGridLineColor(grid);
    }
    // Candles draw only on a plain value axis; the point labels come from a
    // category axis over the same range, carried by the line series (or an
    // empty one when there are only candles).
    if (candles && made.size() == 1) made << new QLineSeries;
    for (QAbstractSeries* s : made) c->addSeries(s);
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    QValueAxis* candleX = nullptr;
    if (candles) {
        candleX = new QValueAxis;
        candleX->setRange(x->min(), x->max());
        candleX->setVisible(false);
        c->addAxis(candleX, Qt::AlignBottom);
    }
    for (QAbstractSeries* s : made) {
        s->attachAxis(candleX && s->type() == QAbstractSeries::SeriesTypeCandlestick ? candleX : x);
        s->attachAxis(y);
    }
}

void applyChartColors(QWidget* chartView, const ChartColors& colors) {
    if (auto* v = qobject_cast<GameChartView*>(chartView)) v->setColors(colors);
}

} // namespace pellucar::ui
