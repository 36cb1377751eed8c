#pragma once
#include "charts/chart_options.h"
#include "charts/drawings.h"
#include "charts/indicators.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace pellucar {
struct MarketData;
struct DailyRow;
} // namespace pellucar

// What the two price charts show, computed from the market data and the
// chart options. The view draws these values as they are; everything the
// game decides (range, values, titles, axis limits, hover texts) is here.

namespace pellucar::charts {

struct Ohlc {
    double open = 0, high = 0, low = 0, close = 0;
    bool operator==(const Ohlc&) const = default;
};

// One x position of a chart: a trading day, or an hour of a tick game.
struct ChartPoint {
    QString label; // the axis text: "1/14" for a day, "9:00" for an hour ("1/14 9:00" the day's first)
    QDate date;
    int hour = 0;              // 1..6 in a tick game, 0 for a trading day
    std::optional<Ohlc> price; // none where the market has no price
    QString detail;            // what hovering over the point tells
    bool operator==(const ChartPoint&) const = default;
};

// How a chart's values read: in the market's own notation (decimals, T-Bond
// points and 32nds, Soybean quarter cents) or as a percentage of 100 or of 1.
// Count: contracts ("12,500", "1.2M").
enum class Notation { Decimal, ThirtySeconds, QuarterCents, PercentOf100, PercentOf1, Count };
Notation notationOf(int commodityId);
// A value as the axis, the hover text and the crosshair show it.
QString valueText(Notation notation, double v);

struct ChartLine {
    // Guide: an indicator's fixed level (30 and 70, 20% and 80%).
    // Volume: a bar per point; OpenInterest: a line.
    // Settlement: the days of a candle chart that hold only their close.
    enum class Kind {
        Close,
        Settlement,
        MovingAverage,
        Mean,
        Min,
        Max,
        Indicator1,
        Indicator2,
        Guide,
        Volume,
        OpenInterest,
        // Bollinger's bands over the prices; a histogram's bars stand on 0.
        Band,
        Histogram
    };
    Kind kind = Kind::Close;
    QString name;
    Values values; // one per point; empty where there is nothing to draw
    bool operator==(const ChartLine&) const = default;
};

// One of the player's fills, where it lies in the chart.
struct TradeMarker {
    int pointIndex = 0;
    double price = 0;
    bool buy = true;
    bool marginCall = false; // a mandatory trade of a margin call
    QString label;           // "Bought at 18.46"
    bool operator==(const TradeMarker&) const = default;
};

// The charted market's open position: a line at its average entry price.
struct PositionLine {
    double price = 0;
    bool isLong = true;
    QString label; // "Long 3 at 18.46   +$1,230.00"
    bool operator==(const PositionLine&) const = default;
};

// A working order of the charted market, drawn across the price chart at
// its price and dragged to a new one.
struct OrderLine {
    int id = 0;
    double price = 0;
    bool buy = true;
    QString label; // "Buy 5 LMT 14.50"
    bool operator==(const OrderLine&) const = default;
};

// An hour a news story came out, in a tick game.
struct StoryMarker {
    int pointIndex = 0;
    QString headline;
    bool operator==(const StoryMarker&) const = default;
};

struct ChartData {
    // Candles or Bars: the points' open, high, low and close, as candles or
    // as bars ticked left at the open and right at the close; Line: the
    // lines only.
    enum class Style { Candles, Bars, Line };
    QString title;
    Style style = Style::Line;
    QList<ChartPoint> points;
    // Positions the x axis spans; at least the number of points (a chart of
    // a young game keeps room for five).
    int xSlots = 0;
    QList<ChartLine> lines;
    // The y axis: its limits hold every drawn value with a little room, and
    // it is labelled at round values of the chart's notation, yTicks[i]
    // reading yLabels[i].
    Notation notation = Notation::Decimal;
    double yMin = 0, yMax = 0;
    QList<double> yTicks;
    QStringList yLabels;
    QList<TradeMarker> markers;
    // The last drawn close, tagged on the y axis (price charts only).
    std::optional<double> lastValue;
    std::optional<PositionLine> position;
    QList<OrderLine> orders;
    QList<StoryMarker> stories;
    // The played rows shown (points[0] is row rows.first).
    RowRange rows;
    // Said across the chart where it has nothing to draw.
    QString note;
    // The player's lines over the price chart (their points by period, as
    // `rows` counts them), and what the mouse and keys draw on it now.
    QList<Drawing> drawings;
    DrawMode drawMode = DrawMode::None;

