#include "app/desk/chart_desk.h"
#include "app/state/clock.h"
#include "app/view/ticket_presenter.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace pellucar {

ChartDesk::ChartDesk(const GameState& game, charts::ChartOptions& options, charts::Drawings& drawings,
                     PresentationModel& model)
    : s_(game), options_(options), drawings_(drawings), model_(model) {}

void ChartDesk::restoreDefaults() {
    const int market = options_.chartMarket();
    options_.restoreDefaults();
    options_.setChartMarket(market);
    options_.homeView();
    // A new game's charts start clean.
    drawings_.clearAll();
    drawMode_ = charts::DrawMode::None;
}

void ChartDesk::setDrawMode(charts::DrawMode mode) {
    if (mode == drawMode_) return;
    drawMode_ = mode;
    RefreshCharts();
}

QString ChartDesk::draw(const charts::Drawing& line) {
    const int period = s_.clock.periodIndex();
    if (s_.clock.dataMode() == DataMode::None || period < 1) return QStringLiteral("There is no chart to draw on.");
    const int market = options_.chartMarket();
    // Snapping reaches a few pixels of the chart as drawn now.
    const charts::ChartData& chart = drawn().left;
    const double span = chart.yMax - chart.yMin;
    const charts::PriceSeries& candles = chartSeries(market).candles;
    charts::Drawing snapped = line;
    snapped.from = charts::snapPoint(candles, line.from, period, span);
    if (line.kind == charts::Drawing::Kind::Trend) snapped.to = charts::snapPoint(candles, line.to, period, span);
    const QString why = drawings_.add(market, snapped, period);
    if (why.isEmpty()) {
        drawMode_ = charts::DrawMode::None;
        RefreshCharts();
    }
    return why;
}

bool ChartDesk::removeDrawing(int index) {
    if (!drawings_.remove(options_.chartMarket(), index)) return false;
    RefreshCharts();
    return true;
}

void ChartDesk::removeAllDrawings() {
    if (drawings_.clear(options_.chartMarket())) RefreshCharts();
}

namespace {

// The options name the same items in the same order whatever they hold, and
// every redraw writes them: their keys are found once.
std::vector<ControlKey> keysOf(int count, QString (*keyOf)(int)) {
    std::vector<ControlKey> keys;
    keys.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) keys.emplace_back(keyOf(i));
    return keys;
}

const ControlKey& leftTitleKey() {
    static const ControlKey key(QStringLiteral("GraphLeft"));
    return key;
}

const ControlKey& rightTitleKey() {
    static const ControlKey key(QStringLiteral("GraphRight"));
    return key;
}

} // namespace

void ChartDesk::presentChartOptions() {
    using charts::ChartOptions;
    const ChartOptions& o = options_;
    static const auto markKeys = keysOf(ChartOptions::kMenuMarkCount, &ChartOptions::menuMarkKey);
    static const auto captionKeys = keysOf(ChartOptions::kMenuCaptionCount, &ChartOptions::menuCaptionKey);
    static const ControlKey comboKey(QStringLiteral("cboCommodity"));
    for (int i = 0; i < ChartOptions::kMenuMarkCount; ++i) model_.setChecked(markKeys[i], o.menuMarkChecked(i));
    for (int i = 0; i < ChartOptions::kMenuCaptionCount; ++i) model_.setText(captionKeys[i], o.menuCaption(i));
    static const ControlKey drawKeys[] = {ControlKey(QStringLiteral("mnuDraw_0")),
                                          ControlKey(QStringLiteral("mnuDraw_1"))};
    model_.setChecked(drawKeys[0], drawMode_ == charts::DrawMode::Level);
    model_.setChecked(drawKeys[1], drawMode_ == charts::DrawMode::Trend);
    ControlState& combo = model_[comboKey];
    combo.currentIndex = o.comboIndex();
    combo.text = o.comboText();
}

const charts::ChartSeries& ChartDesk::chartSeries(int commodityId) const {
    // Reading the daily rows' decimals, or walking every hour of a tick
    // period, is the costly part of a redraw; the rows only change when a
    // period is loaded.
    const DataMode mode = s_.clock.dataMode();
    std::optional<charts::ChartSeries>& cached = series_[static_cast<size_t>(commodityId)];
    if (!cached || cached->mode != mode) cached = charts::chartSeries(s_.market, mode, commodityId);
    return *cached;
}

void ChartDesk::PrepareCharts() {
    pending_.reset();
    stripPending_ = 0;
    strip_.clear();
    drawn_ = charts::preparedCharts();
    model_.setText(leftTitleKey(), drawn_.left.title);
    model_.setText(rightTitleKey(), drawn_.right.title);
    model_.touch();
}

