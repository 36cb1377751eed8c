// Checks on the futures.mdb the build makes from data/: what the game relies
// on (coverage, order, encodings, six periods, news) and plausible prices.
#include "db_test_support.h"

#include <QDate>

#include <map>
#include <set>

using namespace dbtest;

namespace {

const char* const kNames[] = {"", "Cattle", "Gold", "Oil", "SP500", "Soybean", "TBond"};

class BuiltDatabase : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.ok()) << PELLUCAR_DB_PATH; }
    Database db{PELLUCAR_DB_PATH};
};

QDate nthMonday(int y, int m, int n) {
    QDate d(y, m, 1);
    while (d.dayOfWeek() != 1) d = d.addDays(1);
    return d.addDays(7 * (n - 1));
}

// Weekday holidays shared by the US futures exchanges in 1984-1997 (a holiday
// on Saturday moves to Friday, on Sunday to Monday; New Year's Day on a
// Saturday closed nothing). One exchange's own closures (the 1992 Chicago
// flood, the January 1996 blizzard in New York) count as days it missed.
std::set<QDate> exchangeHolidays(int y) {
    auto observed = [](QDate d) { return d.dayOfWeek() == 6 ? d.addDays(-1) : d.dayOfWeek() == 7 ? d.addDays(1) : d; };
    const int a = y % 19, b = y / 100, c = y % 100, h = (19 * a + b - b / 4 - (b - (b + 8) / 25 + 1) / 3 + 15) % 30;
    const int l = (32 + 2 * (b % 4) + 2 * (c / 4) - h - c % 4) % 7, m = (a + 11 * h + 22 * l) / 451;
    const QDate easter(y, (h + l - 7 * m + 114) / 31, (h + l - 7 * m + 114) % 31 + 1);
    QDate memorial(y, 5, 31);
    while (memorial.dayOfWeek() != 1) memorial = memorial.addDays(-1);
    QDate thanksgiving(y, 11, 1);
    while (thanksgiving.dayOfWeek() != 4) thanksgiving = thanksgiving.addDays(1);
    std::set<QDate> out{
        observed(QDate(y, 7, 4)), observed(QDate(y, 12, 25)), nthMonday(y, 2, 3), easter.addDays(-2), memorial,
        nthMonday(y, 9, 1),       thanksgiving.addDays(21)};
    if (QDate(y, 1, 1).dayOfWeek() != 6) out.insert(observed(QDate(y, 1, 1)));
    return out;
}

} // namespace

TEST_F(BuiltDatabase, EveryMarketTradesOnAtLeast98PercentOfExchangeDaysEachYear) {
    // Counted against weekdays less exchange holidays: about nine weekdays a
    // year are holidays, so against all weekdays every market holds only 96-97%.
    for (int id = 1; id <= 6; ++id) {
        std::set<std::string> dates;
        for (const Row& r : db.query("SELECT Date FROM DailyData WHERE CommodityID = ?", {std::to_string(id)}))
            dates.insert(r[0]);
        for (int year = 1984; year <= 1997; ++year) {
            const std::set<QDate> holidays = exchangeHolidays(year);
            int open = 0, covered = 0;
            for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
                if (d.dayOfWeek() > 5 || holidays.count(d)) continue;
                ++open;
                covered += int(dates.count(d.toString(Qt::ISODate).toStdString()));
            }
            EXPECT_GE(covered, 0.98 * open) << kNames[id] << " " << year << ": " << covered << " of " << open;
        }
    }
    EXPECT_EQ(db.query("SELECT MIN(Date) FROM DailyData WHERE CommodityID = 3")[0][0], "1983-03-30");
}

TEST_F(BuiltDatabase, DailyRowsArePositiveConsistentAndStoredInDateOrder) {
    // Contract YYYYMM of the day or later, and a source on every row.
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM DailyData WHERE Low <= 0 OR Low > Open OR Low > Close "
                       "OR High < Open OR High < Close OR DayVolume < 0 OR OpenInterest < 0 OR length(Contract) <> 6 "
                       "OR Contract < substr(Date, 1, 4) || substr(Date, 6, 2) OR Source = ''"),
              0);
    // The game's daily query has no ORDER BY: storage order must be date order.
    for (int id = 1; id <= 6; ++id) {
        const auto rows =
            db.query("SELECT Date FROM DailyData WHERE CommodityID = ? ORDER BY rowid", {std::to_string(id)});
        ASSERT_GT(rows.size(), 3500u) << kNames[id];
        for (size_t i = 1; i < rows.size(); ++i) ASSERT_LT(rows[i - 1], rows[i]) << kNames[id] << " row " << i;
    }
}