    bool hasAxes() const { return !yTicks.isEmpty(); }
    bool operator==(const ChartData&) const = default;
};

struct ChartPair {
    ChartData left, right;
    bool operator==(const ChartPair&) const = default;
};

// A fill of the player in the charted market.
struct TradeFill {
    int periodIndex = 0;
    double price = 0;
    bool buy = true;
    bool marginCall = false;
    bool operator==(const TradeFill&) const = default;
};

// One market's price points for the loaded period, one per row, as the
// charts read them: what the lines and indicators read, and what the candles
// draw. Daily rows are their own candles; a tick hour's candle spans the
// trades of its sampling window.
struct ChartSeries {
    DataMode mode = DataMode::Daily; // the rows it was read from
    PriceSeries prices;
    PriceSeries candles;
};

struct OpenPosition {
    int contracts = 0; // negative: short
    double averagePrice = 0;
    double unrealized = 0; // dollars
};

// A news story of a tick game, by the hour it came out (1..6 for 9:00 to
// 2:00).
struct StoryTime {
    QDate date;
    int hour = 0;
    QString headline;
};

struct ChartInputs {
    ChartOptions options;
    DataMode mode = DataMode::Daily;
    int periodIndex = 0;
    // The loaded period; no data when null.
    const MarketData* market = nullptr;
    // The charted market's series as chartSeries() gives them for `mode`,
    // when the caller keeps them between redraws (they only change with the
    // loaded period); null builds them anew.
    const ChartSeries* series = nullptr;
    // The player's fills in the charted market (in no particular order).
    QList<TradeFill> fills;
    // The charted market's open position, if any.
    std::optional<OpenPosition> position;
    // The working orders of the charted market (Trainer rules).
    QList<OrderLine> orders;
    // The stories of a tick game so far.
    QList<StoryTime> stories;
    // The game's date, which starts the year to date; when invalid, the date
    // of the current period's row is used.
    QDate currentDate;
};

// What one redraw leaves for the next of the same loaded period. A press
// moves the rows in view on by one: the points of the rows told before, as
// they read before fills and stories are added, and a value axis over the
// same span are taken as they were. Each part holds what it was made from,
// and is made anew when that differs. Its owner keeps one for its pair of
// charts; composeCharts is its one writer.
struct ChartMemo {
    struct Points {
        PriceSeries series; // held: its data cannot go while compared by address
        const MarketData* market = nullptr;
        quint64 recipe = 0;
        std::vector<std::optional<ChartPoint>> rows; // by row - 1
    };
    struct Axis {
        quint64 low = 0, high = 0; // the span's bits
        Notation notation = Notation::Decimal;
        bool marked = false;
        double yMin = 0, yMax = 0;
        QList<double> yTicks;
        QStringList yLabels;
    };
    Points left, right;
    std::optional<Axis> leftAxis, rightAxis;
};

// The charts before any game data: titles only.
ChartPair preparedCharts();

// Both charts for the game as it stands. The options are read as the redraw
// sees them (the tick game's first-day rule of ChartOptions::beginRefresh
// applied), so the caller keeps that change by calling beginRefresh itself.
// With a memo, what the last redraw made is reused where it holds.
ChartPair composeCharts(const ChartInputs& in, ChartMemo* memo = nullptr);
// The titles composeCharts gives the left and right charts, from options
// that have been through beginRefresh, without composing the charts; with
// the market, the open-high-low-close title tells of the days in view that
// hold only their settlement price.
std::pair<QString, QString> chartTitles(const ChartOptions& refreshed, DataMode mode, int periodIndex,
                                        const MarketData* market = nullptr);
// A daily row with nothing but its close: no candle or bar can be drawn of it.
bool settlementOnly(const DailyRow& row);

// The price points of a market as the charts read them, one per row: the
// daily rows (Soybean in dollars, as traded), or the tick hours 1..n with
// the hour's price as open, high, low and close.
PriceSeries dailyPriceSeries(const MarketData& market, int commodityId);
PriceSeries hourlyPriceSeries(const MarketData& market, int commodityId);
// Both of a market's series for the charts in `mode`.
ChartSeries chartSeries(const MarketData& market, DataMode mode, int commodityId);

} // namespace pellucar::charts
