// Indicators over hand-made price series, each value worked out by hand in the comments, and
// the charts composed of market data built by hand: range, points, lines, axes, titles, markers.
#include "charts/chart_data.h"
#include "charts/indicators.h"
#include "market/market_data.h"
#include "support/fixture_db.h"

#include <gtest/gtest.h>

#include <QSet>

#include <memory>

using namespace pellucar;
using namespace pellucar::charts;

namespace {

constexpr int kOil = 3;

// A daily market of a row per weekday from `start`: the close given (-1: no
// quote), high and low half a point around it and the open a quarter below.
std::unique_ptr<MarketData> dailyMarket(int id, const QList<double>& closes, QDate start = QDate(1990, 1, 2)) {
    auto md = std::make_unique<MarketData>();
    md->tradingDays.days = test::weekdays(start, start.addDays(2 * closes.size())).first(closes.size());
    for (qsizetype i = 0; i < closes.size(); ++i) {
        const auto c = static_cast<float>(closes.at(i));
        const float k = c < 0 ? 0 : 1;
        md->series[static_cast<size_t>(id)].rows.append(
            DailyRow{0, 0, c - 0.25f * k, c + 0.5f * k, c - 0.5f * k, c, md->tradingDays.days.at(i)});
    }
    return md;
}

QList<double> counting(int n, double from = 11) {
    QList<double> v;
    for (int i = 0; i < n; ++i) v << from + i;
    return v;
}

ChartInputs inputs(const MarketData& md, int period, ChartOptions options = {}) {
    ChartInputs in;
    in.options = options;
    in.market = &md;
    in.periodIndex = period;
    return in;
}

const ChartLine* line(const ChartData& c, ChartLine::Kind kind) {
    for (const ChartLine& l : c.lines)
        if (l.kind == kind) return &l;
    return nullptr;
}

} // namespace

TEST(ComposeCharts, FortyFiveRowsDrawRows16To45WithTheirTradesOnly) {
    const auto md = dailyMarket(kOil, counting(45));
    ChartInputs in = inputs(*md, 45);
    in.fills = {{10, 20.0, true, false}, {16, 26.5, false, false}, {45, 55.0, true, true}};
    const ChartPair c = composeCharts(in);

    EXPECT_EQ((std::tuple{c.left.title, c.left.style}), (std::tuple{"Open-High-Low-Close", ChartData::Style::Candles}));
    ASSERT_EQ(c.left.points.size(), 30);
    const QList<QDate>& days = md->tradingDays.days;
    EXPECT_EQ((std::tuple{c.left.points.first().date, c.left.points.last().date}),
              (std::tuple{days.at(15), days.at(44)}));
    // Row 16 closes at 26: open 25.75, high 26.5, low 25.5.
    EXPECT_EQ(c.left.points.first().price, (Ohlc{25.75, 26.5, 25.5, 26}));
    EXPECT_EQ(c.left.points.first().label, QStringLiteral("%1/%2").arg(days.at(15).month()).arg(days.at(15).day()));

    // The fill of period 10 lies before the drawn rows.
    const QList<TradeMarker>& m = c.left.markers;
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ((std::tuple{m[0].pointIndex, m[0].buy, m[1].pointIndex, m[1].marginCall}),
              (std::tuple{0, false, 29, true}));
    EXPECT_TRUE(c.left.points.last().detail.contains("Bought at 55.00 (margin call)"));

    // The price axis holds every high and low and the trades.
    EXPECT_TRUE(c.left.yMin <= 25.5 && c.left.yMax >= 55.5);
}

