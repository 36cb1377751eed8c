// The game clock: one period per Forward press, the labels it writes, the
// final-day notice and the end of a game, in daily and tick games.
#include "charts/chart_options.h"
#include "common/dates.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace pellucar;
using namespace pellucar::test;

TEST(DailyClock, QuarterGameShowsEveryTradingDayThenEnds) {
    Harness h(sharedDaily1990());
    h.startDaily1990("Expert", "Quarter");
    ASSERT_EQ(h.state().clock.lengthPeriods(), 90);
    EXPECT_EQ(h.text("lblTradeTime"), "4:00 pm");
    EXPECT_EQ(h.text("LabelDay"), "Day 0:");

    const QList<QDate> days = weekdays(QDate(1990, 1, 1), QDate(1990, 3, 31)); // 65 days before April
    ASSERT_EQ(days.size(), 65);
    int noticePress = -1;
    for (int press = 1; press <= days.size(); ++press) {
        h.forward();
        const QStringList shown = h.take();
        if (countLines(shown, "   * Begin Final Day of Trading *")) noticePress = press;
        ASSERT_EQ(countLines(shown, "frmGameOver"), 0) << "game ended early at press " << press;
        // Period p shows the p-th trading day, its weekday and 4:00 pm.
        const QDate d = days[press - 1];
        EXPECT_EQ(h.text("lblDate"), "Date: " + shortDate(d)) << press;
        EXPECT_EQ(h.text("lblDay"), weekdayName(d)) << press;
        EXPECT_EQ(h.text("lblTradeTime"), "4:00 pm");
        EXPECT_EQ(h.text("LabelDay"), QStringLiteral("Day %1:").arg(press));
        EXPECT_EQ(h.state().clock.periodIndex(), press);
    }
    // The notice comes with the press that opens the last day.
    EXPECT_EQ(noticePress, 65);
    h.forward();
    const QStringList last = h.take();
    EXPECT_EQ(countLines(last, "frmGameOver: Game Over"), 1);
    // Play Again: back to period 0 with Forward locked until Game > Start.
    EXPECT_EQ(h.state().clock.periodIndex(), 0);
    EXPECT_FALSE(h.game->model().enabled("btnChangePeriod"));
    EXPECT_EQ(h.text("mnuNewGame"), "Start");
}

// A game at its length in periods: the final-day notice comes with the press
// before the last (games longer than 15 periods only), and the last press
// ends the game; a tick game counts six hours a day and stays on the last.
TEST(GameClockLength, NoticeAndLastPeriodFollowTheLength) {
    struct Case {
        const char* name;
        DataMode mode;
        int length, tickDays;
        int noticePress, lastPress, periodAtEnd;
    } cases[] = {
        {"daily 15: no notice", DataMode::Daily, 15, 0, -1, 15, 15},
        {"daily 16", DataMode::Daily, 16, 0, 15, 16, 16},
        {"daily 17", DataMode::Daily, 17, 0, 16, 17, 17},
        {"daily 30", DataMode::Daily, 30, 0, 29, 30, 30},
        {"tick 3 days", DataMode::Tick, 90, 3, 13, 19, 18},
    };
    // Weekdays from New Year's Day 1990, none of them past the game's end.
    TradingDays days;
    days.days = weekdays(QDate(1990, 1, 1), QDate(1990, 6, 29));
    for (const Case& c : cases) {
        GameClock clock;
        clock.begin(QDate(1990, 1, 1), GameLength::Year, c.mode);
        clock.setLength(c.length);
        clock.periodLoaded(c.mode == DataMode::Tick ? c.tickDays : days.count());
        int notice = -1, last = -1;
        for (int press = 1; press <= 100 && last < 0; ++press) {
            if (clock.finalDayNotice(days)) notice = press;
            if (clock.advance() == GameClock::Step::LastPeriod) last = press;
        }
        EXPECT_EQ(notice, c.noticePress) << c.name;
        EXPECT_EQ(last, c.lastPress) << c.name;
        EXPECT_EQ(clock.periodIndex(), c.periodAtEnd) << c.name;
    }
}