void ChartDesk::RefreshCharts() {
    deferred_ = false;
    const DataMode mode = s_.clock.dataMode();
    options_.beginRefresh(mode, s_.clock.periodIndex());
    presentChartOptions();
    if (s_.clock.dataMode() == DataMode::None || s_.clock.periodIndex() < 1) {
        PrepareCharts();
        model_.setText(leftTitleKey(), options_.leftTitle(mode, s_.clock.periodIndex()));
        model_.setText(rightTitleKey(), options_.rightTitle());
        return;
    }
    stripPending_ = s_.clock.periodIndex();
    charts::ChartInputs& in = pending_.emplace();
    in.options = options_;
    in.mode = mode;
    in.periodIndex = s_.clock.periodIndex();
    in.market = &s_.market;
    in.currentDate = currentGameDate(s_.clock, s_.market);
    Market charted = Market::Oil;
    marketFromId(options_.chartMarket(), &charted);
    // The trade record only grows during a game: each redraw adds the trades
    // made since the last one, so a game of many trades and presses does not
    // copy its whole record at every redraw. The list is shared, not copied.
    const QList<TradeRecord>& records = s_.desk.trades.records();
    if (fillsMarket_ != options_.chartMarket() || records.size() < fillsRead_) {
        fills_.clear();
        fillsRead_ = 0;
        fillsMarket_ = options_.chartMarket();
    }
    for (qsizetype i = fillsRead_; i < records.size(); ++i) {
        const TradeRecord& t = records[i];
        if (t.market == charted) fills_.append({t.day, t.price, t.side == Side::Buy, t.marginCall});
    }
    fillsRead_ = records.size();
    in.fills = fills_;
    const LotBook& lots = s_.desk.account.lots(charted);
    if (const int held = static_cast<int>(std::lround(s_.desk.account.position(charted))); held != 0)
        // Valued at the price drawn now: the account is revalued only after
        // a press has drawn its charts.
        in.position = charts::OpenPosition{held, lots.averagePrice(), lots.unrealized(s_.prices.current.get(charted))};
    const charts::Notation notation = charts::notationOf(options_.chartMarket());
    // By id within the market, as the desk lists them. The lines are made
    // anew only when an order of the market is new, changed or gone, and a
    // label only for an order that is new or changed.
    const auto lined = [charted](const WorkingOrder& o) { return o.market == charted && o.type != OrderType::Market; };
    const std::vector<WorkingOrder>& orders = s_.desk.orders.byId();
    std::size_t same = 0;
    bool changed = false;
    if (linedRevision_ != s_.desk.orders.revision() || linedMarket_ != charted) {
        for (const WorkingOrder& o : orders)
            if (lined(o) && (changed = same >= linedOrders_.size() || !(linedOrders_[same++] == o))) break;
        linedRevision_ = s_.desk.orders.revision();
        linedMarket_ = charted;
    } else {
        same = linedOrders_.size();
    }
    if (changed || same != linedOrders_.size()) {
        std::vector<WorkingOrder> now;
        QList<charts::OrderLine> lines;
        lines.reserve(orderLines_.size() + 1);
        auto last = linedOrders_.cbegin();
        for (const WorkingOrder& o : orders) {
            if (!lined(o)) continue;
            while (last != linedOrders_.cend() && last->id < o.id) ++last;
            const bool kept = last != linedOrders_.cend() && *last == o;
            lines.append({o.id, o.price, o.side == Side::Buy,
                          kept ? orderLines_[last - linedOrders_.cbegin()].label
                               : orderLineLabel(o, charts::valueText(notation, o.price))});
            now.push_back(o);
        }
        linedOrders_ = std::move(now);
        orderLines_ = std::move(lines);
    }
    in.orders = orderLines_;
    if (mode == DataMode::Tick)
        for (const NewsHistoryEntry& e : s_.news.entries())
            in.stories.append({e.newsDate, e.newsTime.hour() - 8, e.title});
    // Whether the new charts differ is known only once composed; the
    // window reads them again with the next change it is told of.
    model_.touch();
    const auto [left, right] = charts::chartTitles(options_, mode, in.periodIndex, &s_.market);
    model_.setText(leftTitleKey(), left);
    model_.setText(rightTitleKey(), right);
}

const charts::ChartPair& ChartDesk::drawn() const {
    if (pending_) {
        charts::ChartInputs& in = *pending_;
        if (in.options.chartMarket() >= 1 && in.options.chartMarket() <= kMarketCount)
            in.series = &chartSeries(in.options.chartMarket());
        drawn_ = charts::composeCharts(in, &memo_);
        drawn_.left.drawings = drawings_.of(in.options.chartMarket());
        drawn_.left.drawMode = drawMode_;
        pending_.reset();
    }
    return drawn_;
}

