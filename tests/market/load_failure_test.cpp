// Reads that fail after the database opened: damaged pages met halfway
// through a game, and stored values that are not what the layout promises.
// Each must come back as a failure with a reason, never as an empty period
// or a price of 0, and must leave what the game already holds alone.
#include "market/market_data.h"
#include "support/fixture_db.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include <string>

using namespace pellucar;
using pellucar::test::FixtureDb;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

// Tick days of the month from `start`, as the game sets them before it reads ticks.
int setTickDays(MarketDatabase& db, const QDate& start, MarketData& md) {
    const int n = LoadTradingDays(db, QStringLiteral("Tick"), true, start, md.tradingDays);
    md.startTickDays();
    return n;
}

class DamagedPages : public ::testing::Test {
protected:
    void SetUp() override {
        // A daily year meeting damage is the game's own test (Setup); here
        // the ticks, stories and overviews.
        FixtureDb fx(QStringLiteral("damaged_pages_source"));
        // Oil and Gold trade every five minutes of every tick day of the half year.
        fx.exec(QStringLiteral("BEGIN"));
        for (const QDate& d : test::weekdays(QDate(1996, 1, 1), QDate(1996, 6, 28))) {
            fx.addTickDay(d);
            for (int minute = 7 * 60; minute < 15 * 60; minute += 5) {
                const QString when = d.toString(Qt::ISODate) + QStringLiteral(" %1:%2:00")
                                                                   .arg(minute / 60, 2, 10, QLatin1Char('0'))
                                                                   .arg(minute % 60, 2, 10, QLatin1Char('0'));
                fx.addTick(3, when, 1.8 + minute * 1e-4);
                fx.addTick(2, when, 38.0 + minute * 1e-3);
            }
        }
        for (int i = 0; i < 40; ++i)
            fx.addNews(QDate(1996, 2, 6), QStringLiteral("10:00:00"), QStringLiteral("February story %1").arg(i),
                       QString(600, QLatin1Char('f')));
        fx.addNews(QDate(1996, 3, 5), QStringLiteral("10:00:00"), QStringLiteral("March story"), QStringLiteral("m"));
        fx.addOverview(QDate(1990, 1, 1), 3, QStringLiteral("Oil overview of 1990."));
        fx.exec(QStringLiteral("COMMIT"));
        path = QStringLiteral(PELLUCAR_TEST_TMP) +
               QStringLiteral("/damaged_pages-%1.mdb").arg(QCoreApplication::applicationPid());
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(fx.path(), path));
        // The ticks of May 1996, February's stories and the overview texts
        // each lose the pages they alone fill.
        ASSERT_GT(test::damageTablePages(path, {"1996-05-"}, {"1996-04-", "1996-06-"}), 0);
        ASSERT_GT(test::damageTablePages(path, {"February story"}, {"March story"}), 0);
        ASSERT_GT(test::damageTablePages(path, {"Oil overview"}), 0);
    }
    void TearDown() override { QFile::remove(path); }
    QString path;
};

} // namespace

TEST_F(DamagedPages, OpenSucceedsAndOnlyTheReadsThatMeetThemFail) {
    MarketDatabase db;
    ASSERT_TRUE(db.open(path)) << "the damage lies outside what open reads: " << s(db.lastError());
    MarketData md;
    // Ticks: February reads; May fails and leaves the periods it would have filled alone.
    ASSERT_EQ(setTickDays(db, QDate(1996, 2, 1), md), 21);
    EXPECT_EQ(LoadTickData(db, 3, QDate(1996, 2, 1), true, md), 21 * 96);
    EXPECT_FALSE(db.failed()) << s(db.lastError());
    EXPECT_DOUBLE_EQ(md.tickDays[0].periods[3][1].price, 18.53); // 8:45, 1.8 + 525e-4

    ASSERT_EQ(setTickDays(db, QDate(1996, 5, 1), md), 23);
    for (TickDay& day : md.tickDays)
        for (int k = 1; k <= kTicksPerDay; ++k) day.periods[3][k] = {true, 1, 2, 3, 4};
    const auto held = md.tickDays;
    EXPECT_EQ(LoadTickData(db, 3, QDate(1996, 5, 1), true, md), kLoadFailed);
    EXPECT_FALSE(db.lastError().isEmpty());
    EXPECT_EQ(LoadTickData(db, 2, QDate(1996, 5, 1), true, md), kLoadFailed);
    EXPECT_TRUE(md.tickDays == held);

    // The stories of a damaged day and the overview texts fail; a sound day still reads.
    EXPECT_TRUE(db.newsReleases(QDate(1996, 2, 6), QTime(9, 0), QTime(11, 1)).isEmpty());
    EXPECT_TRUE(db.failed());
    const QList<NewsRelease> march = db.newsReleases(QDate(1996, 3, 5), QTime(9, 0), QTime(11, 1));
    EXPECT_TRUE(march.size() == 1 && march[0].title == "March story");
    EXPECT_FALSE(db.failed());
    EXPECT_TRUE(db.overviewNews(QDate(1990, 1, 1), 3).isEmpty());
    EXPECT_TRUE(db.failed());

    // The connection outlives the failures: a sound period loads again.
    ASSERT_EQ(setTickDays(db, QDate(1996, 4, 1), md), 22);
    EXPECT_EQ(LoadTickData(db, 2, QDate(1996, 4, 1), true, md), 22 * 96);
    EXPECT_FALSE(db.failed());
    EXPECT_TRUE(db.lastError().isEmpty());
}

