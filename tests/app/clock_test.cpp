// The game clock: periods, their labels, the final-day notice and the end, in daily and tick games.
#include "common/dates.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

using namespace pellucar;
using namespace pellucar::test;

// Each press shows the next period's day and hour; the final-day notice comes with the press that opens the
// last day, and the press after the last period ends the game and goes back to period 0, Forward locked.
TEST(GameClock, EveryPressShowsItsPeriodThenTheGameEnds) {
    const struct {
        const QString& (*db)();
        GameSpec game;
        QStringList hours;
        const char* before; // the labels before the first press
        int length;
    } runs[] = {
        {sharedDaily1990, {.length = GameLength::Quarter}, {"4:00 pm"}, "4:00 pm | Day 0:", 90},
        {sharedTickJanuary1996,
         kTickMonth,
         {"9:00 am", "10:00 am", "11:00 am", "12:00 pm", "1:00 pm", "2:00 pm"},
         "8:00 am | Day 0:",
         23 * 6 + 1},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.length);
        Harness h(r.db(), r.game);
        EXPECT_EQ(h.texts({"lblTradeTime", "LabelDay"}), r.before);
        const QDate from(r.game.year, r.game.month, 1);
        const QList<QDate> days =
            weekdays(from, from.addMonths(r.game.length == GameLength::Month ? 1 : 3).addDays(-1));
        const int perDay = static_cast<int>(r.hours.size()), presses = static_cast<int>(days.size()) * perDay;
        int noticePress = -1;
        for (int press = 1; press <= presses; ++press) {
            h.forward();
            const QStringList shown = h.take();
            if (countLines(shown, "   * Begin Final Day of Trading *")) noticePress = press;
            ASSERT_EQ(countLines(shown, "frmGameOver"), 0) << "game ended early at press " << press;
            const QDate d = days[(press - 1) / perDay];
            QString expected = "Date: " + shortDate(d) + " | " + weekdayName(d) + " | " + r.hours[(press - 1) % perDay];
            if (perDay == 1) expected += QStringLiteral(" | Day %1:").arg(press);
            EXPECT_EQ(h.texts(perDay == 1 ? QStringList{"lblDate", "lblDay", "lblTradeTime", "LabelDay"}
                                          : QStringList{"lblDate", "lblDay", "lblTradeTime"}),
                      expected);
            EXPECT_EQ(h.state().clock.periodIndex(), press);
        }
        EXPECT_EQ(h.state().clock.lengthPeriods(), r.length);
        EXPECT_EQ(noticePress, presses - perDay + 1);
        h.forward();
        EXPECT_EQ(countLines(h.take(), "frmGameOver: Game Over"), 1);
        EXPECT_EQ(h.state().clock.periodIndex(), 0);
        EXPECT_FALSE(h.game->model().enabled("btnChangePeriod"));
        EXPECT_EQ(h.text("mnuNewGame"), "Start");
    }
}

// A window that paints while a press runs, noting what Forward and Trade show at each paint.
struct PaintingDialogs : ScriptedDialogs {
    std::function<void()> painted = [] {};
    void processEvents() override { painted(); }
    bool paintsOnEvents() const override { return true; }
};

TEST(GameClock, AWindowPaintedWhileAPressRunsShowsForwardAndTradeLocked) {
    PaintingDialogs dialogs;
    ScriptedRandom random;
    Game game(dialogs, random, sharedDaily1990());
    QStringList shown;
    dialogs.painted = [&] {
        shown << QStringLiteral("%1 %2")
                     .arg(game.model().enabled("btnChangePeriod"))
                     .arg(game.model().enabled("btnTrade"));
    };
    game.startUp();
    dialogs.queueSetup({{"length", "Month"}, {"data", "Daily"}, {"period", "select"}, {"year", "1990"}});
    game.click("mnuNewGame");
    game.click("btnChangePeriod");
    shown.clear();
    game.click("btnChangePeriod");
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.filter("1").size(), 0) << shown.join(", ").toStdString();
    EXPECT_TRUE(game.model().enabled("btnChangePeriod") && game.model().enabled("btnTrade"));
}

// The final-day notice comes with the press before the last (games longer than 15 periods only), and the
// last press ends the game; a tick game counts six hours a day and stays on the last. Lengths of 15 and 17 are
// played to their ends in DailyClock below.
TEST(GameClockLength, NoticeAndLastPeriodFollowTheLength) {
    struct Case {
        const char* name;
        DataMode mode;
        int length, tickDays, noticePress, lastPress, periodAtEnd;
    } cases[] = {
        {"daily 16", DataMode::Daily, 16, 0, 15, 16, 16},
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
        EXPECT_EQ(std::tuple(notice, last, clock.periodIndex()), std::tuple(c.noticePress, c.lastPress, c.periodAtEnd))
            << c.name;
    }
}

// Continue at the last period: a month more for a Novice, a quarter for an Expert, within a year and the data.
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

