#include "tst_suites.h"

#include "charts/chart_data.h"
#include "market/market_data.h"
#include "ui/market_strip_view.h"

#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <QComboBox>
#include <QPaintEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

using namespace pellucar;
using namespace pellucar::charts;
using namespace pellucar::ui;

namespace {

constexpr int kOil = 3;

// Forty-five trading days of Oil from January 1990, a slow wave with a
// drift, and one day (row 31) without a quote.
std::unique_ptr<MarketData> sampleMarket() {
    auto md = std::make_unique<MarketData>();
    for (QDate d(1990, 1, 2); md->tradingDays.days.size() < 45; d = d.addDays(1))
        if (d.dayOfWeek() <= 5) md->tradingDays.days << d;
    for (int i = 0; i < 45; ++i) {
        DailyRow r;
        r.date = md->tradingDays.days.at(i);
        const double c = 20 + 2 * std::sin(i / 4.0) + i * 0.05;
        r.close = static_cast<float>(c);
        r.open = static_cast<float>(c - 0.3 * std::sin(i * 1.7));
        r.high = static_cast<float>(std::max<double>(r.open, c) + 0.25);
        r.low = static_cast<float>(std::min<double>(r.open, c) - 0.3);
        if (i == 30) r.open = r.high = r.low = r.close = -1;
        md->series[kOil].rows << r;
    }
    return md;
}

std::unique_ptr<MarketData> sampleTickMarket() {
    auto md = std::make_unique<MarketData>();
    md->tickDays.resize(6);
    for (int d = 0; d < 6; ++d) {
        md->tickDays[d].date = QDate(1996, 3, 4).addDays(d + (d >= 5 ? 2 : 0));
        for (int h = 1; h <= 6; ++h) {
            const double p = 19 + std::sin((d * 6 + h) / 3.0);
            md->tickDays[d].periods[kOil][h] = {
                .seen = true, .price = p, .high = p + 0.08, .low = p - 0.06, .last = p + 0.03 * std::cos(h)};
        }
    }
    return md;
}

// Paints of some widgets, counted as they come, and what they painted (in
// their window's coordinates).
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const QList<QWidget*>& widgets) {
        for (QWidget* w : widgets) {
            w->installEventFilter(this);
            paints_.insert(w, 0);
        }
    }
    int most() const { return *std::max_element(paints_.cbegin(), paints_.cend()); }
    const QRegion& painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::Paint) return false;
        ++paints_[watched];
        const auto* w = static_cast<QWidget*>(watched);
        painted_ += static_cast<QPaintEvent*>(e)->region().translated(w->mapTo(w->window(), QPoint()));
        return false;
    }

private:
    QHash<QObject*, int> paints_;
    QRegion painted_;
};

ChartPair compose(const MarketData& md, const ChartOptions& o, int period, DataMode mode = DataMode::Daily,
                  const QList<TradeFill>& fills = {}, std::optional<OpenPosition> position = {},
                  const QList<StoryTime>& stories = {}) {
    // Four trades in the daily game, two in the tick game.
    const QList<TradeFill> daily{
        {20, 21.3, true, false}, {25, 21.0, false, false}, {33, 20.5, false, true}, {38, 21.6, true, true}};
    const QList<TradeFill> tick{{8, 19.5, true, false}, {20, 19.2, false, true}};
    ChartInputs in;
    in.options = o;
    in.market = &md;
    in.periodIndex = period;
    in.mode = mode;
    in.fills = !fills.isEmpty() ? fills : mode == DataMode::Daily ? daily : tick;
    in.position = position;
    in.stories = stories;
    return composeCharts(in);
}

template <typename T> QList<T*> seriesOf(const GameChartView& v) {
    QList<T*> out;
    for (QAbstractSeries* s : v.chart()->series())
        if (auto* t = qobject_cast<T*>(s)) out << t;
    return out;
}