TEST_F(BuiltDatabase, NoCloseMovesBeyondItsMarketsBoundWithoutAContractRoll) {
    // Live cattle, soybeans and T-bonds had exchange daily limits throughout:
    // 1.5 cents, 30 cents (45 after limit days) and 3 points, so a larger move
    // within one contract cannot be real. Gold's COMEX limit was $25 while it
    // applied; 10% allows for the years without. Crude and the S&P had no
    // limits for most of the period; 20% and 10% lie far beyond their ordinary
    // days, with history's outliers named: crude the night the Gulf air war
    // began, and the October 1987 crash and its rebound.
    struct Bound {
        double points, percent;
        std::set<std::string> knownDays;
    };
    const std::map<int, Bound> bounds{
        {1, {1.5, 0, {}}}, {2, {0, 10, {}}}, {3, {0, 20, {"1991-01-17"}}}, {4, {0, 10, {"1987-10-19", "1987-10-21"}}},
        {5, {45, 0, {}}},  {6, {3, 0, {}}}};
    for (const auto& [id, bound] : bounds) {
        const auto rows = db.query("SELECT Date, Close, Contract FROM DailyData WHERE CommodityID = ? ORDER BY Date",
                                   {std::to_string(id)});
        int rolls = 0;
        for (size_t i = 1; i < rows.size(); ++i) {
            if (rows[i][2] != rows[i - 1][2]) {
                ++rolls;
                continue;
            }
            const double before = num(rows[i - 1][1]), move = std::abs(num(rows[i][1]) - before);
            if (bound.knownDays.count(rows[i][0])) continue;
            EXPECT_TRUE(bound.points == 0 || move <= bound.points + 1e-9) << kNames[id] << " " << rows[i][0];
            EXPECT_TRUE(bound.percent == 0 || 100 * move / before <= bound.percent) << kNames[id] << " " << rows[i][0];
        }
        EXPECT_GE(rolls, 14) << kNames[id] << ": a contract column that hardly changes has lost its rolls";
    }
}

TEST_F(BuiltDatabase, DataSourcesAccountForEveryRow) {
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM DataSources WHERE Kind NOT IN "
                       "('real OHLC', 'settlement only', 'derived', 'real trades')"),
              0);
    for (const Row& r : db.query("SELECT CommodityID, substr(Date, 1, 4), COUNT(*) FROM DailyData GROUP BY 1, 2"))
        EXPECT_EQ(db.count("SELECT SUM(Rows) FROM DataSources WHERE CommodityID = ? AND Year = ? "
                           "AND Source NOT LIKE 'TickData%'",
                           {r[0], r[1]}),
                  std::stoll(r[2]))
            << kNames[std::stoi(r[0])] << " " << r[1];
    EXPECT_EQ(db.count("SELECT SUM(Rows) FROM DataSources WHERE Source LIKE 'TickData%'"),
              db.count("SELECT COUNT(*) FROM TickData"));
}

