// Chart options, the news history and the background story as the player
// reaches them through the menus and buttons of the game.
#include "support/game_harness.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

FixtureDb& daily1990() {
    static FixtureDb db("charts_news_daily");
    static const bool built = (buildDaily1990(db), true);
    (void)built;
    return db;
}

FixtureDb& tick1996() {
    static FixtureDb db("charts_news_tick");
    static const bool built = (buildTickJanuary1996(db), true);
    (void)built;
    return db;
}

struct Daily : Harness {
    Daily() : Harness(daily1990().path()) {
        start();
        setup({{"level", "Expert"}, {"length", "Year"}, {"data", "Daily"}, {"period", "select"}, {"year", "1990"}});
        take();
    }
};

} // namespace

TEST(ChartMenus, MovingAverageCycleAndGraphTypesRetitleTheCharts) {
    Daily h;
    h.forward(20);
    EXPECT_EQ(h.text("GraphRight"), "Moving Average");
    const QStringList periods{"15", "20", "5"};
    for (const QString& n : periods) {
        h.game->click("mnuMoving", 2);
        EXPECT_EQ(h.text("mnuGRType_0"), "Moving Average - " + n);
        EXPECT_EQ(h.text("mnuMoving_2"), n + " periods");
    }
    h.game->click("mnuGRType", 1);
    EXPECT_EQ(h.text("GraphRight"), "Relative Strength Index");
    EXPECT_TRUE(h.game->model().checked("mnuGRType_1"));
    // A moving-average line brings the moving average back.
    h.game->click("mnuMoving", 1);
    EXPECT_EQ(h.text("GraphRight"), "Moving Average");
    h.game->click("mnuStoch", 1);
    EXPECT_EQ(h.text("GraphRight"), "Stochastic Indicator");
    EXPECT_TRUE(h.game->model().checked("mnuStoch_1"));
    EXPECT_FALSE(h.game->model().checked("mnuStoch_0"));

    h.game->click("mnuGLType", 2);
    EXPECT_EQ(h.text("GraphLeft"), "Year-to-Date");
    h.game->click("mnuGLPrice", 0);
    EXPECT_EQ(h.text("GraphLeft"), "Price");
    EXPECT_FALSE(h.game->model().checked("mnuGLType_2"));
    h.game->click("mnuGLType", 0);
    EXPECT_EQ(h.text("GraphLeft"), "Open-High-Low-Close");
    // The composed charts carry the same titles the model shows.
    EXPECT_EQ(h.game->charts().left.title, h.text("GraphLeft"));
    EXPECT_EQ(h.game->charts().right.title, h.text("GraphRight"));
}

TEST(ChartMenus, ChartsFollowThePeriodsAndMarkTheTrades) {
    Daily h;
    h.forward(3);
    const int pointsBefore = static_cast<int>(h.game->charts().left.points.size());
    h.game->click("btnTrade");
    h.game->click("btnOil");
    h.game->click("btnBuy");
    h.game->setText("inputUnits", "2");
    h.game->keyPress("inputUnits", Key::Enter);
    h.game->click("btnYes");
    h.forward(2);
    const charts::ChartData& left = h.game->charts().left;
    EXPECT_GE(left.points.size(), pointsBefore);
    ASSERT_EQ(left.markers.size(), 1);
    EXPECT_TRUE(left.markers[0].buy);
    EXPECT_FALSE(left.markers[0].marginCall);
    EXPECT_DOUBLE_EQ(left.markers[0].price, 20.5); // Oil on the third day
    // A market without trades shows none.
    h.game->click("cboCommodity", 1); // Gold
    EXPECT_TRUE(h.game->charts().left.markers.isEmpty());
    EXPECT_EQ(h.state().chart.chartMarket(), 2);
}

TEST(NewsHistory, TickGameListsTheStoriesAndTheGridGivesWayToTheCharts) {
    Harness h(tick1996().path());
    h.start();
    h.setup({{"length", "Month"}, {"data", "Tick"}, {"month", "1"}, {"year", "1996"}});
    h.forward(1);
    h.take();
    h.game->click("btnNewsHist");
    EXPECT_EQ(h.take(), QStringList{"frmPlayerNotification: News History | * No News Stories *"});
    EXPECT_FALSE(h.game->model().visible("newsgrid"));
    h.forward(9); // through the first three checkpoints of Tuesday
    h.take();
    h.game->click("btnNewsHist");
    const ControlState& grid = h.game->model().at("newsgrid");
    EXPECT_TRUE(grid.visible);
    EXPECT_FALSE(h.game->model().visible("GraphLeft"));
    EXPECT_FALSE(h.game->model().enabled("btnChangePeriod"));
    ASSERT_EQ(grid.rows.size(), 4);
    EXPECT_EQ(grid.rows[1].value(0), "1");
    EXPECT_EQ(grid.rows[1].value(2), "9:00");
    EXPECT_EQ(grid.rows[1].value(3), "Early Report");
    EXPECT_EQ(grid.rows[3].value(2), "12:00");
    h.game->click("btnCloseNewsHist");
    EXPECT_FALSE(h.game->model().visible("newsgrid"));
    EXPECT_TRUE(h.game->model().visible("GraphLeft"));
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
