// The market as the player sees it: the quote column, the stored prices, the charts and the news.
#include "app/view/control_table.h"
#include "app/view/quote_presenter.h"
#include "support/game_harness.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace pellucar;
using namespace pellucar::test;

namespace {

QString quoteKey(Market m) { return QStringLiteral("lbl%1CurrMark").arg(marketName(m)); }

// Period `p` shown at `level` after its floors and quotes were applied, as the clock does on storing it.
struct Column {
    PriceHistory prices;
    PresentationModel model;
    Column() { applyDesignState(model); }
    QString show(int p, Market m, Level level = Level::Expert) {
        prices.applyFloorsAndQuotes(p, level == Level::Expert);
        presentQuotes(prices, p, level, model, {});
        return model.at(quoteKey(m)).text;
    }
};

// The charts of the game as it stands, composed from nothing.
charts::ChartPair afresh(const GameState& s) {
    charts::ChartInputs in;
    std::tie(in.options, in.mode, in.periodIndex, in.market) =
        std::tuple(s.chart, s.clock.dataMode(), s.clock.periodIndex(), &s.market);
    in.currentDate = currentGameDate(s.clock, s.market);
    Market m = Market::Oil;
    marketFromId(s.chart.chartMarket(), &m);
    for (const TradeRecord& t : s.desk.trades.records())
        if (t.market == m) in.fills.append({t.day, t.price, t.side == Side::Buy, t.marginCall});
    if (const auto held = static_cast<int>(std::lround(s.desk.account.position(m))))
        in.position = {held, s.desk.account.lots(m).averagePrice(),
                       s.desk.account.lots(m).unrealized(s.prices.current.get(m))};
    for (const NewsHistoryEntry& e : in.mode == DataMode::Tick ? s.news.entries() : QList<NewsHistoryEntry>())
        in.stories.append({e.newsDate, e.newsTime.hour() - 8, e.title});
    return charts::composeCharts(in);
}

constexpr double kFirst = NAN; // no period before: period 1 is shown

struct QuoteCase {
    const char* name;
    Market market;
    double before, now;
    const char* shown;
};

using enum Market;
const double kHuge = std::ldexp(1.0, 70); // a float holds it exactly, so no change

const QuoteCase kQuotes[] = {
    {"first period has no change", Oil, kFirst, 18.25, "$18.25"},
    {"rise", Oil, 18.25, 18.50, "$18.50  +0.25"},
    {"fall has one blank more", Oil, 18.75, 18.50, "$18.50   -0.25"},
    {"unchanged", Oil, 18.50, 18.50, "$18.50   Unch"},
    {"thousands", SP500, 1024.5, 1031.25, "$1,031.25  +6.75"},
    {"gold in cents", Gold, 385.2, 384.9, "$384.90   -0.30"},
    {"bond rise in 32nds", TBond, 118.25, 118.5, "$118 16/32 +8/32"},
    {"bond fall in 32nds", TBond, 118.75, 118.5, "$118 16/32  -8/32"},
    {"bond unchanged", TBond, 118.5, 118.5, "$118 16/32   Unch"},
    {"bond rise past a point", TBond, 117.25, 118.5, "$118 16/32  +1 8/32"},
    {"bond rise of whole points", TBond, 116.5, 118.5, "$118 16/32  +2"},
    {"bond fall past a point", TBond, 119.75, 118.5, "$118 16/32   -1 8/32"},
    {"bond fall of whole points", TBond, 120.5, 118.5, "$118 16/32   -2"},
    {"bond on a whole point", TBond, 100.0, 101.0, "$101  +1"},
    // A price too large for whole points (a damaged file) shows as the dollar markets show theirs.
    {"bond too large for points", TBond, kHuge, kHuge, "$1,180,591,620,717,411,300,000.00   Unch"},
    {"bond change too wide", TBond, 118.5, 1e20, "$100,000,000,000,000,000,000.00"},
    {"soybean quarter cent", Soybean, kFirst, 6.1225, "$6.12  1/4"},
    {"soybean a hair below 612 cents", Soybean, kFirst, 6.12f, "$6.12 "},
    {"soybean rise in cents", Soybean, 6.1250, 6.1275, "$6.12  3/4  +0.25"},
    {"soybean fall in cents", Soybean, 6.1250, 6.0950, "$6.09  1/2   -3"},
};

// One column shown again and again with a memo of its texts, as the game shows it.
struct MemoStep {
    const char* name;
    Market market;
    int period;
    double before, now;
};

const MemoStep kMemoSteps[] = {
    {"a rise", Oil, 2, 18.25, 18.50},
    {"the same figures again", Oil, 2, 18.25, 18.50},
    {"the same price after another one", Oil, 2, 18.75, 18.50},
    {"the same prices in the first period have no change", Oil, 1, 18.75, 18.50},
    {"soybean rise", Soybean, 2, 6.1250, 6.1275},
    {"soybean from another price", Soybean, 2, 6.1225, 6.1275},
    {"soybean in the first period", Soybean, 1, 6.1225, 6.1275},
};

} // namespace

