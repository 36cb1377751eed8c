#pragma once
#include "app/state/game_state.h"
#include "app/view/actions.h"
#include "app/view/presentation_model.h"
#include "charts/market_strip.h"

#include <array>
#include <optional>

namespace pellucar {

// The two price charts of the game: the chart options take the player's
// choices, and every redraw composes both charts from the loaded period.
// What each chart shows is the charts area's to decide; the view draws it.
class ChartDesk {
public:
    // The one writer of the chart options and the drawings; the rest of the
    // game it reads.
    ChartDesk(const GameState& game, charts::ChartOptions& options, charts::Drawings& drawings,
              PresentationModel& model);

    // Both charts as the last redraw left them. A redraw takes what the
    // charts show as the game stands at that moment (fills, position,
    // stories, options) and composes the points and texts from it when
    // they are first read here: a game played without a window (the
    // player driver, the soak) never pays for charts nobody looks at.
    const charts::ChartPair& drawn() const;
    // The six markets at a glance (commodity ids 1..6, the combo box's
    // order) over the rows the price chart shows, composed with the charts
    // of the same redraw when first read.
    const QList<charts::MarketGlance>& strip() const;

    // The chart menu items and the market combo box.
    void addActions(ActionTable& actions);
    // The chart menus' marks and captions and the market combo box.
    void presentChartOptions();
    // Both charts empty, with their titles.
    void PrepareCharts();
    // Draws both charts as the game stands; settles a held redraw.
    void RefreshCharts();
    // A chart menu item or the combo box: the chart options take the
    // choice, then both charts are drawn again.
    void chartOption_Click(void (charts::ChartOptions::*handler)(int), int items, int index);

    // A Daily Forward press draws its charts once, after the period moves
    // on: it holds the redraw of the new trading day back where the press
    // would otherwise have drawn it. Anything that shows the window or ends
    // the press before that settles it first.
    void deferRefresh() { deferred_ = true; }
    bool refreshDeferred() const { return deferred_; }
    // Draws the charts a Forward press has held back, if any.
    void RefreshDeferredCharts();

    // The chart defaults of a new game, on the market charted now; the
    // start-up's market is Oil.
    void restoreDefaults();
    void chartOil() { options_.setChartMarket(commodityId(Market::Oil)); }
    void chartMarket(Market m) { options_.setChartMarket(commodityId(m)); }
    // A resumed game's chart choices.
    void restore(const charts::ChartOptions& options) { options_ = options; }
    // A resumed game's lines, checked by the saved game's reader.
    void restoreDrawings(const charts::Drawings& drawings) { drawings_ = drawings; }

    // Drawing on the price chart: the mode the chart menu's items choose
    // (the chart's mouse and keys read it), a line put on the charted market
    // with its points snapped to the prices of their periods, and removal.
    // A line placed, or Escape, ends the mode. `draw` returns an empty text,
    // or why the line was refused (nothing changes then).
    charts::DrawMode drawMode() const { return drawMode_; }
    void setDrawMode(charts::DrawMode mode);
    QString draw(const charts::Drawing& line);
    // Drawing `index` of the charted market (0 the oldest, -1 the last);
    // false when there is none.
    bool removeDrawing(int index);
    void removeAllDrawings();

    // Another period was loaded: the series built from the last one go.
    void forgetPeriod();

    // A change of the rows the charts show, bounded by the current period:
    // the one way the menu, the chart's wheel, drag and keys and the driver
    // move the view.
    void moveView(charts::ViewMove move, int amount);

private:
    const charts::ChartSeries& chartSeries(int commodityId) const;

    const GameState& s_;
    charts::ChartOptions& options_;
    charts::Drawings& drawings_;
    PresentationModel& model_;
    charts::DrawMode drawMode_ = charts::DrawMode::None;
    // The charts last composed, and the inputs of a redraw not composed
    // yet. The inputs' market is the loaded period, which only a period
    // load changes, and a period load drops them (forgetPeriod).
    mutable charts::ChartPair drawn_;
    mutable std::optional<charts::ChartInputs> pending_;
    mutable QList<charts::MarketGlance> strip_;
    // The redraw's period the strip was not composed for yet (0: none).
    mutable int stripPending_ = 0;
    // The chart series of each market (by commodity id) for the loaded
    // period, built on first use.
    mutable std::array<std::optional<charts::ChartSeries>, kMarketCount + 1> series_;
    // What the last composition can lend the next, for this period.
    mutable charts::ChartMemo memo_;
    bool deferred_ = false;
    // The charted market's fills among the first fillsRead_ trades of the
    // record, for the market fillsMarket_ (a commodity id).
    QList<charts::TradeFill> fills_;
    qsizetype fillsRead_ = 0;
    int fillsMarket_ = -1;
    // The order lines last drawn and the orders they show, by id: most
    // presses change no order, and a desk of many orders would otherwise
    // make and label every line again at every redraw.
    std::vector<WorkingOrder> linedOrders_;
    QList<charts::OrderLine> orderLines_;
    // The desk's orders and the charted market they were last looked at for.
    std::uint64_t linedRevision_ = 0;
    Market linedMarket_ = Market::Oil;
};

} // namespace pellucar
