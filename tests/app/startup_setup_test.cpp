// Start-up, the database failure paths, the new-game setup and the menus that reach options and help.
#include "support/game_harness.h"

#include <QFile>
#include <gtest/gtest.h>

#include <tuple>

using namespace pellucar;
using namespace pellucar::test;

// The windows of the start, in order, are the headless driver's first lines (tests/play).
TEST(StartUp, DefaultStateAndTheMenusThatReachOptions) {
    Harness h(sharedDaily1990());
    h.start();
    h.take();
    EXPECT_EQ(h.state().settings.level, Level::Expert);
    EXPECT_EQ(h.text("lblEq"), "100,000.00");
    const ControlState& markets = h.game->model().at("cboCommodity");
    EXPECT_EQ(std::pair(markets.items.join(','), markets.currentIndex),
              std::pair(QStringLiteral("Cattle,Gold,Oil,SP500,Soybean,TBond"), 2)); // Oil charted first
    // Nothing to trade or advance before a game.
    EXPECT_FALSE(h.game->model().enabled("btnChangePeriod") || h.game->model().enabled("btnTrade"));
    h.forward();
    EXPECT_EQ(h.state().clock.periodIndex(), 0);

    // The menus reach their options; a year is 365 periods from the menu, 360 from the setup window (at the end).
    h.game->click("mnuGameLength", 4);
    EXPECT_EQ(h.state().clock.lengthPeriods(), 365);
    EXPECT_EQ(h.take(), QStringList{"frmLevelSelected: Level Detail | Level: Expert\\nGame Length: One Year\\n"
                                    "News Reports: Annual Summary\\nData: Daily"});
    h.game->click("mnuLevel", 2); // Expert: both news items on
    h.game->click("mnuNews", 1);
    EXPECT_FALSE(h.game->model().checked("mnuNews_1"));
    h.game->click("cboCommodity", 4); // Soybean
    EXPECT_TRUE(h.game->model().checked("mnuGraph_5"));
    h.game->click("mnuGraph", 2); // T-Bond
    EXPECT_EQ(h.state().chart.chartMarket(), 6);
    EXPECT_EQ(h.game->model().at("cboCommodity").text, "T-Bond");
    h.take();
    h.game->click("mnuEconomicCalendar");
    h.game->click("mnuDefinitions", 1);
    h.game->click("mnuInstructions");
    h.dialogs.setPrintSucceeds(false);
    h.game->click("mnuPrint");
    EXPECT_EQ(h.take(), QStringList({"Help: dunmere.hlp | topic 1007", "Help: dunmere.hlp | topic 1004",
                                     "Help: dunmere.hlp | contents", "Print: Dunmere | failed",
                                     "MsgBox: Pellucar | The form could not be printed."}));
    // Unknown names are refused; known ones in a locked menu are ignored.
    EXPECT_FALSE(h.game->click("btnNoSuchThing"));
    EXPECT_FALSE(h.game->click("mnuLevel", 1));
    // Cancel in the setup window keeps what was there before it opened: no game, then a daily game that plays on.
    h.dialogs.queueAnswer("cmdReset");
    h.setup({{"data", "Tick"}});
    EXPECT_TRUE(h.state().clock.dataMode() == DataMode::None && h.state().clock.tradingDayCount() == 0);
    EXPECT_TRUE(h.game->model().checked("mnuDat_0") && !h.game->model().enabled("btnChangePeriod"));
    h.newGame({});
    EXPECT_EQ(h.state().clock.lengthPeriods(), 360);
    h.dialogs.queueAnswer("cmdReset");
    h.setup({{"data", "Tick"}});
    EXPECT_EQ(h.state().clock.dataMode(), DataMode::Daily);
    h.forward(2);
    EXPECT_EQ(h.texts({"lblOilCurrMark", "lblTradeTime"}), "$20.25  +0.25 | 4:00 pm");
}

TEST(StartUp, UnusableDatabaseIsReportedAndEndsTheProgram) {
    FixtureDb foreign("foreign");
    foreign.exec("DROP TABLE OverviewNews");
    for (const QString& path : {QStringLiteral(PELLUCAR_TEST_TMP) + "/no_such_dir/futures.mdb", foreign.path()}) {
        Harness h(path);
        h.start();
        const QStringList t = h.take();
        ASSERT_EQ(t.size(), 2) << path.toStdString();
        EXPECT_TRUE(t[1].startsWith("frmPlayerNotification: Pellucar | ")) << t[1].toStdString();
        EXPECT_EQ(h.game->exitCode(), 1);
        // An ended game ignores further presses.
        EXPECT_TRUE(h.game->click("mnuNewGame"));
        EXPECT_TRUE(h.take().isEmpty());
    }
    // Disagreeing ends it too, cleanly; a file without a disclaimer shows an empty one.
    FixtureDb db("startup_disagree");
    Harness h(db.path());
    h.dialogs.queueAnswer("btnExit");
    h.start();
    EXPECT_EQ(h.take().last(), "frmDisclaimer: Disclaimer Statement | ");
    EXPECT_TRUE(h.game->ended());
    EXPECT_EQ(h.game->exitCode(), 0);
}

