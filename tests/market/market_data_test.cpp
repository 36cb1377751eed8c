// Loading a game's period from the market database: trading days, daily
// series, tick periods and the lining up of series with the trading days.
#include "common/format.h"
#include "market/market_data.h"
#include "support/fixture_db.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

using namespace pellucar;
using pellucar::test::FixtureDb;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

// Sets up the tick days as a new tick game does: the trading days of the
// window, then one TickDay per trading day, then the ticks of every market.
void loadTickPeriod(MarketDatabase& db, const QDate& start, bool oneMonth, MarketData& md) {
    LoadTradingDays(db, QStringLiteral("Tick"), oneMonth, start, md.tradingDays);
    md.startTickDays();
    for (int id = 1; id <= kMarketCount; ++id) LoadTickData(db, id, start, oneMonth, md);
}

} // namespace

TEST(TickData, DecodesEachMarketsStoredPrice) {
    struct Case {
        int id;
        double stored, price;
    };
    const Case cases[] = {
        // Ids 1-4: stored as price / 10, rounded to cents after the tenfold.
        {3, 1.846, 18.46},
        {4, 65.025, 650.25},
        {2, 38.55, 385.5},
        {1, 6.5125, 65.13}, // 65.125: half goes up
        {3, 1.8463, 18.46},
        {3, 1.8467, 18.47},
        {3, 1.0005, 10.01},
        // Cattle trades in 0.025 cents: 6.4975 * 1000 is 6497.499999999999 in
        // binary, which std::round would take down to 64.97.
        {1, 6.4975, 64.98},
        // Soybean: the first decimal counts eighths of a dollar.
        {5, 6.098, 6.1225},
        {5, 6.7, 6.875},
        {5, 6.002, 6.0025},
        {5, 7.0, 7.0},
        // TBond: the two decimals count thirty-seconds.
        {6, 118.05, 118.15625},
        {6, 97.31, 97.96875},
        {6, 100.16, 100.5},
        {6, 110.0, 110.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(decodeTickPrice(c.id, c.stored), c.price, 1e-9) << c.id << " " << c.stored;
}

TEST(TickData, DecodingWithoutTextAgreesWithTheHouseRoundingToTheBit) {
    // Ids 1-4 decode through a fast path of their own; the game's rounding by
    // text is the reference. Every stored price of four decimals up to 30
    // (Oil and Cattle), a spread of them up to 600 (Gold, SP500), then any.
    for (int k = 0; k <= 6000000; k += k < 300000 ? 1 : 37) {
        const double stored = k / 10000.0;
        const double want = roundScaled(stored, 1, 2);
        const double got = decodeTickPrice(3, stored);
        ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << "stored " << stored << ": " << got << " vs " << want;
    }
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> anywhere(-1000.0, 100000.0);
    for (int i = 0; i < 200000; ++i) {
        const double stored = anywhere(random);
        ASSERT_EQ(decodeTickPrice(1, stored), roundScaled(stored, 1, 2)) << stored;
    }
    for (double stored : {0.0, -0.0, 1e-9, 4.9999e-4, 5e-4, -0.0005, 6.4975, 99999.9995, 1e11, 3e12, -7e15, 1e300})
        EXPECT_EQ(decodeTickPrice(4, stored), roundScaled(stored, 1, 2)) << stored;
}

TEST(TickData, TicksFallIntoTheirSamplingWindows) {
    FixtureDb fx(QStringLiteral("tick_windows"));
    const QDate d1(1996, 2, 1), d2(1996, 2, 2), d3(1996, 2, 5); // Thu, Fri, Mon
    fx.addTickDay(d1);
    fx.addTickDay(d2);
    fx.addTickDay(d3);
    // Oil (id 3) samples at 8:45, 9:30, 10:30, 11:45, 12:45, 13:45.
    fx.addTick(3, QStringLiteral("1996-02-01 08:44:00"), 1.800); // before period 1
    fx.addTick(3, QStringLiteral("1996-02-01 08:45:00"), 1.846); // first of period 1
    fx.addTick(3, QStringLiteral("1996-02-01 09:00:00"), 1.850);
    fx.addTick(3, QStringLiteral("1996-02-01 09:10:00"), 1.830);
    fx.addTick(3, QStringLiteral("1996-02-01 09:15:00"), 1.840); // exactly +30 minutes: still period 1
    fx.addTick(3, QStringLiteral("1996-02-01 09:16:00"), 1.900); // +31 minutes: no period
    fx.addTick(3, QStringLiteral("1996-02-01 09:29:00"), 1.910); // a minute before period 2
    fx.addTick(3, QStringLiteral("1996-02-01 13:45:00"), 1.860);
    fx.addTick(3, QStringLiteral("1996-02-01 14:15:00"), 1.870);
    fx.addTick(3, QStringLiteral("1996-02-01 14:16:00"), 1.990);
    fx.addTick(3, QStringLiteral("1996-02-03 08:50:00"), 2.500); // Saturday, not a tick day
    fx.addTick(3, QStringLiteral("1996-02-05 08:50:00"), 1.720);
    fx.addTick(3, QStringLiteral("1996-02-05 09:00:00"), 1.750);
    // SP500 (id 4) period 1 starts 8:30; Soybean (id 5) periods 5 and 6 are
    // 12:30 and 12:45, so a tick at 12:50 lies in both windows.
    fx.addTick(4, QStringLiteral("1996-02-01 08:45:00"), 65.025);
    fx.addTick(5, QStringLiteral("1996-02-01 12:50:00"), 6.098);
    fx.addTick(6, QStringLiteral("1996-02-01 09:35:00"), 118.05); // TBond period 3

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    MarketData md;
    loadTickPeriod(db, d1, true, md);
    ASSERT_EQ(md.tickDayCount(), 3);
    ASSERT_EQ(md.tickDays[0].date, d1);
    ASSERT_EQ(md.tickDays[2].date, d3);

    // Period 1 opens with the 8:45 tick, not the 8:44 one; 9:15 is still
    // inside (the last), 9:16 at 19.00 no longer (not the high).
    EXPECT_EQ(md.tickDays[0].periods[3][1], (TickPeriod{true, 18.46, 18.50, 18.30, 18.40}));
    EXPECT_FALSE(md.tickDays[0].periods[3][2].seen) << "9:16 and 9:29 lie before 9:30 + 0..30 minutes";
    EXPECT_EQ(md.tickDays[0].periods[3][6], (TickPeriod{true, 18.60, 18.70, 18.60, 18.70}));
    // The Saturday tick went nowhere: Friday has nothing, Monday starts with its own.
    for (int k = 1; k <= kTicksPerDay; ++k) EXPECT_FALSE(md.tickDays[1].periods[3][k].seen) << "period " << k;
    EXPECT_EQ(md.tickDays[2].periods[3][1], (TickPeriod{true, 17.20, 17.50, 17.20, 17.50}));

    // Other markets keep their own periods and encodings.
    EXPECT_DOUBLE_EQ(md.tickDays[0].periods[4][1].price, 650.25);
    EXPECT_FALSE(md.tickDays[0].periods[5][4].seen);
    EXPECT_NEAR(md.tickDays[0].periods[5][5].price, 6.1225, 1e-9);
    EXPECT_NEAR(md.tickDays[0].periods[5][6].price, 6.1225, 1e-9);
    EXPECT_NEAR(md.tickDays[0].periods[6][3].price, 118.15625, 1e-9);
    EXPECT_FALSE(md.tickDays[0].periods[6][2].seen);
    EXPECT_FALSE(md.tickDays[0].periods[1][1].seen);
}

TEST(TickData, ProgressCountsTheDaysReadUpToAllOfThem) {
    FixtureDb fx(QStringLiteral("tick_progress"));
    const QList<QDate> days = test::weekdays(QDate(1996, 2, 1), QDate(1996, 2, 29));
    for (const QDate& d : days) fx.addTickDay(d);
    // More ticks than one report's worth, spread over the month.
    const int ticks = 3 * kTicksPerProgressReport;
    fx.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < ticks; ++i) {
        const QDate d = days.at(i * days.size() / ticks);
        fx.addTick(3, d.toString(Qt::ISODate) + QStringLiteral(" 09:00:00"), 1.8);
    }
    fx.exec(QStringLiteral("COMMIT"));
    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    MarketData md;
    LoadTradingDays(db, QStringLiteral("Tick"), true, days.first(), md.tradingDays);
    md.startTickDays();
    QList<int> reports;
    EXPECT_EQ(LoadTickData(db, 3, days.first(), true, md, [&](int read) { reports << read; }), ticks);
    ASSERT_EQ(reports.size(), 4); // every kTicksPerProgressReport ticks, then the end
    EXPECT_TRUE(std::is_sorted(reports.cbegin(), reports.cend()));
    EXPECT_GT(reports.first(), 0);
    EXPECT_LT(reports.at(2), md.tickDayCount());
    EXPECT_EQ(reports.last(), md.tickDayCount());
}

TEST(TickData, TradingDaysForMonthAndQuarterNeverExceed91) {
    FixtureDb fx(QStringLiteral("tick_trading_days"));
    // Every calendar day from 1 March to 1 June 1996: 92 days in the quarter
    // [1 March, 1 June), 31 in the month [1 March, 1 April). Inserted out of
    // order, and one day stored with a time part, which still counts as that date.
    fx.exec(QStringLiteral("BEGIN"));
    for (QDate d(1996, 6, 1); d >= QDate(1996, 3, 1); d = d.addDays(-1))
        if (d != QDate(1996, 3, 5)) fx.addTickDay(d);
    fx.exec(QStringLiteral("INSERT INTO TickTradeDaysResults (Date) VALUES ('1996-03-05 00:00:00')"));
    fx.exec(QStringLiteral("COMMIT"));

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    TradingDays days;
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Tick"), true, QDate(1996, 3, 1), days), 31);
    EXPECT_EQ(days.days.first(), QDate(1996, 3, 1));
    EXPECT_EQ(days.days[4], QDate(1996, 3, 5));
    EXPECT_EQ(days.days.last(), QDate(1996, 3, 31));

    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Tick"), false, QDate(1996, 3, 1), days), 91);
    ASSERT_EQ(days.count(), 91);
    EXPECT_EQ(days.days.first(), QDate(1996, 3, 1));
    EXPECT_EQ(days.days.last(), QDate(1996, 5, 30));
    for (int i = 1; i < days.count(); ++i) EXPECT_LT(days.days[i - 1], days.days[i]);

    // The tick days of a full quarter fill the table exactly and stop there.
    MarketData md;
    fx.addTick(3, QStringLiteral("1996-05-30 08:45:00"), 1.9);
    fx.addTick(3, QStringLiteral("1996-05-31 08:45:00"), 2.0); // the 92nd day: no room
    loadTickPeriod(db, QDate(1996, 3, 1), false, md);
    EXPECT_EQ(md.tickDayCount(), kTickDayCapacity);
    EXPECT_DOUBLE_EQ(md.tickDays[90].periods[3][1].price, 19.0);
}

TEST(DatabaseLoaders, DailyTradingDaysAndRowsForTheYear) {
    FixtureDb fx(QStringLiteral("loaders_daily"));
    // Out of table order; Gold has no row on 3 January, Oil none on 5 January.
    fx.addDailyClose(3, QDate(1990, 1, 4), 22.0);
    fx.addDailyClose(3, QDate(1990, 1, 2), 20.0);
    fx.addDailyClose(2, QDate(1990, 1, 5), 403.0);
    fx.addDailyClose(3, QDate(1990, 1, 3), 21.0);
    fx.addDailyClose(2, QDate(1990, 1, 2), 400.0);
    fx.addDailyClose(2, QDate(1990, 1, 4), 402.0);
    fx.addDailyClose(3, QDate(1989, 12, 29), 19.0);
    fx.addDailyClose(3, QDate(1991, 1, 2), 30.0);  // start + 1 year: outside
    fx.addDailyClose(2, QDate(1991, 1, 1), 410.0); // last day inside

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    TradingDays days;
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Daily"), true, QDate(1990, 1, 2), days), 5);
    EXPECT_EQ(days.days, QList<QDate>({QDate(1990, 1, 2), QDate(1990, 1, 3), QDate(1990, 1, 4), QDate(1990, 1, 5),
                                       QDate(1991, 1, 1)}));

    MarketSeries oil;
    EXPECT_EQ(LoadDailyData(db, 3, QDate(1990, 1, 2), oil), 3);
    ASSERT_EQ(oil.count(), 3);
    EXPECT_EQ(oil.rows[0].date, QDate(1990, 1, 2));
    EXPECT_FLOAT_EQ(oil.rows[2].close, 22.0f);

    MarketSeries gold;
    EXPECT_EQ(LoadDailyData(db, 2, QDate(1990, 1, 2), gold), 4);
    EXPECT_EQ(gold.rows.last().date, QDate(1991, 1, 1));

    MarketSeries cattle;
    cattle.rows.append(DailyRow{});
    EXPECT_EQ(LoadDailyData(db, 1, QDate(1990, 1, 2), cattle), 0);
    EXPECT_TRUE(cattle.rows.isEmpty()) << "a reload replaces old rows";

    // A year with no data at all is a period without rows, not a failure.
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Daily"), false, QDate(1985, 1, 2), days), 0);
    EXPECT_TRUE(days.days.isEmpty());
    EXPECT_FALSE(db.failed()) << s(db.lastError());
    EXPECT_EQ(LoadDailyData(db, 3, QDate(1985, 1, 2), oil), 0);
    EXPECT_TRUE(oil.rows.isEmpty());
    EXPECT_FALSE(db.failed()) << s(db.lastError());
    MarketData md;
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Tick"), false, QDate(1996, 1, 1), md.tradingDays), 0);
    md.startTickDays();
    EXPECT_EQ(LoadTickData(db, 3, QDate(1996, 1, 1), false, md), 0);
    EXPECT_FALSE(db.failed()) << s(db.lastError());
}

TEST(DatabaseLoaders, AlignRepeatsTheLastCloseAndMarksAMissingStart) {
    FixtureDb fx(QStringLiteral("loaders_align"));
    const QDate d1(1990, 1, 2), d2(1990, 1, 3), d3(1990, 1, 4), d4(1990, 1, 5);
    // Oil: closed on d3 (its exchange's holiday).
    fx.addDaily(3, d1, 19.5, 20.5, 19.0, 20.0);
    fx.addDaily(3, d2, 20.2, 21.4, 20.1, 21.0);
    fx.addDaily(3, d4, 22.5, 23.5, 22.0, 23.0);
    // Gold: no row on the first two trading days.
    fx.addDailyClose(2, d3, 402.0);
    fx.addDailyClose(2, d4, 403.0);
    // TBond: every day.
    fx.addDailyClose(6, d1, 98.0);
    fx.addDailyClose(6, d2, 98.5);
    fx.addDailyClose(6, d3, 99.0);
    fx.addDailyClose(6, d4, 99.5);

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    MarketData md;
    ASSERT_EQ(LoadTradingDays(db, QStringLiteral("Daily"), false, d1, md.tradingDays), 4);
    for (int id = 1; id <= kMarketCount; ++id) LoadDailyData(db, id, d1, md.series[id]);
    AlignSeriesToTradingDays(md);

    for (int id : {2, 3, 6}) {
        ASSERT_EQ(md.series[id].count(), 4) << "id " << id;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(md.series[id].rows[i].date, md.tradingDays.days[i]) << id << "/" << i;
    }

    const auto closes = [&md](int id) {
        QList<float> out;
        for (const DailyRow& r : md.series[id].rows) out << r.close;
        return out;
    };
    // Oil's holiday repeats the previous close; Gold's missing start is -1.
    EXPECT_EQ(closes(3), (QList<float>{20, 21, 21, 23}));
    EXPECT_EQ(md.series[3].rows[1], (DailyRow{100, 200, 20.2f, 21.4f, 20.1f, 21.0f, d2}));
    EXPECT_FLOAT_EQ(md.series[3].rows[3].open, 22.5f);
    EXPECT_EQ(closes(2), (QList<float>{-1, -1, 402, 403}));
    EXPECT_EQ(closes(6), (QList<float>{98, 98.5, 99, 99.5}));
}