// Line series that draw something (the view keeps an empty one for its axes).
QList<QLineSeries*> drawnLines(const GameChartView& v) {
    QList<QLineSeries*> out;
    for (QLineSeries* s : seriesOf<QLineSeries>(v))
        if (s->count() > 0 && s->metaObject() == &QLineSeries::staticMetaObject) out << s;
    return out;
}

int markerPoints(const GameChartView& v) {
    int n = 0;
    for (QScatterSeries* s : seriesOf<QScatterSeries>(v)) n += s->count();
    return n;
}

// A chart pane on screen at the size the game gives it.
struct ShownView : GameChartView {
    explicit ShownView(QSize size = {420, 240}) {
        resize(size);
        show();
    }
};

QValueAxis* visibleYAxis(const GameChartView& v) {
    for (QAbstractAxis* a : v.chart()->axes(Qt::Vertical))
        if (a->isVisible()) return qobject_cast<QValueAxis*>(a);
    return nullptr;
}

class ChartViewTest : public QObject {
    Q_OBJECT
    std::unique_ptr<MarketData> daily_ = sampleMarket();
    std::unique_ptr<MarketData> tick_ = sampleTickMarket();

    // The chart lays itself out in posted steps (a new plot area may thin
    // the axis labels, which asks for another layout).
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QTest::qWait(5);
        }
    }