TEST(StartUp, GamesOnALentDatabaseShowWhatGamesOnTheirOwnShowAndLeaveItOpen) {
    const auto play = [](Harness& h) {
        h.startGame(GameSpec{.length = GameLength::Month});
        h.forward(3);
        h.end("btnExit");
        EXPECT_TRUE(h.game->ended());
        return h.take();
    };
    Harness own(sharedDaily1990());
    const QStringList expected = play(own);
    MarketDatabase lent;
    ASSERT_TRUE(lent.open(sharedDaily1990()));
    for (int game = 1; game <= 2; ++game) {
        Harness h(lent);
        EXPECT_EQ(play(h), expected) << "game " << game;
        EXPECT_TRUE(lent.isOpen()) << "game " << game;
    }
}

TEST(Setup, SelectedPeriodFixesSettingsAndLoads) {
    Harness h(sharedDaily1990(), {Level::Novice, GameLength::Month});
    const GameClock& c = h.state().clock;
    EXPECT_TRUE(std::tuple(c.startDate(), c.endDate(), c.lengthPeriods(), c.tradingDayCount()) ==
                std::tuple(QDate(1990, 1, 1), QDate(1990, 2, 1), 30, 261));
    EXPECT_FLOAT_EQ(h.state().desk.account.startingCapital(), 10000.0f);
    const PresentationModel& m = h.game->model();
    EXPECT_TRUE(m.checked("mnuLevel_0") && m.checked("mnuGameLength_2"));
    EXPECT_EQ(m.text("mnuNewGame"), "&Restart");
    // The options that fix a game are locked while it runs.
    for (const char* k : {"mnuLevel_0", "mnuLevel_2", "mnuNews_0", "mnuNews_1", "mnuGameLength_2", "mnuGameLength_3",
                          "mnuGameLength_4", "mnuDat_0", "mnuDat_1"})
        EXPECT_FALSE(m.enabled(k)) << k;
    EXPECT_EQ(m.text("LabelPosition"), "Current Position:");
    EXPECT_FALSE(m.visible("lblGoldPos")); // a Novice trades Oil alone
}

// A random period: the year drawn from 1984 up, a tick period's month and year from the tick months.
TEST(Setup, RandomPeriodsDrawFromTheRandomSource) {
    const struct {
        const char *data, *length;
        QList<double> draws;
        QDate start;
    } cases[] = {
        {"Daily", "Year", {0.4286}, QDate(1990, 1, 1)}, // 1984 + int(6.0)
        {"Daily", "Year", {0.0}, QDate(1984, 1, 1)},        {"Daily", "Year", {0.9999}, QDate(1997, 1, 1)},
        {"Tick", "Month", {0.99, 0.2}, QDate(1996, 12, 1)}, {"Tick", "Month", {0.0, 0.5}, QDate(1997, 1, 1)},
        {"Tick", "Quarter", {0.5, 0.0}, QDate(1996, 7, 1)}, {"Tick", "Quarter", {0.76, 0.99}, QDate(1997, 10, 1)},
    };
    for (const auto& c : cases) {
        Harness h(sharedDaily1990());
        h.start();
        for (double d : c.draws) h.random.push(d);
        h.setup({{"data", c.data}, {"length", c.length}, {"period", "random"}});
        EXPECT_EQ(h.state().clock.startDate(), c.start) << c.draws.first();
        EXPECT_EQ(h.random.remaining(), 0);
    }
}

TEST(Setup, TimePeriodFormListsFollowTheDataMode) {
    TimePeriodForm f;
    f.reset(Level::Expert, DataMode::Daily, GameLength::Year, NewsOption::Annual);
    EXPECT_EQ(f.timeLabel(), "Select a Year:");
    EXPECT_EQ(f.yearItems().size(), 14);
    EXPECT_FALSE(f.monthsVisible());
    f.setData(DataMode::Tick);
    EXPECT_EQ(f.timeLabel(), "Select a Month and a Year:");
    EXPECT_EQ(f.yearItems(), QStringList({"1996", "1997"}));
    EXPECT_EQ(f.year, 1996); // 1984 is not a tick year
    EXPECT_FALSE(f.yearLengthEnabled());
    EXPECT_EQ(f.length, GameLength::Quarter);
    f.random = true;
    EXPECT_FALSE(f.monthsVisible() || f.yearsVisible());
}

TEST(Setup, APeriodTheDatabaseCannotReadIsReportedAndNothingIsPlayed) {
    FixtureDb db("setup_damaged");
    db.addWeekdays(QDate(1990, 1, 1), QDate(1991, 12, 31), [](int id, int day) { return id * 10.0 + day * 0.01; });
    db.addOverview(QDate(1965, 10, 17), 0, QStringLiteral("A game, not advice."));
    const QString damaged = db.path() + QStringLiteral(".damaged");
    QFile::remove(damaged);
    ASSERT_TRUE(QFile::copy(db.path(), damaged));
    // The pages that hold only 1991's rows go bad; the file still opens.
    ASSERT_GT(damageTablePages(damaged, {"1991-"}, {"1990-"}), 0);
    Harness h(damaged);
    const QStringList t = h.startGame({.year = 1991});
    ASSERT_FALSE(t.isEmpty());
    EXPECT_TRUE(t.last().startsWith("frmPlayerNotification: Pellucar | The market database could not be read: "));
    EXPECT_TRUE(h.state().clock.tradingDayCount() == 0 && !h.game->model().enabled("btnChangePeriod"));
    EXPECT_EQ(h.text("mnuNewGame"), "&Start");
    // A year the file can still read plays as usual.
    h.newGame({});
    h.forward();
    EXPECT_EQ(h.text("lblOilCurrMark"), "$30.00");
    QFile::remove(damaged);
}