TEST(LoadFailure, AStoredValueOfTheWrongFormFailsTheLoadInsteadOfReadingAsZero) {
    enum Stage { DailyDays = 1, DailyRows, TickDays, Ticks };
    struct Case {
        const char* name;
        const char* sql;
        Stage failsAt;
        const char* message;
    };
    // Each row lies inside the period loaded below, so the range filter lets it through.
    const Case cases[] = {
        {"tick_time_short", "INSERT INTO TickData VALUES (3, '1996-02-01 8:45:00', 1.846)", Ticks,
         "TickData holds a malformed DateTime: '1996-02-01 8:45:00'"},
        {"tick_minute_61", "INSERT INTO TickData VALUES (3, '1996-02-01 08:61:00', 1.846)", Ticks,
         "TickData holds a malformed DateTime: '1996-02-01 08:61:00'"},
        {"tick_day_32", "INSERT INTO TickData VALUES (3, '1996-02-32 08:45:00', 1.846)", Ticks,
         "TickData holds a malformed DateTime: '1996-02-32 08:45:00'"},
        {"tick_price_text", "INSERT INTO TickData VALUES (3, '1996-02-01 08:50:00', 'n/a')", Ticks,
         "TickData holds a malformed realprice: 'n/a'"},
        {"daily_close_text",
         "INSERT INTO DailyData (CommodityID, Date, Open, High, Low, Close) VALUES (3, '1990-01-03', 20, 21, 19, 'x')",
         DailyRows, "DailyData holds a malformed price: 'x'"},
        // No real price comes near a million; valued in contracts it would
        // carry the account past its cents, or to infinity.
        {"daily_close_past_a_million",
         "INSERT INTO DailyData (CommodityID, Date, Open, High, Low, Close) VALUES (3, '1990-01-03', 20, 21, 19, "
         "1000000.5)",
         DailyRows, "DailyData holds a malformed price: '1000000.5'"},
        {"tick_price_infinite", "INSERT INTO TickData VALUES (3, '1996-02-01 08:50:00', 9e999)", Ticks,
         "TickData holds a malformed realprice: 'Inf'"},
        {"daily_month_13",
         "INSERT INTO DailyData (CommodityID, Date, Open, High, Low, Close) VALUES (3, '1990-13-01', 20, 21, 19, 20)",
         DailyDays, "DailyData holds a malformed Date: '1990-13-01'"},
        // Stored hourly figures no trades could give.
        {"period_7",
         "CREATE TABLE TickPeriods (CommodityID, Date, Period, Price, High, Low, Last);"
         "INSERT INTO TickPeriods VALUES (3, '1996-02-01', 7, 18.4, 18.5, 18.3, 18.4)",
         Ticks, "TickPeriods holds a malformed Period: '7'"},
        {"period_last_above_high",
         "CREATE TABLE TickPeriods (CommodityID, Date, Period, Price, High, Low, Last);"
         "INSERT INTO TickPeriods VALUES (3, '1996-02-01', 1, 18.4, 18.5, 18.3, 18.6)",
         Ticks, "TickPeriods holds a malformed price: '18.4'"},
        // A day number in place of the text: SQLite's date() reads it as
        // 2 February 1996, so the filter keeps it.
        {"tick_day_number", "INSERT INTO TickTradeDaysResults VALUES ('2450115.5')", TickDays,
         "TickTradeDaysResults holds a malformed Date: '2450115.5'"},
    };
    for (const Case& c : cases) {
        FixtureDb fx(QLatin1String(c.name));
        fx.addDailyClose(3, QDate(1990, 1, 2), 21.5);
        fx.addTickDay(QDate(1996, 2, 1));
        fx.addTick(3, QStringLiteral("1996-02-01 08:45:00"), 1.846);
        fx.exec(QLatin1String(c.sql));

        MarketDatabase db;
        ASSERT_TRUE(db.open(fx.path())) << c.name << ": " << s(db.lastError());
        // What the game held before; the loader that fails must leave it so.
        const QList<QDate> heldDays{QDate(1980, 1, 2)};
        MarketData md;
        md.tradingDays.days = heldDays;
        md.series[3].rows = {DailyRow{}};
        md.tickDays.resize(1);
        md.tickDays[0].date = QDate(1996, 2, 1);

        int failedAt = 0;
        if (LoadTradingDays(db, QStringLiteral("Daily"), false, QDate(1990, 1, 1), md.tradingDays) == kLoadFailed) {
            failedAt = DailyDays;
            EXPECT_EQ(md.tradingDays.days, heldDays) << c.name;
        } else if (LoadDailyData(db, 3, QDate(1990, 1, 1), md.series[3]) == kLoadFailed) {
            failedAt = DailyRows;
            ASSERT_EQ(md.series[3].count(), 1) << c.name;
            EXPECT_FALSE(md.series[3].rows[0].date.isValid()) << c.name;
        } else if (md.tradingDays.days = heldDays, LoadTradingDays(db, QStringLiteral("Tick"), true, QDate(1996, 2, 1),
                                                                   md.tradingDays) == kLoadFailed) {
            failedAt = TickDays;
            EXPECT_EQ(md.tradingDays.days, heldDays) << c.name;
        } else if (LoadTickData(db, 3, QDate(1996, 2, 1), true, md) == kLoadFailed) {
            failedAt = Ticks;
            EXPECT_FALSE(md.tickDays[0].periods[3][1].seen) << c.name << ": the sound 8:45 tick was not kept";
        }
        EXPECT_EQ(failedAt, c.failsAt) << c.name;
        EXPECT_TRUE(db.failed()) << c.name;
        EXPECT_EQ(s(db.lastError()), c.message) << c.name;
    }
}