TEST_F(BuiltDatabase, EveryTickDayHasSixPeriodsPerMarketThatDecodeToTheDaysPrices) {
    const char* const times[7][6] = {{},
                                     {"09:00", "10:00", "10:45", "11:20", "11:50", "12:35"},
                                     {"07:20", "08:35", "10:05", "11:35", "12:05", "13:45"},
                                     {"08:45", "09:30", "10:30", "11:45", "12:45", "13:45"},
                                     {"08:30", "09:45", "11:00", "12:15", "13:45", "14:45"},
                                     {"09:30", "10:15", "11:00", "11:45", "12:30", "12:45"},
                                     {"07:20", "08:20", "09:35", "11:20", "12:35", "13:35"}};
    const auto days = db.query("SELECT Date FROM TickTradeDaysResults ORDER BY rowid");
    ASSERT_EQ(days, db.query("SELECT DISTINCT Date FROM DailyData WHERE Date BETWEEN '1996' AND '1998' ORDER BY Date"));
    for (int id = 1; id <= 6; ++id) {
        std::map<std::string, Row> daily;
        for (const Row& r : db.query("SELECT Date, Open, High, Low, Close FROM DailyData WHERE CommodityID = ? "
                                     "AND Date BETWEEN '1995-12' AND '1998' ORDER BY Date",
                                     {std::to_string(id)}))
            daily[r[0]] = r;
        const auto ticks = db.query("SELECT DateTime, realprice FROM TickData WHERE CommodityID = ? ORDER BY rowid",
                                    {std::to_string(id)});
        ASSERT_EQ(ticks.size(), 6 * days.size()) << kNames[id];
        double lastClose = num(std::prev(daily.lower_bound("1996"))->second[4]);
        for (size_t d = 0; d < days.size(); ++d) {
            std::vector<double> expected(6, lastClose); // exchange closed: the last close stands
            if (auto it = daily.find(days[d][0]); it != daily.end()) {
                const double open = num(it->second[1]), high = num(it->second[2]), low = num(it->second[3]);
                lastClose = num(it->second[4]);
                // A day that closed at or above its open is taken to dip first.
                const double first = lastClose >= open ? low : high, second = lastClose >= open ? high : low;
                expected = {open, first, first, second, second, lastClose};
            }
            for (size_t k = 0; k < 6; ++k) {
                const Row& t = ticks[6 * d + k];
                ASSERT_EQ(t[0], days[d][0] + " " + times[id][k] + ":00") << kNames[id];
                ASSERT_NEAR(gameTickPrice(id, num(t[1])), expected[k], tickTolerance(id) * (id == 5 ? 100 : 1))
                    << kNames[id] << " " << t[0];
            }
        }
    }
}

TEST_F(BuiltDatabase, EveryMonthOf1996And1997HasNewsOnATradingDayInTimeOrder) {
    for (int month = 0; month < 24; ++month) {
        const std::string prefix = QDate(1996, 1, 1).addMonths(month).toString("yyyy-MM-%").toStdString();
        EXPECT_GT(db.count("SELECT COUNT(*) FROM SortedTickNewsReleases r JOIN TickTradeDaysResults d "
                           "ON d.Date = r.NRDate WHERE r.NRDate LIKE ?",
                           {prefix}),
                  0)
            << prefix;
    }
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM SortedTickNewsReleases WHERE NRTitle = '' OR NRStory = '' "
                       "OR NRTime NOT GLOB '[0-2][0-9]:[0-5][0-9]:00'"),
              0);
    const auto rows = db.query("SELECT NRDate, NRTime FROM SortedTickNewsReleases ORDER BY rowid");
    for (size_t i = 1; i < rows.size(); ++i) ASSERT_LE(rows[i - 1], rows[i]) << "release row " << i;
}

TEST_F(BuiltDatabase, EveryMarketYearHasItsOverviewAndTheDisclaimerIsThere) {
    for (int year = 1983; year <= 1996; ++year)
        for (int id = 1; id <= 6; ++id) {
            const auto rows = db.query("SELECT News FROM OverviewNews WHERE Date = ? AND CommodityID = ?",
                                       {std::to_string(year) + "-01-01", std::to_string(id)});
            ASSERT_EQ(rows.size(), 1u) << kNames[id] << " " << year;
            const std::string& text = rows[0][0];
            const size_t split = text.find("\n\n");
            ASSERT_NE(split, std::string::npos) << kNames[id] << " " << year;
            EXPECT_NE(text.substr(0, split).find(std::to_string(year)), std::string::npos);
            EXPECT_GT(text.size() - split, 100u) << "background too short: " << kNames[id] << " " << year;
            // Crude and soybean data begin in 1983 after January: the text says so.
            if (year == 1983 && (id == 3 || id == 5)) {
                EXPECT_NE(text.find("cover only"), std::string::npos) << kNames[id];
            }
        }
    const auto disclaimer = db.query("SELECT News FROM OverviewNews WHERE Date = '1965-10-17' AND CommodityID = 0");
    ASSERT_EQ(disclaimer.size(), 1u);
    EXPECT_GT(disclaimer[0][0].size(), 50u);
}