// Continue at the game's last period: a month more for a Novice, a quarter
// for an Expert, as long as the game stays within a year of periods and the
// loaded data.
TEST(GameClockContinuation, ExtendsAtTheLastPeriodWithinAYear) {
    struct Case {
        const char* name;
        Level level;
        int length, tradingDays, presses;
        bool extended;
        int lengthAfter;
    } cases[] = {
        {"expert quarter", Level::Expert, 90, 250, 90, true, 180},
        {"novice quarter", Level::Novice, 90, 250, 90, true, 120},
        {"expert up to a year exactly", Level::Expert, 276, 300, 276, true, 366},
        {"expert past a year", Level::Expert, 277, 300, 277, false, 277},
        {"novice past a year", Level::Novice, 340, 400, 340, false, 340},
        {"before the last period", Level::Expert, 90, 250, 89, false, 90},
        {"longer than the data", Level::Expert, 90, 80, 90, false, 90},
    };
    for (const Case& c : cases) {
        GameClock clock;
        clock.begin(QDate(1990, 1, 1), GameLength::Year, DataMode::Daily);
        clock.setLength(c.length);
        clock.periodLoaded(c.tradingDays);
        for (int i = 0; i < c.presses; ++i) clock.advance();
        EXPECT_EQ(clock.extend(c.level), c.extended) << c.name;
        EXPECT_EQ(clock.lengthPeriods(), c.lengthAfter) << c.name;
    }
    EXPECT_FALSE(GameClock().extend(Level::Expert)) << "a game not started";
}

namespace {

// A market database of the weekdays of 1990 from New Year's Day, `days` of
// them: a daily game on it is as long as its calendar.
struct ShortCalendar {
    FixtureDb db;
    explicit ShortCalendar(int days) : db(QStringLiteral("clock_%1_days").arg(days)) {
        QDate last(1990, 1, 1);
        for (int n = 1; n < days; last = last.addDays(1))
            if (last.addDays(1).dayOfWeek() <= 5) ++n;
        db.addWeekdays(QDate(1990, 1, 1), last, [](int, int d) { return 50.0 + d; });
        db.addOverview(QDate(1965, 10, 17), 0, "x");
    }
};

} // namespace

TEST(DailyClock, ShortGamesGetNoNoticeAndHintComesBeforeNotice) {
    {
        ShortCalendar fifteen(15);
        Harness h(fifteen.db.path());
        h.startDaily1990("Expert", "Quarter");
        h.forward(15);
        const QStringList t = h.take();
        EXPECT_EQ(countLines(t, "Begin Final Day"), 0);
        EXPECT_EQ(countLines(t, "frmGameOver"), 1);
    }
    {
        // With 17 periods the hint of period 15 and the notice share a press:
        // the hint check runs before the period advances, over the day of
        // period 15 (1/19/1990).
        ShortCalendar seventeen(17);
        Harness h(seventeen.db.path());
        h.startDaily1990("Expert", "Quarter");
        h.forward(15);
        h.take();
        QStringList behind;
        h.dialogs.setOutput([&](const QString&) { behind << h.text("lblDate") + " " + h.text("lblDay"); });
        h.forward();
        EXPECT_EQ(behind, QStringList(2, "Date: 1/19/1990 Friday"));
        const QStringList t = h.take();
        ASSERT_EQ(t.size(), 2);
        EXPECT_EQ(t[0], "frmPlayerNotification: * Helpful Hint * | Don't be Scared to Execute A Trade ");
        EXPECT_EQ(t[1], "frmPlayerNotification: Trader Notification |    * Begin Final Day of Trading *");
    }
}

TEST(DailyClock, CalendarRunningOutEndsTheGame) {
    FixtureDb db("clock_daily_eod");
    db.addWeekdays(QDate(1990, 1, 1), QDate(1990, 1, 12), [](int, int d) { return 50.0 + d; });
    db.addOverview(QDate(1965, 10, 17), 0, "x");
    Harness h(db.path());
    h.startDaily1990();
    // Ten trading days: the calendar gives out on the tenth press.
    h.forward(9);
    EXPECT_EQ(countLines(h.take(), "frmGameOver"), 0);
    EXPECT_EQ(h.text("lblDate"), "Date: 1/11/1990");
    h.forward();
    EXPECT_EQ(countLines(h.take(), "frmGameOver"), 1);
}

