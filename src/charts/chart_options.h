#pragma once
#include "charts/indicators.h"
#include "common/data_mode.h"

#include <QString>

#include <optional>

// Every setting of the two price charts, and the option handlers of the
// Options menu and the commodity combo box as changes of that state. The
// menu's check marks and captions are drawn from here; nothing is read back
// from the menu.

namespace pellucar::charts {

// Charts are drawn from daily rows in any mode but Tick (also before the
// first game, in mode None).

// What the left chart shows.
enum class LeftChartType { OpenHighLowClose, Price, YearToDate };

// How the open-high-low-close chart draws a period whose prices it has
// whole: a candle, a bar with the open ticked left and the close right, or
// only the close, joined as a line.
enum class PriceStyle { Candles, Bars, CloseLine };

// What the right chart shows: its indicator, or in its place the volume
// and open interest, the average true range, or MACD.
enum class RightPane { Indicator, Volume, AverageTrueRange, Macd };

// The right chart's indicator.
enum class GraphType { MovingAverage, RelativeStrengthIndex, Stochastic };
// "MovingAverage", "RelativeStrengthIndex", "Stochastic".
QString graphTypeText(GraphType type);
std::optional<GraphType> graphTypeFromText(const QString& text);

// Unset until the Stochastic submenu is first used; only Fast gives the fast
// display, the others the slow one.
enum class StochasticType { Unset, Fast, Slow };
// "", "FastStochastics", "SlowStochastics".
QString stochasticTypeText(StochasticType type);
std::optional<StochasticType> stochasticTypeFromText(const QString& text);

// How the player moves the rows the charts show: by rows (negative: back in
// time), by zoom steps (positive: closer, fewer rows), or back to the latest
// rows.
enum class ViewMove { Scroll, Zoom, Latest };

// The period arithmetic of tick games (period n from 1: hour tickOfDay(n)
// of trading day tickDayOf(n)), the clock's own.
using pellucar::tickDayOf;
using pellucar::tickOfDay;

class ChartOptions {
public:
    // The settings at start-up: Oil, open-high-low-close on the left, the
    // 5-period moving average with its mean line on the right, fast
    // stochastics checked (the stochastic type itself still unset).
    ChartOptions() = default;

    // The charted market, a commodity id 1..6 (1 Cattle, 2 Gold, 3 Oil,
    // 4 SP500, 5 Soybean, 6 TBond).
    int chartMarket() const { return chartMarket_; }
    LeftChartType leftType() const { return leftType_; }
    bool priceMeanLine() const { return priceMean_; }
    bool priceMinMaxLines() const { return priceMinMax_; }
    GraphType graphType() const { return graphType_; }
    int movingAveragePeriods() const { return maPeriods_; }
    int movingAverageCounter() const { return maCounter_; }
    bool movingMeanLine() const { return movingMean_; }
    bool movingMinMaxLines() const { return movingMinMax_; }
    StochasticType stochasticType() const { return stochasticType_; }
    bool fastStochastics() const { return stochasticType_ == StochasticType::Fast; }

    // The option handlers. Each changes only this state; the caller redraws
    // both charts afterwards.
    // Graph Options menu, items 0..5 in trading order (Oil ... Soybean).
    void mnuGraph_Click(int index);
    // Commodity combo box, entries 0..5 in list order (Cattle ... TBond).
    void cboCommodity_Click(int comboIndex);
    // 0 open-high-low-close, 2 year to date; 1 only opens its submenu.
    void mnuGLType_Click(int index);
    // Toggles the price line's mean line (0) or min-max lines (1).
    void mnuGLPrice_Click(int index);
    // 0 moving average, 1 relative strength index, 2 stochastics.
    void mnuGRType_Click(int index);
    // 0, 1 toggle the moving average's mean / min-max lines; 2 steps the
    // number of periods through 15, 20, 5, ...
    void mnuMoving_Click(int index);
    // 0 fast, 1 slow stochastics.
    void mnuStoch_Click(int index);

    // The Chart Style submenu: 0 candles (as at start), 1 bars, 2 a close
    // line. A new game keeps it, as it keeps the left chart's type.
    PriceStyle priceStyle() const { return priceStyle_; }
    void mnuGLStyle_Click(int index);

    // The moving average of the right chart drawn over the price chart too
    // (the "mnuGLAverage" item toggles it).
    bool priceAverageLine() const { return priceAverage_; }
    void mnuGLAverage_Click(int index);
    // The right chart shows the market's daily volume and open interest in
    // place of its indicator while "mnuGRVolume" is checked.
    bool volumePane() const { return rightPane_ == RightPane::Volume; }
    void mnuGRVolume_Click(int index);
    // The average true range (0) or MACD (1) in place of the indicator; the
    // same item again brings the indicator back.
    RightPane rightPane() const { return rightPane_; }
    void mnuGRPane_Click(int index);
    // Bollinger's bands over the price chart ("mnuGLBands" toggles them).
    bool priceBands() const { return priceBands_; }
    void mnuGLBands_Click(int index);
    // The indicators' periods: the relative strength index over 9, 14 (as
    // at start) or 25 changes, the stochastic window of 5 (as at start), 9
    // or 14 rows.
    int rsiChanges() const { return rsiChanges_; }
    int stochasticWindow() const { return stochasticWindow_; }
    void mnuRsiPeriods_Click(int index);
    void mnuStochPeriods_Click(int index);