TEST(ComposeCharts, AYoungGameKeepsRoomForFiveShowsNoLaterRowAndNoEarlyStrength) {
    const auto md = dailyMarket(kOil, counting(20));
    // Before the first period the charts carry their titles alone.
    const ChartPair c0 = composeCharts(inputs(*md, 0));
    EXPECT_TRUE(c0.left.points.isEmpty() && c0.right.lines.isEmpty() && c0.left.title == "Open-High-Low-Close");
    const ChartPair c3 = composeCharts(inputs(*md, 3));
    ASSERT_EQ((std::tuple{c3.left.points.size(), c3.left.xSlots}), (std::tuple{qsizetype(3), 5}));
    EXPECT_EQ(c3.left.points.last().date, md->tradingDays.days.at(2));
    // Fewer periods than the average needs: no average line yet.
    EXPECT_FALSE(line(c3.right, ChartLine::Kind::MovingAverage));

    const ChartPair c5 = composeCharts(inputs(*md, 5));
    const ChartLine* ma = line(c5.right, ChartLine::Kind::MovingAverage);
    ASSERT_TRUE(ma);
    ASSERT_EQ(ma->values.size(), 5);
    EXPECT_FALSE(ma->values.at(3).has_value());
    EXPECT_DOUBLE_EQ(*ma->values.at(4), 13.0); // (11+12+13+14+15)/5

    // Later in the game the average reaches back before the drawn rows.
    ChartOptions fifteen;
    fifteen.mnuMoving_Click(2);
    const ChartPair later = composeCharts(inputs(*md, 20, fifteen));
    const ChartLine* ma15 = line(later.right, ChartLine::Kind::MovingAverage);
    ASSERT_TRUE(ma15);
    EXPECT_FALSE(ma15->values.at(13).has_value()); // row 14
    EXPECT_DOUBLE_EQ(*ma15->values.at(14), 18.0);  // rows 1..15: 11..25

    // The relative strength chart stays empty up to period 15.
    ChartOptions o;
    o.mnuGRType_Click(1);
    const ChartData early = composeCharts(inputs(*md, 15, o)).right;
    EXPECT_EQ((std::tuple{early.title, early.lines.size(), early.yMax}),
              (std::tuple{"Relative Strength Index", 0, 100.0}));
    EXPECT_EQ(early.yLabels, (QStringList{"0%", "25%", "50%", "75%", "100%"}));
    const ChartData strength = composeCharts(inputs(*md, 16, o)).right;
    const ChartLine* rsi = line(strength, ChartLine::Kind::Indicator1);
    ASSERT_TRUE(rsi);
    ASSERT_EQ(rsi->values.size(), 16);
    EXPECT_EQ(*rsi->values.at(15), 100.0); // never fell
}

TEST(ComposeCharts, MovingAverageAxisIsRoundedOutToTenthsWithItsLines) {
    const auto md = dailyMarket(kOil, {18.43, 18.61, 18.57, 18.49, 18.72});
    ChartOptions o;
    o.mnuMoving_Click(1); // min-max lines as well as the mean line
    const ChartData right = composeCharts(inputs(*md, 5, o)).right;
    // 18.43 .. 18.72 with 3% room (18.4213 .. 18.7287), labelled every 0.1
    // (a sixth of the axis is above 0.05), out to the quarter step 0.025.
    // Mean (18.43+18.61+18.57+18.49+18.72)/5 = 18.564.
    ASSERT_TRUE(line(right, ChartLine::Kind::Mean) && line(right, ChartLine::Kind::Min));
    const double got[] = {right.yMin, right.yMax, *line(right, ChartLine::Kind::Mean)->values.at(2),
                          *line(right, ChartLine::Kind::Min)->values.at(0),
                          *line(right, ChartLine::Kind::Max)->values.at(4)};
    const double want[] = {18.4, 18.75, 18.564, 18.43, 18.72};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
}