TEST(DailyClock, EndWindowContinueKeepsTheGameGoing) {
    Harness h(sharedDaily1990());
    h.startDaily1990("Expert", "Quarter");
    h.forward(2);
    h.take();
    h.game->click("mnuEnd"); // the first button of the end window is Continue
    const QStringList t = h.take();
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0], "frmEndofGame: Game Over  | Commissions: $0.00\\nUnrealized P(L): $0.00\\nRealized P(L): "
                    "$0.00\\nFinal Score: $0.00\\n");
    // The quotes are redrawn after the window closes, not left as " Last".
    EXPECT_EQ(h.text("lblOilCurrMark"), "$20.25  +0.25");
    EXPECT_EQ(h.text("CurrMarkBanner"), "  Current Market:    (Last Trade  *  Change)");
    h.forward();
    EXPECT_EQ(h.state().clock.periodIndex(), 3);
    EXPECT_EQ(h.text("lblOilCurrMark"), "$20.50  +0.25");
}

TEST(TickClock, MonthGamePlaysSixHoursADayAndEndsOnTheLastHour) {
    Harness h(sharedTickJanuary1996());
    h.start();
    h.setup({{"level", "Expert"},
             {"length", "Month"},
             {"data", "Tick"},
             {"period", "select"},
             {"month", "1"},
             {"year", "1996"}});
    const QStringList loadLines = h.take();
    EXPECT_EQ(countLines(loadLines, "frminitialize: Pellucar | Initializing Data:  please wait"), 1);
    EXPECT_EQ(h.text("lblTradeTime"), "8:00 am");
    const QList<QDate> days = weekdays(QDate(1996, 1, 1), QDate(1996, 1, 31));
    const int n = static_cast<int>(days.size()); // 23 trading days
    const QStringList hours{"9:00 am", "10:00 am", "11:00 am", "12:00 pm", "1:00 pm", "2:00 pm"};
    int noticePress = -1;
    for (int press = 1; press <= n * 6; ++press) {
        h.forward();
        if (countLines(h.take(), "Begin Final Day")) noticePress = press;
        ASSERT_EQ(h.state().clock.lengthPeriods(), n * 6 + 1);
        const QDate d = days[(press - 1) / 6];
        EXPECT_EQ(h.text("lblTradeTime"), hours[(press - 1) % 6]) << press;
        EXPECT_EQ(h.text("lblDate"), "Date: " + shortDate(d)) << press;
        EXPECT_EQ(h.text("lblDay"), weekdayName(d)) << press;
    }
    // The notice comes when advancing from the last hour of the day before.
    EXPECT_EQ(noticePress, n * 6 - 6 + 1);
    h.forward();
    const QStringList end = h.take();
    EXPECT_EQ(countLines(end, "frmGameOver"), 1);
}

TEST(TickClock, EndStaysOnTheLastHourWhenPlayerEnds) {
    // A story of the last afternoon comes out once, not again at the end.
    FixtureDb db("clock_tick_last_story");
    buildTickJanuary1996(db);
    db.addNews(QDate(1996, 1, 31), QStringLiteral("15:00:00"), QStringLiteral("Late Report"),
               QStringLiteral("Closing."));
    Harness h(db.path());
    h.start();
    h.setup({{"length", "Month"}, {"data", "Tick"}, {"month", "1"}, {"year", "1996"}});
    const int n = h.state().clock.tradingDayCount();
    h.forward(n * 6);
    h.dialogs.queueAnswer("btnEnd");
    h.forward();
    EXPECT_TRUE(h.game->ended());
    EXPECT_EQ(h.game->exitCode(), 0);
    EXPECT_EQ(h.state().clock.periodIndex(), n * 6);
    EXPECT_EQ(h.text("lblTradeTime"), "2:00 pm");
    EXPECT_EQ(countLines(h.take(), "Late Report"), 1);
    EXPECT_EQ(h.state().news.newsCount(), 4);
}