private slots:
    void priceLineBreaksAtTheMissingDayAndDrawsItsStatistics() {
        ShownView v;
        ChartOptions o;
        o.mnuGLPrice_Click(0);
        o.mnuGLPrice_Click(1);
        v.setChartData(compose(*daily_, o, 40).left);
        settle();
        QVERIFY(seriesOf<QCandlestickSeries>(v).isEmpty());
        // The close in two pieces around row 31, then mean, min and max.
        const QList<QLineSeries*> lines = drawnLines(v);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(0)->count() + lines.at(1)->count(), 29);
    }

    void indicatorsStandOnThePercentAxis() {
        ShownView v;
        ChartOptions o;
        o.mnuGRType_Click(1);
        v.setChartData(compose(*daily_, o, 40).right);
        settle();
        auto* percent = qobject_cast<QCategoryAxis*>(visibleYAxis(v));
        QVERIFY(percent && percent->max() == 100.0 && markerPoints(v) == 0);
        QCOMPARE(percent->categoriesLabels(), (QStringList{"0%", "25%", "50%", "75%", "100%"}));
        o.mnuStoch_Click(1);
        v.setChartData(compose(*daily_, o, 40).right);
        settle();
        percent = qobject_cast<QCategoryAxis*>(visibleYAxis(v));
        QVERIFY(percent && percent->max() == 1.0 && percent->endValue(QStringLiteral("25%")) == 0.25);
        QVERIFY(drawnLines(v).size() >= 2);
    }

    void aChartMovedPressByPressHiddenOrNotLooksAsOneDrawnAtOnce() {
        // Redraws only add and drop the days that come and go, and a hidden
        // chart draws nothing; either must look as one drawn from the last data.
        const auto onScreen = [this](GameChartView& v) {
            settle();
            return v.screen()->grabWindow(v.winId()).toImage();
        };
        for (const auto& [mode, from, to] : {std::tuple{DataMode::Daily, 25, 45}, std::tuple{DataMode::Tick, 20, 40}}) {
            const MarketData& md = mode == DataMode::Daily ? *daily_ : *tick_;
            ChartOptions ma;
            ma.mnuMoving_Click(1);
            ShownView moved, hidden, fresh;
            for (int p = from; p <= to; ++p) {
                for (GameChartView* v : {&moved, &hidden}) v->setChartData(compose(md, ma, p, mode).left);
                QCoreApplication::processEvents();
                if (p == from) {
                    settle();
                    hidden.hide();
                }
            }
            hidden.show();
            fresh.setChartData(compose(md, ma, to, mode).left);
            const QImage picture = onScreen(fresh);
            QVERIFY(!picture.isNull());
            QVERIFY(onScreen(moved) == picture);
            QVERIFY(onScreen(hidden) == picture);
            // Back in time and wider, step by step: days come in on the left.
            const int current = compose(md, ma, to, mode).left.rows.last;
            for (const auto& [move, amount] :
                 {std::pair{ViewMove::Scroll, -2}, {ViewMove::Zoom, -1}, {ViewMove::Scroll, 1}}) {
                ma.moveView(move, amount, current);
                moved.setChartData(compose(md, ma, to, mode).left);
                QCoreApplication::processEvents();
            }
            ShownView once;
            once.setChartData(compose(md, ma, to, mode).left);
            QVERIFY(onScreen(moved) == onScreen(once));
        }
    }

    // Settled on rows 11..40: the four trades, the price axis the data give,
    // labelled at their ticks, dates labelled; hovering tells a day's prices.
    void candlesShowTheirAxisTradesAndHoveredDay() {
        ShownView v;
        const ChartData left = compose(*daily_, {}, 40).left;
        v.setChartData(left);
        settle();
        QCOMPARE(markerPoints(v), 4);
        QValueAxis* y = visibleYAxis(v);
        QVERIFY(y);
        QCOMPARE(y->min(), left.yMin);
        QCOMPARE(y->max(), left.yMax);
        QCOMPARE(v.canvas()->yAxisLabels(), left.yLabels);
        QVERIFY(v.shownXLabels().size() >= 2);
        // Row 20 is point 9 of rows 11..40; it holds the buy.
        const int i = 9;
        const QPoint at = v.viewportPosOf(i, left.points.at(i).price->close);
        QCOMPARE(v.pointAt(at), i);
        const QString tip = v.toolTipAt(at);
        for (const char* part : {"1/29/1990", "Close ", "Bought at 21.30"})
            QVERIFY2(tip.contains(QLatin1String(part)), qPrintable(tip));
        QVERIFY(v.toolTipAt(QPoint(1, 1)).isEmpty());
    }

    // Before a game the pane paints the prepared chart itself: its
    // background and the title's ink at the top.
    void anEmptyChartShowsThePreparedChart() {
        const ChartColors colors = ColorTable::chart(Scheme::Black, QStringLiteral("GraphRight"));
        ShownView pane;
        pane.setColors(colors);
        pane.setChartData(preparedCharts().right);
        settle();
        QVERIFY(!pane.canvas());
        const QImage a = pane.grab().toImage();
        QCOMPARE(a.pixel(a.width() - 1, a.height() - 1), colors.back.rgb());
        bool titleInk = false;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < a.width(); ++x) titleInk |= a.pixel(x, y) != colors.back.rgb();
        QVERIFY(titleInk);
    }

    // The player's own input on the main window's price chart moves the rows
    // it shows, never past the current period (20 of the fixture's rows).
    void theWheelDragAndKeysMoveTheRowsShown() {
        uitest::WindowRig rig;
        rig.startGame(20);
        auto* pane = static_cast<GameChartView*>(rig.widget("GraphLeft"));
        settle();
        QVERIFY(pane->canvas());
        QWidget* plot = pane->canvas()->viewport();
        const QPoint middle = plot->rect().center();
        const auto wheel = [&](int notches, Qt::KeyboardModifiers mods) {
            QWheelEvent e(middle, plot->mapToGlobal(middle), {}, {0, 120 * notches}, Qt::NoButton, mods,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(plot, &e);
        };
        const auto drag = [&](double rows) {
            const double perSlot = pane->chart()->plotArea().width() / pane->chartData().xSlots;
            const QPoint to = middle + QPoint(static_cast<int>(rows * perSlot), 0);
            QTest::mousePress(plot, Qt::LeftButton, {}, middle);
            QTest::mouseMove(plot, middle + (to - middle) / 2);
            QTest::mouseMove(plot, to);
            QTest::mouseRelease(plot, Qt::LeftButton, {}, to);
        };
        const auto key = [&](Qt::Key k) { QTest::keyClick(pane, k); };
        const struct {
            const char* name;
            std::function<void()> input;
            int first, last;
        } steps[] = {
            {"wheel closer: 20 rows", [&] { wheel(1, {}); }, 1, 20},
            {"wheel closer: 13 rows", [&] { wheel(1, {}); }, 8, 20},
            {"shift+wheel back 3", [&] { wheel(1, Qt::ShiftModifier); }, 5, 17},
            {"left", [&] { key(Qt::Key_Left); }, 4, 16},
            {"right", [&] { key(Qt::Key_Right); }, 5, 17},
            {"page up stops at row 1", [&] { key(Qt::Key_PageUp); }, 1, 13},
            {"page down stops at the current period", [&] { key(Qt::Key_PageDown); }, 8, 20},
            {"drag right 3.5 rows: 3 back", [&] { drag(3.5); }, 5, 17},
            {"drag left: ahead", [&] { drag(-2.5); }, 7, 19},
            {"minus: wider", [&] { key(Qt::Key_Minus); }, 1, 20},
            {"plus: closer", [&] { key(Qt::Key_Plus); }, 8, 20},
            {"home: the latest rows", [&] { key(Qt::Key_Home); }, 1, 20},
        };
        for (const auto& step : steps) {
            step.input();
            settle();
            const charts::RowRange shown = pane->chartData().rows;
            QVERIFY2(shown.first == step.first && shown.last == step.last,
                     qPrintable(QStringLiteral("%1: rows %2-%3").arg(step.name).arg(shown.first).arg(shown.last)));
        }
    }

    // Lines drawn by the mouse and the keys while a draw mode is on, each
    // point snapped to the high it was put near; Escape gives the mode up,
    // Delete and the menu remove; each market keeps its own.
    void linesAreDrawnByMouseAndKeysAndKeptPerMarket() {
        uitest::WindowRig rig;
        rig.startGame(20);
        rig.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        auto* pane = static_cast<GameChartView*>(rig.widget("GraphLeft"));
        settle();
        QVERIFY(pane->canvas());
        QWidget* plot = pane->canvas()->viewport();
        const ChartData shown = pane->chartData();
        PriceSeries candles;
        for (const ChartPoint& p : shown.points)
            candles << PricePoint{p.price->open, p.price->high, p.price->low, p.price->close};
        const auto high = [&](int period) { return shown.points.at(period - shown.rows.first).price->high; };
        // A hundredth of the chart's span above a period's high: near enough to snap to it.
        const auto nearHigh = [&](int period) {
            return pane->viewportPosOf(period - shown.rows.first, high(period) + (shown.yMax - shown.yMin) / 100);
        };
        const auto keys = [&](std::initializer_list<int> ks) {
            for (const int k : ks) QTest::keyClick(pane, static_cast<Qt::Key>(k));
        };
        const auto click = [&](int period) { QTest::mouseClick(plot, Qt::LeftButton, {}, nearHigh(period)); };
        const auto market = [&](int commodityId) {
            QTest::keyClick(&rig.window, static_cast<Qt::Key>(Qt::Key_0 + commodityId), Qt::ControlModifier);
        };
        using K = Drawing::Kind;
        const Drawing level{K::Level, {15, high(15)}, {}}, trend{K::Trend, {8, high(8)}, {18, high(18)}};
        const Drawing keyed{K::Level, snapPoint(candles, {18, *shown.lastValue}, 20, shown.yMax - shown.yMin), {}};
        const struct {
            const char* name;
            int menuItem; // Chart View's drawing item chosen first, or -1
            std::function<void()> input;
            int onOil, drawn;
            std::optional<Drawing> last;
        } steps[] = {
            {"no draw mode: a click draws nothing", -1, [&] { click(15); }, 0, 0, {}},
            {"a click draws a level", 0, [&] { click(15); }, 1, 1, level},
            {"a drag draws a trend", 1,
             [&] {
                 QTest::mousePress(plot, Qt::LeftButton, {}, nearHigh(8));
                 QTest::mouseMove(plot, nearHigh(12));
                 QTest::mouseRelease(plot, Qt::LeftButton, {}, nearHigh(18));
             },
             2, 2, trend},
            {"Escape gives the mode up", 0, [&] { keys({Qt::Key_Escape}), click(10); }, 2, 2, trend},
            {"arrows and Enter place a level", 0,
             [&] {
                 keys({Qt::Key_Left, Qt::Key_Left, Qt::Key_Enter});
             },
             3, 3, keyed},
            {"Delete removes the last", -1, [&] { keys({Qt::Key_Delete}); }, 2, 2, trend},
            {"Gold has none", -1, [&] { market(2); }, 2, 0, trend},
            {"Oil has its own again", -1, [&] { market(kOil); }, 2, 2, trend},
            {"the menu removes all", 3, [] {}, 0, 0, {}},
        };
        for (const auto& step : steps) {
            if (step.menuItem >= 0) rig.window.action(QStringLiteral("mnuDraw_%1").arg(step.menuItem))->trigger();
            step.input();
            settle();
            const QList<Drawing>& oil = rig.game.state().drawings.of(kOil);
            QVERIFY2(oil.size() == step.onOil && pane->canvas()->drawnLines().size() == step.drawn, step.name);
            QVERIFY2(oil.isEmpty() ? !step.last : step.last && oil.last() == *step.last, step.name);
        }
    }

    // Every market at a glance; a click on one, or Ctrl and its place in the
    // strip, charts it as the market box would.
    void theStripShowsEveryMarketAndChartsTheOneChosen() {
        uitest::WindowRig rig;
        rig.startGame(20);
        rig.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        auto* strip = rig.window.findChild<MarketStripView*>(QStringLiteral("marketStrip"));
        QVERIFY(strip && strip->isVisible());
        settle();
        const auto* pane = static_cast<GameChartView*>(rig.widget("GraphLeft"));
        QCOMPARE(strip->glances().size(), 6);
        for (const MarketGlance& g : strip->glances()) {
            // The same span as the price chart, whichever market it charts.
            QCOMPARE(g.rows, pane->chartData().rows);
            QVERIFY(strip->rect().contains(strip->cellRect(g.commodityId - 1)));
        }
        const struct {
            const char* name;
            std::function<void()> input;
            int charted; // commodity id
        } steps[] = {
            {"click Cattle", [&] { QTest::mouseClick(strip, Qt::LeftButton, {}, strip->cellRect(0).center()); }, 1},
            {"click T-Bond", [&] { QTest::mouseClick(strip, Qt::LeftButton, {}, strip->cellRect(5).center()); }, 6},
            {"Ctrl+4: S&P 500", [&] { QTest::keyClick(&rig.window, Qt::Key_4, Qt::ControlModifier); }, 4},
            {"Ctrl+2: Gold", [&] { QTest::keyClick(&rig.window, Qt::Key_2, Qt::ControlModifier); }, 2},
            {"a right click charts nothing",
             [&] { QTest::mouseClick(strip, Qt::RightButton, {}, strip->cellRect(0).center()); }, 2},
        };
        // Each chart paints once a change, however long the two charts take
        // to agree on where their plots stand (a market's new labels move them).
        const auto canvasOf = [&](const char* key) {
            return static_cast<GameChartView*>(rig.widget(key))->canvas()->viewport();
        };
        for (const auto& step : steps) {
            const PaintCounter paints({canvasOf("GraphLeft"), canvasOf("GraphRight")});
            step.input();
            settle();
            QVERIFY2(paints.most() <= 1, step.name);
            QVERIFY2(rig.game.state().chart.chartMarket() == step.charted, step.name);
            const auto* combo = static_cast<QComboBox*>(rig.widget("cboCommodity"));
            QVERIFY2(combo->currentIndex() == step.charted - 1, step.name);
            int marked = 0;
            for (const MarketGlance& g : strip->glances()) marked += g.charted ? g.commodityId : 0;
            QVERIFY2(marked == step.charted, step.name);
        }
        // A Forward press paints the strip once, and nothing else of the
        // window paints where the strip stands.
        QList<QWidget*> others = rig.window.findChildren<QWidget*>();
        others.removeOne(strip);
        const PaintCounter behind(others << &rig.window);
        const int before = strip->paintCount();
        rig.click("btnChangePeriod");
        settle();
        QCOMPARE(strip->paintCount(), before + 1);
        QVERIFY(!behind.painted().intersects(QRect(strip->mapTo(&rig.window, QPoint()), strip->size())));
    }

    // Bars are drawn one per day with a price, and days holding only their
    // close are a line, in either style.
    void barsAndSettlementOnlyDaysAreDrawn() {
        auto settled = sampleMarket();
        for (int i = 10; i < 20; ++i) {
            DailyRow& r = settled->series[kOil].rows[i];
            r.open = r.high = r.low = r.close;
        }
        for (int style : {0, 1}) {
            ChartOptions o;
            o.mnuGLStyle_Click(style);
            ShownView v;
            v.setChartData(compose(*settled, o, 40).left);
            settle();
            // Rows 11..40: row 31 has no quote, rows 11..20 only their close.
            QCOMPARE(style == 1 ? v.canvas()->drawnBars() : seriesOf<QCandlestickSeries>(v).first()->count(), 19);
            QCOMPARE(drawnLines(v).size(), 1);
            QCOMPARE(drawnLines(v).first()->count(), 10);
        }
    }

    // What is drawn over the prices stays clear of them and of the axis: a
    // trade at the first day's high whole inside the plot, the position's
    // label over no candle, the last price's tag beside no axis label, a key
    // once candles have an average over them (a story's mark: the next test).
    void marksAndLabelsStayClearOfThePrices() {
        for (int period : {1, 2, 6, 40}) {
            const DailyRow& day = daily_->series[kOil].rows.at(period - 1);
            const DailyRow& first = daily_->series[kOil].rows.at(std::max(0, period - 30));
            ChartOptions o;
            o.mnuGLAverage_Click(0);
            ShownView v;
            const ChartData left = compose(*daily_, o, period, DataMode::Daily, {{period, day.high, true, false}},
                                           OpenPosition{3, (first.open + first.close) / 2.0, 120.0})
                                       .left;
            v.setChartData(left);
            settle();
            ChartCanvas* canvas = v.canvas();
            const auto inView = [&](const QRectF& scene) { return canvas->mapFromScene(scene).boundingRect(); };
            const QRect plot = inView(v.chart()->mapRectToScene(v.chart()->plotArea()));
            const QString when = QStringLiteral("period %1").arg(period);
            for (const TradeMarker& m : left.markers) {
                const QPoint at = v.viewportPosOf(m.pointIndex, m.price);
                QVERIFY2(plot.contains(QRect(at - QPoint(6, 6), QSize(13, 13))), qPrintable(when));
            }
            const QRect label = inView(canvas->positionLabelRect());
            QVERIFY2(!label.isEmpty(), qPrintable(when));
            const int half = static_cast<int>(plot.width() / left.xSlots * 0.3);
            for (qsizetype i = 0; i < left.points.size(); ++i) {
                const auto& p = left.points.at(i).price;
                if (!p) continue;
                const QRect candle(v.viewportPosOf(i, p->high) - QPoint(half, 0),
                                   v.viewportPosOf(i, p->low) + QPoint(half, 0));
                QVERIFY2(!label.intersects(candle), qPrintable(when + QStringLiteral(" candle %1").arg(i)));
            }
            const QRect tag = inView(canvas->lastPriceTagRect());
            const int textHeight = QFontMetrics(v.chart()->axes(Qt::Vertical).first()->labelsFont()).height();
            QVERIFY2(!tag.isEmpty() && textHeight > 0, qPrintable(when));
            for (double t : left.yTicks) {
                const int y = v.viewportPosOf(0, t).y();
                QVERIFY2(!tag.intersects(QRect(0, y - textHeight / 2, plot.left(), textHeight)), qPrintable(when));
            }
            QStringList keyed;
            for (QLegendMarker* m : v.chart()->legend()->markers())
                if (m->isVisible()) keyed << m->label();
            // The average starts at the fifth day; alone, the candles need no key.
            QVERIFY2(v.chart()->legend()->isVisible() == (period >= 5) &&
                         (period < 5 || (keyed.contains("Candles") && keyed.contains("Moving Average (5)"))),
                     qPrintable(when + ": " + keyed.join(", ")));
        }
    }

    // Stories of one hour or of hours side by side share a box that counts
    // them; no box covers another, and every one stays in the plot.
    void storyMarksNeverCoverEachOther() {
        const struct {
            const char* name;
            QList<std::pair<int, int>> stories; // tick day 0..5, hour 1..6
            QStringList marks;
        } cases[] = {
            {"one story", {{3, 2}}, {"News"}},
            {"three in one hour", {{3, 2}, {3, 2}, {3, 2}}, {"News 3"}},
            {"hours side by side", {{2, 5}, {2, 6}, {3, 1}}, {"News 3"}},
            {"the first hour, and one apart", {{0, 1}, {0, 1}, {4, 1}}, {"News 2", "News"}},
            {"apart", {{1, 1}, {3, 1}, {4, 6}}, {"News", "News", "News"}},
        };
        ShownView tick;
        for (const auto& c : cases) {
            QList<StoryTime> stories;
            for (const auto& [day, hour] : c.stories)
                stories.append({tick_->tickDays[day].date, hour, QStringLiteral("Story %1").arg(stories.size())});
            tick.setChartData(compose(*tick_, {}, 30, DataMode::Tick, {}, {}, stories).left);
            settle();
            const QList<QRectF> marks = tick.canvas()->storyMarkRects();
            const QRectF plot = tick.chart()->mapRectToScene(tick.chart()->plotArea());
            QVERIFY2(tick.canvas()->storyMarkTexts() == c.marks,
                     qPrintable(c.name + (": " + tick.canvas()->storyMarkTexts().join(", "))));
            for (qsizetype i = 0; i < marks.size(); ++i) {
                QVERIFY2(plot.contains(marks[i]), c.name);
                QVERIFY2(marks[i].height() >=
                             QFontMetrics(tick.chart()->axes(Qt::Vertical).first()->labelsFont()).height(),
                         c.name);
                for (qsizetype j = i + 1; j < marks.size(); ++j) QVERIFY2(!marks[i].intersects(marks[j]), c.name);
            }
        }
    }

    void theDrawingIsMadeWhenAGameFirstHasSomethingToShow() {
        uitest::WindowRig rig;
        auto* left = static_cast<GameChartView*>(rig.widget("GraphLeft"));
        auto* right = static_cast<GameChartView*>(rig.widget("GraphRight"));
        rig.startGame();
        QVERIFY(!left->canvas() && !right->canvas());
        rig.click("btnChangePeriod");
        QVERIFY(left->canvas() && right->canvas());
        QVERIFY(left->seriesCount() > 0);
        QCOMPARE(left->chart()->title(), rig.game.model().at(QStringLiteral("GraphLeft")).text);
    }
};

} // namespace

QObject* pellucar::uitest::makeChartViewSuite() { return new ChartViewTest; }

#include "tst_chart_view.moc"