TEST(QuoteColumn, EachMarketShowsItsPriceAndChangeInItsNotation) {
    for (const QuoteCase& c : kQuotes) {
        Column col;
        const bool first = std::isnan(c.before);
        if (!first) col.prices.records[1].set(c.market, c.before);
        col.prices.previous.tbond = first ? 0 : c.before;
        col.prices.records[first ? 1 : 2].set(c.market, c.now);
        EXPECT_EQ(col.show(first ? 1 : 2, c.market), QString::fromLatin1(c.shown)) << c.name;
    }
}

TEST(QuoteColumn, TextsKeptFromEarlierShowingsAreThoseAFreshShowingMakes) {
    PresentationModel withMemo, fresh;
    applyDesignState(withMemo);
    applyDesignState(fresh);
    QuoteTexts memo;
    for (const MemoStep& step : kMemoSteps) {
        PriceHistory h;
        h.records[step.period - 1].set(step.market, step.before);
        h.records[step.period].set(step.market, step.now);
        presentQuotes(h, step.period, Level::Expert, withMemo, {}, &memo);
        presentQuotes(h, step.period, Level::Expert, fresh, {});
        EXPECT_EQ(withMemo.text(quoteKey(step.market)), fresh.text(quoteKey(step.market))) << step.name;
    }
}

TEST(QuoteColumn, FloorsKeepBadPricesOffTheScreenAndOrdersFillAtTheShownPrice) {
    Column col;
    col.prices.records[1].tbond = col.prices.previous.tbond = 101.5;
    col.prices.records[2].oil = 0.0f;
    col.prices.records[2].gold = -1.0f; // a market with no row for the period
    col.prices.records[2].tbond = 0.0;  // keeps the previous period's
    EXPECT_EQ(col.show(2, Gold).left(5), "$0.05");
    EXPECT_EQ(col.prices.records[2].oil, 0.05f);
    EXPECT_DOUBLE_EQ(col.prices.records[2].tbond, 101.5);
    EXPECT_EQ(col.model.at(quoteKey(TBond)).text, "$101 16/32   Unch");
    EXPECT_DOUBLE_EQ(col.prices.buyQuote[index(Oil)], 0.05);
    EXPECT_DOUBLE_EQ(col.prices.sellQuote[index(TBond)], 101.5);
}

TEST(QuoteColumn, PeriodZeroIsClosedANoviceSeesOilAloneAndLastPricesShowAsStored) {
    Column col;
    for (Market m : kTradingOrder) EXPECT_EQ(col.show(0, m), "*** Market Closed ***");
    col.prices.records[1].oil = 20.0f;
    col.prices.records[1].tbond = 99.0;
    col.show(1, Oil, Level::Novice);
    EXPECT_EQ(std::pair(col.model.visible(quoteKey(Oil)), col.model.visible(quoteKey(Gold))), std::pair(true, false));
    // The T-Bond label is left alone below the Expert level.
    EXPECT_EQ(col.model.at(quoteKey(TBond)).text, "*** Market Closed ***");

    col.prices.records[3].oil = 18.5f;
    col.prices.records[3].tbond = 118.15625;
    presentLastPrices(col.prices, 3, Level::Expert, false, col.model);
    EXPECT_EQ(col.model.text(quoteKey(Oil)) + " | " + col.model.text(quoteKey(TBond)), "$18.5 Last | $118.15625 Last");
    Column idle;
    presentLastPrices(idle.prices, 0, Level::Expert, true, idle.model);
    EXPECT_FALSE(idle.model.at(quoteKey(Soybean)).visible);
}