// No notice up to 15 periods; with 17 the hint of period 15 comes first, over the day of period 15.
TEST(DailyClock, ShortGamesEndWithTheirCalendarAndHintComesBeforeNotice) {
    const struct {
        int days, presses; // before the press looked at
        const char* shown; // the date and day while its windows are up
        QStringList windows;
    } cases[] = {
        {10, 9, "Date: 1/11/1990 | Thursday", {"frmGameOver"}},
        {15, 14, "Date: 1/18/1990 | Thursday", {"frmGameOver"}},
        {17,
         15,
         "Date: 1/19/1990 | Friday",
         {"frmPlayerNotification: * Helpful Hint * | Don't be Scared to Execute A Trade ",
          "frmPlayerNotification: Trader Notification |    * Begin Final Day of Trading *"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        FixtureDb db(QStringLiteral("clock_%1_days").arg(c.days)); // a calendar of the first `days` weekdays
        const QDate last = weekdays(QDate(1990, 1, 1), QDate(1990, 2, 28)).at(c.days - 1);
        db.addWeekdays(QDate(1990, 1, 1), last, [](int, int d) { return 50.0 + d; });
        db.addOverview(QDate(1965, 10, 17), 0, "x");
        Harness h(db.path(), {.length = GameLength::Quarter});
        h.forward(c.presses);
        EXPECT_EQ(countLines(h.take(), "frm"), 0);
        EXPECT_EQ(h.texts({"lblDate", "lblDay"}), c.shown);
        QStringList behind;
        h.dialogs.setOutput([&](const QString&) { behind << h.texts({"lblDate", "lblDay"}); });
        h.forward();
        QStringList shown = h.take();
        if (c.windows.size() == 1)
            for (QString& l : shown) l = l.section(':', 0, 0); // the end window's name
        EXPECT_EQ(shown, c.windows);
        if (c.windows.size() == 2) {
            EXPECT_EQ(behind, QStringList(2, c.shown));
        }
    }
}

// Ended by the player at the last hour: the game stays there, and a story of the last afternoon comes out once.
TEST(TickClock, EndStaysOnTheLastHourWhenPlayerEnds) {
    FixtureDb db("clock_tick_last_story");
    buildTickJanuary1996(db);
    db.addNews(QDate(1996, 1, 31), QStringLiteral("15:00:00"), QStringLiteral("Late Report"),
               QStringLiteral("Closing."));
    Harness h(db.path(), kTickMonth);
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

// Play Again or Game > Start of the same period keeps the ticks read; a quarter is another period, read anew.
TEST(TickClock, SamePeriodKeepsItsTicksAnotherLengthReadsThemAgain) {
    Harness h(sharedTickJanuary1996());
    EXPECT_EQ(countLines(h.startGame(kTickMonth), "frminitialize"), 1);
    h.forward();
    h.end("btnRestartGame");
    EXPECT_EQ(countLines(h.take(), "frminitialize"), 0);
    EXPECT_EQ(countLines(h.newGame(kTickMonth), "frminitialize"), 0);
    h.forward();
    EXPECT_FLOAT_EQ(h.state().prices.records[1].oil, 18.0f);
    h.end("btnRestartGame");
    h.take();
    GameSpec quarter = kTickMonth;
    quarter.length = GameLength::Quarter;
    EXPECT_EQ(countLines(h.newGame(quarter), "frminitialize: Pellucar | Initializing Data:  please wait"), 1);
    EXPECT_EQ(h.state().clock.endDate(), QDate(1996, 4, 1));
}

TEST(AutoPlay, StopsWhereThePlayerIsWantedAndSaysWhy) {
    const struct {
        const char* name;
        int oil;           // Oil bought (sold when below 0) before Play
        const char* click; // after two presses, with the index of a menu item
        int index;
        int plays; // Play pressed again after each stop, this many times in all
        const char* reason;
    } rows[] = {
        {"Pause", 0, "btnAutoPlay", -1, 1, "Pause"},
        {"Trade", 0, "btnTrade", -1, 1, "Trade"},
        {"a report", 0, "btnTradeHist", -1, 1, "a report"},
        {"the news report", 0, "btnNewsHist", -1, 1, "a report"},
        {"the Play item pauses", 0, "mnuAutoPlay", -1, 1, "Pause"},
        {"the pace menu opened plays on to the hint", 0, "mnuAutoSpeed", -1, 1, "window * Helpful Hint *"},
        {"a menu item chosen", 0, "mnuMaximum", 1, 1, "a menu"},
        {"a menu opened", 0, "mnuSettings", -1, 1, "a menu"},
        {"a pace chosen plays on to the hint", 0, "mnuSpeed", 4, 1, "window * Helpful Hint *"},
        {"stopping at a fill asked for plays on to the hint", 0, "mnuStopOnFill", -1, 1, "window * Helpful Hint *"},
        {"a trader gets no hint, so the final day", 1, nullptr, -1, 1, "window Trader Notification"},
        {"then the game's end", 1, nullptr, -1, 2, "window Game Over"},
        {"a margin call", -49, nullptr, -1, 1, "window *** Immediately Liquidate Positions ***"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Harness h(sharedDaily1990(), {Level::Expert, GameLength::Month});
        h.forward();
        if (r.oil) h.order(Market::Oil, r.oil > 0 ? Side::Buy : Side::Sell, std::abs(r.oil));
        for (int play = 0; play < r.plays; ++play) {
            h.game->click("btnAutoPlay");
            ASSERT_TRUE(h.game->autoPlay().running());
            EXPECT_EQ(h.text("btnAutoPlay"), "&Pause");
            for (int i = 0; i < 2; ++i) h.game->autoPlayStep();
            if (play == 0 && r.click) h.game->click(QLatin1String(r.click), r.index);
            for (int i = 0; i < 100 && h.game->autoPlay().running(); ++i) h.game->autoPlayStep();
        }
        EXPECT_FALSE(h.game->autoPlay().running());
        EXPECT_EQ(h.game->autoPlay().stopReason(), r.reason);
        EXPECT_EQ(h.text("btnAutoPlay"), "&Play");
        EXPECT_FALSE(h.game->model().checked("btnAutoPlay"));
    }
}