TEST(ComposeCharts, PriceLineStatisticsAndMissingRows) {
    // No quote on the first two days: no price, no close, nothing in the statistics or the axis.
    const auto md = dailyMarket(kOil, {-1, -1, 20, 22, 21, 25, 24, 23});
    ChartOptions o;
    o.mnuGLPrice_Click(0);
    const ChartData mean = composeCharts(inputs(*md, 8, o)).left;
    EXPECT_EQ((std::tuple{mean.title, mean.style}), (std::tuple{"Price", ChartData::Style::Line}));
    EXPECT_FALSE(mean.points.at(1).price.has_value());
    EXPECT_TRUE(mean.points.at(1).detail.contains("No price"));
    EXPECT_FALSE(line(mean, ChartLine::Kind::Close)->values.at(1).has_value());
    EXPECT_DOUBLE_EQ(*line(mean, ChartLine::Kind::Mean)->values.at(0), 22.5); // 135 / 6
    EXPECT_FALSE(line(mean, ChartLine::Kind::Min));
    EXPECT_GT(mean.yMin, 0.0);
    o.mnuGLPrice_Click(1);
    const ChartData both = composeCharts(inputs(*md, 8, o)).left;
    EXPECT_EQ(
        (std::tuple{line(both, ChartLine::Kind::Min)->values.at(7), line(both, ChartLine::Kind::Max)->values.at(7)}),
        (std::tuple{std::optional(20.0), std::optional(25.0)}));
}

TEST(ComposeCharts, TickGameChartsHoursAndTitlesItsFirstDayPrice) {
    auto md = std::make_unique<MarketData>();
    md->tickDays.resize(2);
    md->tickDays[0].date = QDate(1996, 3, 4);
    md->tickDays[1].date = QDate(1996, 3, 5);
    for (int d = 0; d < 2; ++d)
        for (int h = 1; h <= 6; ++h) {
            if (d == 0 && h == 3) continue; // no trade in that window
            const double p = 20 + d + h * 0.1;
            md->tickDays[d].periods[kOil][h] = TickPeriod{true, p, p + 0.05, p - 0.02, p + 0.01};
        }
    ChartInputs in = inputs(*md, 4);
    in.mode = DataMode::Tick;
    in.fills = {{2, 20.2, true, false}};
    const ChartPair first = composeCharts(in);
    EXPECT_EQ(first.left.title, "Price");
    ASSERT_EQ(first.left.points.size(), 4);
    EXPECT_EQ((std::tuple{first.left.points.at(0).label, first.left.points.at(1).label, first.left.points.at(3).hour}),
              (std::tuple{"3/4 9:00", "10:00", 4}));
    EXPECT_FALSE(first.left.points.at(2).price.has_value());
    EXPECT_TRUE(first.left.points.at(1).detail.contains("10:00 am"));
    ASSERT_EQ(first.left.markers.size(), 1);
    EXPECT_EQ(first.left.markers.at(0).pointIndex, 1);

    in.periodIndex = 8;
    const ChartPair second = composeCharts(in);
    EXPECT_EQ((std::tuple{second.left.title, second.left.points.at(6).label}),
              (std::tuple{"Open-High-Low-Close", "3/5 9:00"}));
    // The hour's candle opens at its price and spans its window's trades.
    const Ohlc candle = second.left.points.at(6).price.value_or(Ohlc{});
    EXPECT_TRUE(std::abs(candle.open - 21.1) + std::abs(candle.high - 21.15) + std::abs(candle.low - 21.08) +
                    std::abs(candle.close - 21.11) <
                1e-9);
    // Lines and indicators read the hour's price alone.
    EXPECT_EQ(line(second.right, ChartLine::Kind::Close)->values.at(6), 21.1);
}

TEST(ComposeCharts, YearToDateRunsFromTheFirstOfJanuary) {
    const auto md = dailyMarket(kOil, counting(45), QDate(1989, 12, 25)); // five days of 1989, then 40
    ASSERT_EQ(md->tradingDays.days.at(5), QDate(1990, 1, 1));
    ChartOptions o;
    o.mnuGLType_Click(2);
    ChartInputs in = inputs(*md, 45, o);
    in.currentDate = md->tradingDays.days.at(44);
    const ChartPair c = composeCharts(in);
    EXPECT_EQ(c.left.title, "Year-to-Date");
    ASSERT_EQ(c.left.points.size(), 40);
    EXPECT_EQ((std::tuple{c.left.points.first().date, c.left.points.first().label}),
              (std::tuple{QDate(1990, 1, 1), "1/1"}));
    EXPECT_EQ(c.right.points.size(), 30); // the right chart keeps its last thirty
}