    // Which played rows the charts show: the last `viewSpan` rows up to
    // `viewEnd`, or up to the current period while viewEnd is 0 (the
    // standard view follows the game). The view never reaches past the
    // current period: every change is bounded by it, and the charts bound it
    // again when they are drawn.
    int viewEnd() const { return viewEnd_; }
    int viewSpan() const { return viewSpan_; }
    // The rows shown, 1..currentRow, for a game whose current row is given.
    RowRange viewRange(int currentRow) const;
    // Moves the view by `rows` (negative: back in time).
    void scrollView(int rows, int currentRow);
    // Positive steps show fewer rows, negative steps more.
    void zoomView(int steps, int currentRow);
    // Back to the standard view: the last 30 rows up to the current period.
    void homeView();
    // Every move of the view, whichever way the player asks for it.
    void moveView(ViewMove move, int amount, int currentRow);
    // The chart view menu: 0 zoom in, 1 zoom out, 2 the standard view.
    void mnuChartView_Click(int index, int currentRow);

    // Run at the start of every redraw: during the first trading day of a
    // tick game there is no year to date yet, so that choice falls back to
    // the plain price line.
    void beginRefresh(DataMode mode, int periodIndex);
    // The new-game setup brings back the right chart's defaults: moving
    // average of 5 periods with its mean line, the stochastic type unset.
    // The market and the left chart stay.
    void restoreDefaults();
    // Sets the market from outside the menus (the new-game setup); ids out
    // of 1..6 give Oil.
    void setChartMarket(int commodityId);

    // What the menus and the combo box show.
    bool graphItemChecked(int index) const;      // mnuGraph
    bool leftTypeItemChecked(int index) const;   // mnuGLType
    bool priceLineItemChecked(int index) const;  // mnuGLPrice
    bool graphTypeItemChecked(int index) const;  // mnuGRType
    bool movingItemChecked(int index) const;     // mnuMoving
    bool stochasticItemChecked(int index) const; // mnuStoch
    // mnuGRType 0 follows the number of periods once it has been changed
    // ("Moving Average - 15"); the other items keep their design captions.
    QString graphTypeItemCaption(int index) const;
    // mnuMoving 2 reads "15 periods" once changed.
    QString movingItemCaption(int index) const;
    // Every check mark and every caption of the chart menus, by model key
    // ("mnuGraph_5"): always the same items in the same order, read one by
    // one at every redraw.
    static constexpr int kMenuMarkCount = 33;
    static constexpr int kMenuCaptionCount = 2;
    static QString menuMarkKey(int i);
    static QString menuCaptionKey(int i);
    bool menuMarkChecked(int i) const;
    QString menuCaption(int i) const;
    int comboIndex() const { return chartMarket_ - 1; }
    QString comboText() const { return comboText_; }

    // The chart titles for the game's data mode and period.
    QString leftTitle(DataMode mode, int periodIndex) const;
    QString rightTitle() const;

    // Graph Options items follow the trading order, the combo box and the
    // commodity ids the alphabetical list.
    static int commodityIdOfGraphItem(int index);
    static int graphItemOfCommodityId(int commodityId);

    // The choices a saved game keeps; the rest follows from them.
    struct Choices {
        int chartMarket = 3;
        QString comboText;
        LeftChartType leftType = LeftChartType::OpenHighLowClose;
        bool priceMean = false, priceMinMax = false;
        GraphType graphType = GraphType::MovingAverage;
        int maCounter = 0; // presses of the periods item, at most kMaxMovingCounter
        // The relative strength mark, kept in saved games; it follows the
        // graph type.
        bool movingMean = true, movingMinMax = false, rsiChecked = false;
        StochasticType stochasticType = StochasticType::Unset;
        // The style and the indicators' tuning; a file that does not hold
        // them has the start-up's.
        PriceStyle priceStyle = PriceStyle::Candles;
        bool priceAverage = false;
        RightPane rightPane = RightPane::Indicator;
        bool priceBands = false;
        int rsiChanges = kRsiChanges;
        int stochasticWindow = kStochasticWindow;
        bool operator==(const Choices&) const = default;
    };
    static constexpr int kMaxMovingCounter = 1000000;
    Choices choices() const;
    // Options with these choices, or none when the handlers could not have
    // made them (a market out of 1..6, a combo text the market never shows,
    // price lines without the price chart, the relative strength index with
    // a moving line).
    static std::optional<ChartOptions> fromChoices(const Choices& c);
    // Why the style and tuning of `c` are none the menus offer (an unknown
    // style or pane, a period out of the menus' choices), or empty.
    static QString tuningProblem(const Choices& c);

    bool operator==(const ChartOptions&) const = default;

private:
    int chartMarket_ = 3;
    QString comboText_ = QStringLiteral("Oil");
    LeftChartType leftType_ = LeftChartType::OpenHighLowClose;
    bool priceMean_ = false;
    bool priceMinMax_ = false;
    GraphType graphType_ = GraphType::MovingAverage;
    int maPeriods_ = 5;
    int maCounter_ = 0;
    bool movingMean_ = true;
    bool movingMinMax_ = false;
    StochasticType stochasticType_ = StochasticType::Unset;
    int stochasticItem_ = 0;
    PriceStyle priceStyle_ = PriceStyle::Candles;
    bool priceAverage_ = false;
    RightPane rightPane_ = RightPane::Indicator;
    bool priceBands_ = false;
    int rsiChanges_ = kRsiChanges;
    int stochasticWindow_ = kStochasticWindow;
    int viewEnd_ = 0;
    int viewSpan_ = kMaxDrawnPoints;
};

} // namespace pellucar::charts