TEST(TickClock, PeriodsMapOntoDaysAndHoursForTheClockAndTheCharts) {
    // Period 6 is the last hour of day 0; 7 and 12 the first and last of day 1.
    for (const auto& [n, day, hour] : {std::tuple{1, 0, 1}, {6, 0, 6}, {7, 1, 1}, {12, 1, 6}}) {
        EXPECT_EQ(std::pair(charts::tickDayOf(n), charts::tickOfDay(n)), std::pair(day, hour)) << n;
    }
}

TEST(TickClock, SamePeriodKeepsItsTicksAnotherLengthReadsThemAgain) {
    Harness h(sharedTickJanuary1996());
    h.start();
    const QHash<QString, QString> month{{"length", "Month"}, {"data", "Tick"}, {"month", "1"}, {"year", "1996"}};
    h.setup(month);
    EXPECT_EQ(countLines(h.take(), "frminitialize"), 1);
    h.forward();
    h.dialogs.queueAnswer("btnRestartGame");
    h.game->click("mnuEnd"); // Play Again reloads the same period: no new read
    EXPECT_EQ(countLines(h.take(), "frminitialize"), 0);
    h.setup(month);
    EXPECT_EQ(countLines(h.take(), "frminitialize"), 0);
    h.forward();
    EXPECT_FLOAT_EQ(h.state().prices.records[1].oil, 18.0f);
    h.dialogs.queueAnswer("btnRestartGame");
    h.game->click("mnuEnd");
    // A quarter from the same first day is a different period: read anew.
    auto quarter = month;
    quarter["length"] = "Quarter";
    h.take();
    h.setup(quarter);
    EXPECT_EQ(countLines(h.take(), "frminitialize"), 1);
    EXPECT_EQ(h.state().clock.endDate(), QDate(1996, 4, 1));
}

TEST(AutoPlay, StopsWhereThePlayerIsWantedAndSaysWhy) {
    using Act = std::function<void(Harness&)>;
    const auto click = [](const char* key) { return [key](Harness& h) { h.game->click(QLatin1String(key)); }; };
    const Act none = [](Harness&) {};
    struct Row {
        const char* name;
        Act before; // before Play
        Act during; // after two presses
        int plays;  // Play pressed again after each stop, this many times in all
        const char* reason;
    };
    const Row rows[] = {
        {"Pause", none, click("btnAutoPlay"), 1, "Pause"},
        {"Trade", none, click("btnTrade"), 1, "Trade"},
        {"a report", none, click("btnTradeHist"), 1, "a report"},
        {"a menu opened", none, click("mnuSettings"), 1, "a menu"},
        {"a pace chosen plays on to the hint", none, [](Harness& h) { h.game->click("mnuSpeed", 4); }, 1,
         "window * Helpful Hint *"},
        {"a trader gets no hint, so the final day", [](Harness& h) { h.order(Market::Oil, Side::Buy, 1); }, none, 1,
         "window Trader Notification"},
        {"then the game's end", [](Harness& h) { h.order(Market::Oil, Side::Buy, 1); }, none, 2, "window Game Over"},
        {"a margin call", [](Harness& h) { h.order(Market::Oil, Side::Sell, 49); }, none, 1,
         "window *** Immediately Liquidate Positions ***"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Harness h(sharedDaily1990());
        h.startGame({Level::Expert, GameLength::Month});
        h.forward();
        r.before(h);
        for (int play = 0; play < r.plays; ++play) {
            h.game->click("btnAutoPlay");
            ASSERT_TRUE(h.game->autoPlay().running());
            EXPECT_EQ(h.text("btnAutoPlay"), "&Pause");
            for (int i = 0; i < 2; ++i) h.game->autoPlayStep();
            if (play == 0) r.during(h);
            for (int i = 0; i < 100 && h.game->autoPlay().running(); ++i) h.game->autoPlayStep();
        }
        EXPECT_FALSE(h.game->autoPlay().running());
        EXPECT_EQ(h.game->autoPlay().stopReason(), r.reason);
        EXPECT_EQ(h.text("btnAutoPlay"), "&Play");
        EXPECT_FALSE(h.game->model().checked("btnAutoPlay"));
    }
}
