// Checks on the futures.mdb the build makes from data/: what the game relies on (every exchange
// day of each market, consistent rows in date order, prices on the tick grid, encodings and six
// periods a tick day), the stamp the game checks, and a copy of the file cut short.
#include "db_test_support.h"

#include "market/database.h"
#include "market/schema.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

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

// Weekday holidays shared by the US futures exchanges in 1984-1997 (New Year's Day on a Saturday
// closed nothing). One exchange's own closures (the 1992 Chicago flood) count as days it missed.
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

TEST_F(BuiltDatabase, EveryMarketTradesOnAtLeast98PercentOfExchangeDaysEachYearInDateOrder) {
    for (int id = 1; id <= 6; ++id) {
        // The game's daily query has no ORDER BY: storage order must be date order.
        const auto rows =
            db.query("SELECT Date FROM DailyData WHERE CommodityID = ? ORDER BY rowid", {std::to_string(id)});
        ASSERT_GT(rows.size(), 3500u) << kNames[id];
        std::set<std::string> dates{rows[0][0]};
        for (size_t i = 1; i < rows.size(); ++i) {
            ASSERT_LT(rows[i - 1], rows[i]) << kNames[id] << " row " << i;
            dates.insert(rows[i][0]);
        }
        // Against all weekdays (nine a year are holidays) every market holds only 96-97%.
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

TEST_F(BuiltDatabase, DailyRowsArePositiveConsistentAndOnTheirContractsTicks) {
    // Contract YYYYMM of the day or later, and a source on every row.
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM DailyData WHERE Low <= 0 OR Low > Open OR Low > Close "
                       "OR High < Open OR High < Close OR DayVolume < 0 OR OpenInterest < 0 OR length(Contract) <> 6 "
                       "OR Contract < substr(Date, 1, 4) || substr(Date, 6, 2) OR Source = ''"),
              0);
    // The contracts' minimum moves, not the converter's: the S&P's is 0.25 once the series follows the E-mini.
    const double ticks[7] = {0, 0.025, 0.10, 0.01, 0.05, 0.25, 1.0 / 32};
    int off = 0;
    for (const Row& r : db.query("SELECT CommodityID, Date, Open, High, Low, Close, Source FROM DailyData")) {
        const int id = std::stoi(r[0]);
        const double tick = id == 4 && r[1] >= "1997-10-20" ? 0.25 : ticks[id];
        for (int f = 2; f < 6; ++f) {
            const double n = num(r[f]) / tick;
            if (std::abs(n - std::round(n)) >= 1e-6 && ++off <= 20)
                ADD_FAILURE() << kNames[id] << " " << r[1] << " " << r[f] << " (" << r[6] << ") is off the grid";
        }
    }
    EXPECT_EQ(off, 0);
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
        // Ids 1-4 are rounded to cents by the game; the fractional encodings are exact (Soybean in cents).
        const double tolerance = id <= 4 ? 0.005 + 1e-9 : id == 5 ? 1e-4 : 1e-6;
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
                ASSERT_NEAR(gameTickPrice(id, num(t[1])), expected[k], tolerance) << kNames[id] << " " << t[0];
            }
        }
    }
}

TEST_F(BuiltDatabase, CarriesTheStampTheGameChecksAndACopyCutShortIsRefused) {
    EXPECT_EQ(db.count("PRAGMA application_id"), pellucar::schema::kApplicationId);
    EXPECT_EQ(db.count("PRAGMA user_version"), pellucar::schema::kFormatVersion);
    pellucar::MarketDatabase game;
    EXPECT_TRUE(game.open(QStringLiteral(PELLUCAR_DB_PATH))) << game.lastError().toStdString();

    const QByteArray whole = fileBytes(QStringLiteral(PELLUCAR_DB_PATH));
    ASSERT_GT(whole.size(), 100 * 4096);
    QTemporaryDir tmp;
    QFile cut(tmp.filePath(QStringLiteral("truncated.mdb")));
    // The header gives the page count: the engine refuses fewer pages before any table is read.
    for (const qsizetype keep : {whole.size() - 4096, whole.size() / 2, qsizetype(2 * 4096), qsizetype(4096)}) {
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate) && cut.write(whole.left(keep)) == keep);
        cut.close();
        pellucar::MarketDatabase copy;
        EXPECT_FALSE(copy.open(cut.fileName())) << keep;
        EXPECT_FALSE(copy.isOpen());
        EXPECT_FALSE(copy.lastError().isEmpty()) << keep;
    }
}