const QList<charts::MarketGlance>& ChartDesk::strip() const {
    if (strip_.isEmpty() && stripPending_ == 0) {
        // Before the first period: the names alone.
        for (int id = 1; id <= kMarketCount; ++id) strip_.append(charts::marketGlance({}, id, 0, {}));
    }
    if (stripPending_ == 0) return strip_;
    const int period = stripPending_;
    stripPending_ = 0;
    // The span of the price chart as drawn (the year to date included).
    const charts::RowRange rows = drawn().left.rows;
    strip_.clear();
    for (int id = 1; id <= kMarketCount; ++id) {
        charts::MarketGlance g = charts::marketGlance(chartSeries(id).prices, id, period, rows);
        g.charted = id == options_.chartMarket();
        strip_.append(std::move(g));
    }
    return strip_;
}

void ChartDesk::chartOption_Click(void (charts::ChartOptions::*handler)(int), int items, int index) {
    if (index < 0 || index >= items) return;
    (options_.*handler)(index);
    RefreshCharts();
}

void ChartDesk::addActions(ActionTable& actions) {
    // Each chart choice, with the number of its items.
    using Handler = void (charts::ChartOptions::*)(int);
    const std::tuple<const char*, Handler, int> items[] = {
        {"cboCommodity", &charts::ChartOptions::cboCommodity_Click, kMarketCount},
        {"mnuGraph", &charts::ChartOptions::mnuGraph_Click, kMarketCount},
        {"mnuGLType", &charts::ChartOptions::mnuGLType_Click, 3},
        {"mnuGLPrice", &charts::ChartOptions::mnuGLPrice_Click, 2},
        {"mnuGLStyle", &charts::ChartOptions::mnuGLStyle_Click, 3},
        {"mnuGRType", &charts::ChartOptions::mnuGRType_Click, 3},
        {"mnuMoving", &charts::ChartOptions::mnuMoving_Click, 3},
        {"mnuStoch", &charts::ChartOptions::mnuStoch_Click, 2},
        {"mnuGLAverage", &charts::ChartOptions::mnuGLAverage_Click, 1},
        {"mnuGRVolume", &charts::ChartOptions::mnuGRVolume_Click, 1},
        {"mnuGLBands", &charts::ChartOptions::mnuGLBands_Click, 1},
        {"mnuGRPane", &charts::ChartOptions::mnuGRPane_Click, 2},
        {"mnuRsiPeriods", &charts::ChartOptions::mnuRsiPeriods_Click, 3},
        {"mnuStochPeriods", &charts::ChartOptions::mnuStochPeriods_Click, 3},
    };
    for (const auto& [name, handler, count] : items)
        actions.insert(QString::fromLatin1(name),
                       [this, h = handler, n = count](int i) { chartOption_Click(h, n, n == 1 ? std::max(0, i) : i); });
    // Where the charts look back: the view menu's items are moves of the
    // view like the chart's own wheel, drag and keys (Game::moveChartView).
    actions.insert(QStringLiteral("mnuChartView"), [this](int i) {
        using charts::ViewMove;
        if (i == 0) moveView(ViewMove::Zoom, 1);
        else if (i == 1) moveView(ViewMove::Zoom, -1);
        else if (i == 2) moveView(ViewMove::Latest, 0);
    });
    // Drawing: the two modes (a choice again ends it), the last line, all.
    actions.insert(QStringLiteral("mnuDraw"), [this](int i) {
        using charts::DrawMode;
        if (i == 0 || i == 1) {
            const DrawMode mode = i == 0 ? DrawMode::Level : DrawMode::Trend;
            setDrawMode(drawMode_ == mode ? DrawMode::None : mode);
        } else if (i == 2) {
            removeDrawing(-1);
        } else if (i == 3) {
            removeAllDrawings();
        }
    });
}

void ChartDesk::moveView(charts::ViewMove move, int amount) {
    if (s_.clock.dataMode() == DataMode::None || s_.clock.periodIndex() < 1) return;
    const charts::ChartOptions before = options_;
    options_.moveView(move, amount, s_.clock.periodIndex());
    if (!(options_ == before)) RefreshCharts();
}

void ChartDesk::RefreshDeferredCharts() {
    if (!deferred_) return;
    RefreshCharts();
}

void ChartDesk::forgetPeriod() {
    // The period those inputs read is gone; the new one is drawn next.
    pending_.reset();
    stripPending_ = 0;
    strip_.clear();
    series_ = {};
    memo_ = {};
    deferred_ = false;
    // A new game's or a resumed game's record is another record.
    fills_.clear();
    fillsRead_ = 0;
}

} // namespace pellucar