TEST(PriceStore, DailyRoundingAndPeriodOneCopies) {
    FixtureDb db("store_daily");
    db.addDaily(3, QDate(1990, 1, 2), 18, 19, 17, 18.456);
    db.addDaily(5, QDate(1990, 1, 2), 612, 613, 611, 612.25);
    db.addDaily(6, QDate(1990, 1, 2), 98, 99, 97, 98.78125);
    db.addDaily(2, QDate(1990, 1, 2), 400, 401, 399, 400.125);
    for (int id = 1; id <= 6; ++id) db.addDailyClose(id, QDate(1990, 1, 3), 50); // a next day to advance into
    db.addOverview(QDate(1965, 10, 17), 0, "x");
    Harness h(db.path(), {.length = GameLength::Quarter});
    h.forward();
    const PriceHistory& ph = h.state().prices;
    EXPECT_FLOAT_EQ(ph.records[1].oil, 18.46f);
    EXPECT_FLOAT_EQ(ph.previous.oil, 18.456f); // period one keeps the unrounded close
    EXPECT_FLOAT_EQ(ph.records[1].soybean, 6.1225f);
    EXPECT_DOUBLE_EQ(ph.records[1].tbond, 98.78125);
    EXPECT_FLOAT_EQ(ph.records[1].gold, 400.13f);
    EXPECT_FLOAT_EQ(ph.current.oil, 18.46f); // the period's prices become the current ones
    EXPECT_EQ(h.text("lblOilCurrMark"), "$18.46");
}

TEST(DailyGame, ATradeIsChartedOnceConfirmedAndTheNewsShowsTheYearBefore) {
    Harness h(sharedDaily1990(), GameSpec{});
    // Before the first period there is no date to look back from.
    h.game->click("mnuNews", 2);
    EXPECT_TRUE(h.take().isEmpty());
    h.forward();
    h.game->click("btnNewsHist");
    EXPECT_EQ(h.take(), QStringList{"frmNewsDisplay: Oil Futures Market: 1989 News Background  | Oil in 1989."});
    EXPECT_FALSE(h.game->model().visible("newsgrid"));
    h.game->click("mnuNews", 2);
    EXPECT_EQ(h.take().size(), 1);
    h.forward(2);
    h.order(Market::Oil, Side::Buy, 2);
    EXPECT_EQ(h.game->charts().left.markers.size(), 1); // not waiting for the next press
}

TEST(ChartMenus, EveryGameChartsItsOwnPeriodAndMarket) {
    // A new game, another market or a tick period never draws the series kept between presses.
    const auto lastClose = [](const Harness& h) {
        const charts::ChartData& left = h.game->charts().left;
        // The fixture's days hold only their closes: drawn as a settlement line, tagged as the last price.
        return left.lastValue.value_or(-1.0);
    };
    FixtureDb twoYears("charts_two_years"); // Oil rising a quarter a day throughout
    twoYears.addWeekdays(QDate(1990, 1, 1), QDate(1991, 12, 31),
                         [](int id, int d) { return id == 3 ? 20 + 0.25 * d : 75; });
    twoYears.addOverview(QDate(1965, 10, 17), 0, "x");
    Harness h(twoYears.path(), GameSpec{});
    h.forward(5);
    EXPECT_DOUBLE_EQ(lastClose(h), h.state().prices.current.oil);
    h.game->click("cboCommodity", 0); // Cattle
    EXPECT_DOUBLE_EQ(lastClose(h), 75.0);
    h.game->click("cboCommodity", 2); // Oil again
    EXPECT_DOUBLE_EQ(lastClose(h), h.state().prices.current.oil);
    // The next year: Oil has risen a quarter a day since 1990 began.
    h.end("btnRestartGame", "mnuNewGame");
    h.newGame({.year = 1991});
    h.forward(5);
    EXPECT_EQ(h.game->charts().left.points.last().date.year(), 1991);
    EXPECT_GT(lastClose(h), 80.0);
    EXPECT_DOUBLE_EQ(lastClose(h), h.state().prices.current.oil);
    // The window's titles are the drawn charts' own, whichever pane is chosen.
    for (const auto& [menu, item] :
         {std::pair{"mnuGRVolume", -1}, {"mnuGLType", 2}, {"mnuGRVolume", -1}, {"mnuGRType", 1}}) {
        EXPECT_TRUE(h.game->click(menu, item)) << menu;
        EXPECT_EQ(h.game->model().at("GraphLeft").text, h.game->charts().left.title) << menu;
        EXPECT_EQ(h.game->model().at("GraphRight").text, h.game->charts().right.title) << menu;
    }

    Harness tick(sharedTickJanuary1996(), kTickMonth);
    for (int press = 0; press < 14; ++press) {
        tick.forward();
        EXPECT_NEAR(lastClose(tick), tick.state().prices.current.oil, 1e-6) << press;
    }
}

