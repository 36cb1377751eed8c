// Chart options, the news history and the background story as the player
// reaches them through the menus and buttons of the game.
#include "support/game_harness.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

// Two years of weekdays, Oil rising a quarter a day throughout.
FixtureDb& twoYears() {
    static FixtureDb db("charts_two_years");
    static const bool built = (db.addWeekdays(QDate(1990, 1, 1), QDate(1991, 12, 31),
                                              [](int id, int day) { return id == 3 ? 20.0 + 0.25 * day : 75.0; }),
                               db.addOverview(QDate(1965, 10, 17), 0, QStringLiteral("A game, not advice.")), true);
    (void)built;
    return db;
}

struct Daily : Harness {
    Daily() : Harness(sharedDaily1990()) { startGame({}); }
};
const GameSpec kTickMonth{.length = GameLength::Month, .data = DataMode::Tick, .year = 1996};

} // namespace

TEST(ChartMenus, MenuChoicesRetitleTheChartsAndTheirItems) {
    // What each choice means is the chart options' own test; here the
    // clicks reach them and the window shows the result.
    Daily h;
    h.forward(20);
    EXPECT_EQ(h.text("GraphRight"), "Moving Average");
    QStringList shown;
    for (const auto& [menu, item, key] : {std::tuple{"mnuMoving", 2, "mnuGRType_0"},
                                          {"mnuGRType", 1, "GraphRight"},
                                          {"mnuStoch", 1, "GraphRight"},
                                          {"mnuGLType", 2, "GraphLeft"}}) {
        h.game->click(menu, item);
        shown << h.text(key);
    }
    EXPECT_EQ(shown,
              QStringList({"Moving Average - 15", "Relative Strength Index", "Stochastic Indicator", "Year-to-Date"}));
    // The composed charts carry the same titles the model shows.
    EXPECT_EQ(h.game->charts().left.title, h.text("GraphLeft"));
    EXPECT_EQ(h.game->charts().right.title, h.text("GraphRight"));
}

TEST(ChartMenus, ChartsFollowThePeriodsAndMarkTheTrades) {
    Daily h;
    h.forward(3);
    h.order(Market::Oil, Side::Buy, 2);
    EXPECT_EQ(h.game->charts().left.markers.size(), 1); // charted once confirmed
    h.forward(2);
    const charts::ChartData& left = h.game->charts().left;
    EXPECT_EQ(left.points.size(), 5);
    ASSERT_EQ(left.markers.size(), 1);
    EXPECT_TRUE(left.markers[0].buy);
    EXPECT_DOUBLE_EQ(left.markers[0].price, 20.5); // Oil on the third day
    // A market without trades shows none.
    h.game->click("cboCommodity", 1); // Gold
    EXPECT_TRUE(h.game->charts().left.markers.isEmpty());
    EXPECT_EQ(h.state().chart.chartMarket(), 2);
}

TEST(ChartMenus, EveryGameChartsItsOwnPeriodAndMarket) {
    // The game keeps each market's chart series between presses; a new
    // game, another market or a tick period must never draw the old rows.
    const auto lastClose = [](const Harness& h) {
        const charts::ChartData& left = h.game->charts().left;
        return left.points.isEmpty() ? -1.0 : left.points.last().price.value_or(charts::Ohlc{}).close;
    };
    Harness h(twoYears().path());
    h.startGame({});
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

    Harness tick(sharedTickJanuary1996());
    tick.startGame(kTickMonth);
    for (int press = 0; press < 14; ++press) {
        tick.forward();
        EXPECT_NEAR(lastClose(tick), tick.state().prices.current.oil, 1e-6) << press;
    }
}

TEST(NewsHistory, TickStoriesComeOutAtTheirHourAndTheGridListsThem) {
    Harness h(sharedTickJanuary1996());
    h.startGame(kTickMonth);
    h.forward(1);
    h.take();
    h.game->click("btnNewsHist");
    EXPECT_EQ(h.take(), QStringList{"frmPlayerNotification: News History | * No News Stories *"});
    EXPECT_FALSE(h.game->model().visible("newsgrid"));
    h.forward(5); // Monday Jan 1: no stories
    EXPECT_TRUE(h.take().isEmpty());
    h.forward(); // 9:00 Tuesday: stories before 9:00
    EXPECT_EQ(h.take(), QStringList{"frmNewsDisplay: Early Report | Short story."});
    // 10:00: 9:00 up to 11:01, 11:01 itself excluded; 11:00 releases
    // nothing; 12:00 the 11:01 story.
    QStringList heads;
    for (int press = 0; press < 3; ++press) {
        h.forward();
        const QStringList t = h.take();
        heads << QString::number(t.size()) + " " + t.value(0).left(33);
    }
    EXPECT_EQ(heads, QStringList({"1 frmNewsDisplay: Mid Report | yyyy", "0 ", "1 frmNewsDisplay: Noon Report | xxx"}));

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
}

TEST(NewsHistory, DailyGameShowsTheYearBefore) {
    Daily h;
    // Before the first period there is no date to look back from.
    h.game->click("mnuNews", 2);
    EXPECT_TRUE(h.take().isEmpty());
    h.forward();
    h.game->click("btnNewsHist");
    EXPECT_EQ(h.take(), QStringList{"frmNewsDisplay: Oil Futures Market: 1989 News Background  | Oil in 1989."});
    EXPECT_FALSE(h.game->model().visible("newsgrid"));
    h.game->click("mnuNews", 2);
    EXPECT_EQ(h.take().size(), 1);
}