TEST(ComposeCharts, PriceAxisFitsTheDrawnValuesInTheMarketsNotation) {
    const struct {
        const char* name;
        int market;
        QList<double> closes; // as the database holds them (Soybean in cents)
        QStringList labels;
        QString lastClose;
    } rows[] = {
        {"oil in cents", 3, {10.4, 26.6, 18}, {"10.00", "15.00", "20.00", "25.00"}, "18.00"},
        {"t-bond in 32nds", 6, {118.5, 119.25, 118.75}, {"118 16/32", "118 24/32", "119", "119 8/32"}, "118 24/32"},
        {"soybean in quarter cents", 5, {612.25, 613, 612.5}, {"6.12 1/4", "6.12 1/2", "6.12 3/4", "6.13"}, "6.12 1/2"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const auto md = dailyMarket(r.market, r.closes);
        ChartOptions o;
        o.setChartMarket(r.market);
        o.mnuGLPrice_Click(0); // the close as a line (and its mean): the drawn values are the closes
        const ChartPair pair = composeCharts(inputs(*md, static_cast<int>(r.closes.size()), o));
        const ChartData& c = pair.left;
        ASSERT_TRUE(line(c, ChartLine::Kind::Close) && line(pair.right, ChartLine::Kind::Close));
        // Both charts in the market's own unit: Soybean in dollars.
        EXPECT_EQ(line(pair.right, ChartLine::Kind::Close)->values, line(c, ChartLine::Kind::Close)->values);
        const Extent e = extent(line(c, ChartLine::Kind::Close)->values).value_or(Extent{});
        // Every value inside, with at most a sixth of the span on either side.
        EXPECT_LT(c.yMin, e.min);
        EXPECT_GT(c.yMax, e.max);
        EXPECT_LE(c.yMax - c.yMin, (e.max - e.min) * 4 / 3 + 1e-9);
        EXPECT_EQ(c.yLabels, r.labels);
        ASSERT_EQ(c.yTicks.size(), c.yLabels.size());
        for (double t : c.yTicks) EXPECT_TRUE(t >= c.yMin && t <= c.yMax) << t;
        EXPECT_TRUE(c.points.last().detail.endsWith("Close " + r.lastClose)) << qPrintable(c.points.last().detail);
    }
}

TEST(ComposeCharts, EachStyleDrawsWholeDaysAndSettlementOnlyDaysAsALine) {
    // Six days of Oil; where `settled` says so a day holds only its close (open, high and low as the close).
    const auto market = [](const char* settled) {
        auto md = dailyMarket(kOil, {20, 21, 22, 21, 23, 24});
        for (int i = 0; settled[i]; ++i) {
            DailyRow& r = md->series[kOil].rows[i];
            if (settled[i] == 's') r.open = r.high = r.low = r.close;
        }
        return md;
    };
    const struct {
        const char* name;
        int style; // mnuGLStyle
        const char* settled;
        ChartData::Style drawn;
        int whole;              // points with a price: drawn as candles or bars, read on a line's hover
        const char* settlement; // the settlement line's days, or none
        const char* title;
    } rows[] = {
        {"candles", 0, "wwwwww", ChartData::Style::Candles, 6, "", "Open-High-Low-Close"},
        {"bars", 1, "wwwwww", ChartData::Style::Bars, 6, "", "Open-High-Low-Close"},
        {"close line", 2, "wwwwww", ChartData::Style::Line, 6, "", "Close Price"},
        {"candles after settlement days", 0, "ssswww", ChartData::Style::Candles, 3, "sss...",
         "Open-High-Low-Close, Settlement-Only Days as a Line"},
        {"bars on settlement days only", 1, "ssssss", ChartData::Style::Bars, 0, "ssssss", "Settlement Price"},
        {"a close line needs no settlement line", 2, "ssswww", ChartData::Style::Line, 6, "", "Close Price"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const auto md = market(r.settled);
        ChartOptions o;
        o.mnuGLStyle_Click(r.style);
        const ChartData c = composeCharts(inputs(*md, 6, o)).left;
        EXPECT_EQ(c.style, r.drawn);
        EXPECT_EQ(std::count_if(c.points.cbegin(), c.points.cend(), [](const ChartPoint& p) { return p.price; }),
                  r.whole);
        QString settlement;
        if (const ChartLine* s = line(c, ChartLine::Kind::Settlement))
            for (const auto& v : s->values) settlement += v ? 's' : '.';
        EXPECT_EQ(settlement, QString::fromLatin1(r.settlement));
        EXPECT_EQ(c.title, QString::fromLatin1(r.title));
        // Every close is drawn one way or another, and the axis holds them all.
        EXPECT_TRUE(c.yMin < 20 && c.yMax > 24);
    }
}

TEST(ComposeCharts, AFlatLineGetsAnAxisOfDistinctLabels) {
    // Values the notation writes alike: the axis is opened round them, never one label written over and over.
    const struct {
        const char* name;
        int market;
        QList<double> closes; // as the database holds them
        double fill;          // a trade on the last day
    } rows[] = {
        {"a first day with a trade at its close", 3, {22.89}, 22.89},
        {"a trade at the close read from a float", 3, {22.89}, static_cast<float>(22.89)},
        {"one price read from two floats", 3, {22.889999, 22.89}, 22.89},
        {"t-bond unchanged", 6, {118.5, 118.5, 118.5}, 118.5},
        {"soybean unchanged", 5, {612.25, 612.25}, 6.1225},
        {"a price of nothing", 3, {0.001, 0.001}, 0.001},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const auto md = dailyMarket(r.market, r.closes);
        ChartOptions o;
        o.setChartMarket(r.market);
        ChartInputs in = inputs(*md, static_cast<int>(r.closes.size()), o);
        in.fills = {{static_cast<int>(r.closes.size()), r.fill, true, false}};
        const ChartData right = composeCharts(in).right;
        EXPECT_GE(right.yLabels.size(), 3);
        EXPECT_EQ(QSet<QString>(right.yLabels.cbegin(), right.yLabels.cend()).size(), right.yLabels.size())
            << right.yLabels.join(" | ").toStdString();
        EXPECT_LT(right.yMin, r.fill);
        EXPECT_GT(right.yMax, r.fill);
    }
}

TEST(ComposeCharts, NoViewShowsARowThePlayerHasNotReached) {
    // Whatever the view asks, every chart draws as a game whose data ended at the current period.
    const struct {
        const char* name;
        const char* steps; // taken at period 45: s scrolls, z zooms by the number; h goes home
        int period;        // then drawn at this period
        int first, last;
    } rows[] = {
        {"the standard view follows the game", "", 45, 16, 45},
        {"back ten rows", "s-10", 45, 6, 35},
        {"back past the first row", "s-100", 45, 1, 30},
        {"ahead past the current period", "s-10 s100", 45, 16, 45},
        {"zoomed in", "z1", 45, 26, 45},
        {"zoomed out to every row played", "z-5", 45, 1, 45},
        {"home again", "s-10 z1 h", 45, 16, 45},
        {"a view kept from later is cut at the current period", "s-10", 20, 1, 20},
    };
    const QList<double> closes = {20, 21, 19, 22, 23, 21, 20, 24, 25, 23, 22, 26, 27, 25, 24, 28, 29,
                                  27, 26, 30, 29, 27, 28, 31, 30, 28, 27, 26, 29, 30, 32, 31, 30, 33,
                                  34, 32, 31, 35, 36, 34, 33, 37, 38, 36, 35, 39, 40, 38, 37, 41};
    const auto md = dailyMarket(kOil, closes);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ChartOptions o;
        for (const QString& step : QString::fromLatin1(r.steps).split(' ', Qt::SkipEmptyParts)) {
            if (step[0] == 's') o.scrollView(step.mid(1).toInt(), 45);
            if (step[0] == 'z') o.zoomView(step.mid(1).toInt(), 45);
            if (step[0] == 'h') o.homeView();
        }
        const auto seen = dailyMarket(kOil, closes.first(r.period));
        // Every indicator, pane, overlay and style, the periods changed too.
        using Change = void (ChartOptions::*)(int);
        const std::pair<Change, int> changes[] = {
            {&ChartOptions::mnuGRType_Click, 0},  {&ChartOptions::mnuGRType_Click, 1},
            {&ChartOptions::mnuGRType_Click, 2},  {&ChartOptions::mnuStochPeriods_Click, 1},
            {&ChartOptions::mnuGRType_Click, 1},  {&ChartOptions::mnuRsiPeriods_Click, 0},
            {&ChartOptions::mnuGLBands_Click, 0}, {&ChartOptions::mnuGLAverage_Click, 0},
            {&ChartOptions::mnuGRPane_Click, 0},  {&ChartOptions::mnuGRPane_Click, 1},
            {&ChartOptions::mnuGLStyle_Click, 1}, {&ChartOptions::mnuGRVolume_Click, 0},
        };
        for (const auto& [change, type] : changes) {
            (o.*change)(type);
            ChartInputs in = inputs(*md, r.period, o);
            in.fills = {{r.period, 30.0, true, false}, {r.period + 1, 31.0, false, false}};
            const ChartPair c = composeCharts(in);
            ChartInputs truncated = in;
            truncated.market = seen.get();
            EXPECT_EQ(c, composeCharts(truncated)) << type;
            EXPECT_EQ(c.left.rows, (RowRange{r.first, r.last}));
            EXPECT_EQ(c.right.rows, (RowRange{r.first, r.last}));
            EXPECT_EQ(c.left.points.size(), r.last - r.first + 1);
        }
    }
}

TEST(ComposeCharts, VolumePaneShowsTheFiguresTheDataHold) {
    const struct {
        const char* name;
        QList<qint32> volume, interest; // per row; 0: not reported
        bool note;
    } rows[] = {
        {"every figure held", {1200, 900, 1500}, {5000, 5100, 5050}, false},
        {"some days unreported", {0, 900, 0}, {5000, 0, 5050}, false},
        {"none held", {0, 0, 0}, {0, 0, 0}, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        auto md = dailyMarket(kOil, {20, 21, 22});
        for (int i = 0; i < 3; ++i) {
            md->series[kOil].rows[i].dayVolume = r.volume.at(i);
            md->series[kOil].rows[i].openInterest = r.interest.at(i);
        }
        ChartOptions o;
        o.mnuGRVolume_Click(0);
        const ChartData c = composeCharts(inputs(*md, 3, o)).right;
        EXPECT_EQ(c.title, "Volume and Open Interest");
        EXPECT_EQ(!c.note.isEmpty(), r.note);
        if (r.note) continue;
        ASSERT_TRUE(line(c, ChartLine::Kind::Volume) && line(c, ChartLine::Kind::OpenInterest));
        const auto figure = [](qint32 v) { return v > 0 ? std::optional<double>(v) : std::nullopt; };
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(line(c, ChartLine::Kind::Volume)->values.at(i), figure(r.volume.at(i)));
            EXPECT_EQ(line(c, ChartLine::Kind::OpenInterest)->values.at(i), figure(r.interest.at(i)));
        }
        EXPECT_EQ(c.yMin, 0.0);
        EXPECT_GE(c.yMax, 5100.0);
    }
}

namespace {

PriceSeries fromCloses(const QList<double>& closes) {
    PriceSeries s;
    for (double c : closes) s.append(PricePoint{c, c, c, c});
    return s;
}

PriceSeries without(PriceSeries s, int index) {
    s[index] = std::nullopt;
    return s;
}

} // namespace

TEST(Indicators, WorkedExamplesOfTheirPublicDefinitions) {
    // Six rows (high, low, close): (10, 8, 9), (11, 9, 10), (13, 10, 12), (12, 9, 9), (15, 13, 14), (14, 12, 13).
    const QList<double> high{10, 11, 13, 12, 15, 14}, low{8, 9, 10, 9, 13, 12}, close{9, 10, 12, 9, 14, 13};
    PriceSeries rows, stoch, flat;
    for (int i = 0; i < 6; ++i) {
        rows.append(PricePoint{close[i], high[i], low[i], close[i]});
        // Rising rows (i + 10, i + 8, i + 9): the stochastics' worked example, its window sliding at row 6.
        stoch.append(PricePoint{i + 9.0, i + 10.0, i + 8.0, i + 9.0});
        flat.append(PricePoint{7, 7, 7, 7});
    }
    QList<double> rising, falling, mixed{10}, wavy, count;
    for (int i = 0; i < 15; ++i) rising << 10 + i, falling << 30 - i * 0.5;
    // Seven changes of +2 and seven of -1: gains 14/14 = 1, losses 7/14 = 0.5, RS 2, 100 - 100/3.
    for (int i = 0; i < 14; ++i) mixed << mixed.last() + (i % 2 == 0 ? 2 : -1);
    for (int i = 0; i < 30; ++i) wavy << 50 + (i % 3);
    for (int i = 1; i <= 25; ++i) count << i;
    const Stochastics s = stochastics(stoch), g = stochastics(without(stoch, 4));
    const PriceSeries counted = fromCloses(count), gap = without(counted, 22);
    // A gap down, from a close of 9 to a day of 7 to 5: its true range reaches back up to the close before.
    const PriceSeries gapDown{PricePoint{9, 10, 8, 9}, PricePoint{6, 7, 5, 6}};
    const std::optional<double> no;
    const struct {
        const char* name;
        Values values;
        Values expected;
    } cases[] = {
        // True range: high - low on the first row, then max(high, previous close) - min(low, previous close):
        // 2, 2, 3, 3, 6 (a gap up from 9 to 13..15), 2. Wilder's average over 3: (2 + 2 + 3) / 3, then
        // (previous * 2 + true range) / 3: 23/9, 100/27, 254/81.
        {"average true range", averageTrueRange(rows, 6, 3), {no, no, 2.3333, 2.5556, 3.7037, 3.1358}},
        {"true range of a gap down", {trueRange(gapDown, 2)}, {4.0}},
        // Bollinger over 3 closes, 2 deviations: 9, 10, 12 average 31/3, deviation sqrt(14/9) = 1.2472.
        {"bollinger middle", bollingerBands(rows, 6, 3, 2).middle, {no, no, 10.3333, 10.3333, 11.6667, 12.0}},
        {"bollinger upper", bollingerBands(rows, 6, 3, 2).upper, {no, no, 12.8278, 12.8278, 15.7763, 16.3205}},
        {"bollinger lower", bollingerBands(rows, 6, 3, 2).lower, {no, no, 7.8389, 7.8389, 7.5571, 7.6795}},
        // MACD 2, 3, 2: the averages start from the simple ones (9.5 on row 2, 31/3 on row 3), then weigh
        // each close by 2/3 and 1/2; the signal starts from (0.8333 + 0.0556) / 2.
        {"macd", macd(rows, 6, 2, 3, 2).macd, {no, no, 0.8333, 0.0556, 0.7407, 0.4414}},
        {"macd signal", macd(rows, 6, 2, 3, 2).signal, {no, no, no, 0.4444, 0.6420, 0.5082}},
        {"macd histogram", macd(rows, 6, 2, 3, 2).histogram, {no, no, no, -0.3889, 0.0988, -0.0669}},
        // Read to row 4 only, nothing of rows 5 and 6 shows.
        {"macd to row 4", macd(rows, 4, 2, 3, 2).macd, {no, no, 0.8333, 0.0556}},
        // Relative strength over 3 changes at row 4: +1, +2 and -3, gains 3 and losses 3, RS 1: 50; row 3 has
        // only two changes before it: 0.
        {"relative strength over 3 changes", {relativeStrength(rows, 4, 3), relativeStrength(rows, 3, 3)}, {50.0, 0.0}},
        // Over 14 changes: 100 rising, 0 falling, 0 with fourteen or fewer rows; a missing close empties every
        // point whose 15 closes include it (row 24 reads rows 10..24). Row 25 of 50, 51, 52, ...: gains 9, losses
        // 5 of 2, RS 0.9.
        {"relative strength",
         {relativeStrength(fromCloses(rising), 15), relativeStrength(fromCloses(falling), 15),
          relativeStrength(fromCloses(mixed), 15), relativeStrength(fromCloses(rising), 14),
          relativeStrength(fromCloses(rising), 1)},
         {100.0, 0.0, 66.6667, 0.0, 0.0}},
        {"relative strength over a gap",
         {relativeStrength(without(fromCloses(wavy), 9), 24), relativeStrength(without(fromCloses(wavy), 9), 25)},
         {no, 47.3684}},
        // %K 1..4 have no window: 0. Row 5: (13-8)/(14-8) = 5/6; row 6, rows 2..6: (14-9)/(15-9) = 5/6.
        {"stochastic %K", s.k, {0, 0, 0, 0, 0.8333, 0.8333}},
        // %D from row 3: (0+0+0)/3, (0+0+0)/3, (5/6+0+0)/3 = 0.2778, (5/6+5/6+0)/3 = 0.5556.
        {"stochastic %D", s.d, {0, 0, 0, 0, 0.2778, 0.5556}},
        // Slow %D from row 3 with %D of rows 1 and 2 as 0: (0.2778+0+0)/3 = 0.0926, (0.5556+0.2778+0)/3 = 0.2778.
        {"stochastic slow %D", s.slowD, {0, 0, 0, 0, 0.0926, 0.2778}},
        {"stochastic %K of a flat window", {stochastics(flat).k.at(4)}, {0.0}},
        // A row without a price is no price of 0: its point and every value whose window holds it stay empty.
        {"stochastics over a gap", {g.k.at(3), g.k.at(4), g.k.at(5), g.d.at(5)}, {0.0, no, no, no}},
        // Row 25 of 1..25: (21..25)/5 = 23, (11..25)/15 = 18, (6..25)/20 = 15.5; too few rows, nothing.
        {"moving averages",
         {movingAverage(counted, 25, 5), movingAverage(counted, 25, 15), movingAverage(counted, 25, 20),
          movingAverage(counted, 5, 5), movingAverage(counted, 4, 5), movingAverage(counted, 19, 20)},
         {23.0, 18.0, 15.5, 3.0, no, no}},
        {"moving average over a gap", {movingAverage(gap, 25, 5), movingAverage(gap, 22, 5)}, {no, 20.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.values.size(), c.expected.size());
        for (qsizetype i = 0; i < c.values.size(); ++i) {
            ASSERT_EQ(c.values[i].has_value(), c.expected[i].has_value()) << i;
            if (c.values[i]) {
                EXPECT_NEAR(*c.values[i], *c.expected[i], 5e-5) << i;
            }
        }
    }
    // Fast shows %K and %D, slow %D and slow %D, from period five.
    const auto shown = [&](int period, bool fast) {
        const IndicatorSets sets = stochasticDisplay(stoch, period, fast);
        return std::pair(sets.first, sets.second);
    };
    EXPECT_EQ(shown(6, true), std::pair(s.k, s.d));
    EXPECT_EQ(shown(6, false), std::pair(s.d, s.slowD));
    EXPECT_EQ(shown(4, true), std::pair(Values{}, Values{}));
    EXPECT_EQ(shown(5, true).first.size(), 6);
}