TEST(TickGame, PricesAndStoriesComeAtTheirHourAndTheGridListsTheStories) {
    Harness h(sharedTickJanuary1996(), kTickMonth);
    const PriceHistory& ph = h.state().prices;
    h.forward(1);
    h.take();
    h.game->click("btnNewsHist");
    EXPECT_EQ(h.take(), QStringList{"frmPlayerNotification: News History | * No News Stories *"});
    EXPECT_FALSE(h.game->model().visible("newsgrid"));
    h.forward(5); // Monday Jan 1: no stories
    EXPECT_TRUE(h.take().isEmpty());
    h.forward(); // 9:00 Tuesday, day 1, hour 1: stories before 9:00, the 7th hourly Oil price
    EXPECT_EQ(h.take(), QStringList{"frmNewsDisplay: Early Report | Short story."});
    EXPECT_FLOAT_EQ(ph.records[7].oil, 18.06f);
    EXPECT_DOUBLE_EQ(ph.records[7].tbond, 118.15625); // five decimals kept
    EXPECT_FLOAT_EQ(ph.records[7].soybean, 7.25f);    // no division by 100 for ticks
    // Up to 12:00, which releases the 11:01 story; the grid tells each story's hour.
    h.forward(3);
    h.game->click("btnNewsHist");
    const ControlState& grid = h.game->model().at("newsgrid");
    EXPECT_EQ(h.shownOf({"newsgrid", "GraphLeft"}), "newsgrid");
    EXPECT_FALSE(h.game->model().enabled("btnChangePeriod"));
    QStringList rows;
    for (const ReportRow& r : grid.grid.rows) rows << r.cells.mid(0, 4).join(' ');
    EXPECT_EQ(rows, QStringList({"1 1/2/1996 9:00 Early Report", "2 1/2/1996 10:00 Mid Report",
                                 "3 1/2/1996 12:00 Noon Report"}));
    h.game->click("btnCloseNewsHist");
    EXPECT_EQ(h.shownOf({"newsgrid", "GraphLeft"}), "GraphLeft");
    EXPECT_TRUE(h.game->model().enabled("btnChangePeriod"));
    h.forward(2); // day 1, hour 6
    EXPECT_FLOAT_EQ(ph.records[12].oil, 18.11f);
    EXPECT_EQ(h.texts({"lblOilCurrMark", "lblTBondCurrMark"}), "$18.11  +0.01 | $118 5/32   Unch");
}

// The charts as the game draws them reuse what the last redraw made; at every press they equal the same charts
// composed from nothing, through trades and a position, zooms, another market, other panes and styles, and a tick
// game's period loads and news hours.
TEST(ChartMenus, ChartsReusingTheLastRedrawEqualChartsComposedAfresh) {
    const std::map<int, std::pair<const char*, int>> choices = {
        {30, {"mnuChartView", 0}}, {45, {"mnuChartView", 1}}, {60, {"cboCommodity", 1}}, {75, {"cboCommodity", 2}},
        {90, {"mnuMoving", 2}},    {105, {"mnuGLStyle", 1}},  {120, {"mnuGLType", 2}},   {135, {"mnuGRVolume", -1}},
        {150, {"mnuGLType", 0}},   {165, {"mnuGRType", 1}},
    };
    Harness daily(sharedDaily1990(), GameSpec{});
    Harness tick(sharedTickJanuary1996(), kTickMonth);
    for (int press = 1; press <= 180; ++press) {
        if (press % 10 == 3) daily.order(Market::Oil, press % 20 == 3 ? Side::Buy : Side::Sell, 2);
        if (const auto c = choices.find(press); c != choices.end())
            daily.game->click(c->second.first, c->second.second);
        for (Harness* h : {&daily, &tick}) {
            if (h == &tick && press > 100) break; // the month's last days are left unplayed
            h->forward();
            EXPECT_TRUE(h->game->charts() == afresh(h->state())) << press;
        }
    }
}

// A resumed game is drawn from its own record and period, not from what the last game's redraws kept: its trade
// marks are its own, though the game on the desk before it had traded the same market on other days.
TEST(ChartMenus, AResumedGameIsChartedAfresh) {
    QTemporaryDir saves;
    SaveHarness h(sharedDaily1990(), saves.path());
    h.newGame({});
    h.order(Market::Oil, Side::Buy, 2);
    h.forward(5);
    h.order(Market::Oil, Side::Sell, 1);
    h.forward(1);
    h.save();
    h.end("btnRestartGame", "mnuNewGame");
    h.newGame({.length = GameLength::Month});
    h.forward(3);
    h.order(Market::Oil, Side::Sell, 1);
    h.forward(1);
    h.resume();
    ASSERT_EQ(h.state().clock.periodIndex(), 6);
    EXPECT_TRUE(h.game->charts() == afresh(h.state()));
}
