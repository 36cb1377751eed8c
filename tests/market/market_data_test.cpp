// Opening the market database and its queries, loading a game's period, and reads that fail
// after the database opened: a failure with a reason that leaves what the game holds alone,
// never a price of 0. Each test writes the small database files it reads.
#include "market/market_data.h"
#include "market/schema.h"
#include "support/fixture_db.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

using namespace pellucar;
using pellucar::test::FixtureDb;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

QString tmpPath(const char* name) { return QStringLiteral(PELLUCAR_TEST_TMP) + '/' + QLatin1String(name); }

// A file of the given bytes, or (sql set) a SQLite file made from that SQL.
QString writeFile(const char* name, const QByteArray& content, const QString& sql = {}) {
    const QString path = tmpPath(name);
    EXPECT_TRUE(test::writeFile(path, content)) << name;
    if (!sql.isEmpty()) {
        EXPECT_TRUE(test::sql(path, sql.toUtf8().constData())) << name;
    }
    return path;
}

QList<QDate> days1990(MarketDatabase& db) { return db.tradingDaysDaily(QDate(1990, 1, 1), QDate(1991, 1, 1)); }

// The tick days as a new tick game sets them up.
int setTickDays(MarketDatabase& db, const QDate& start, bool oneMonth, MarketData& md) {
    const int n = LoadTradingDays(db, QStringLiteral("Tick"), oneMonth, start, md.tradingDays);
    md.startTickDays();
    return n;
}

void loadTickPeriod(MarketDatabase& db, const QDate& start, bool oneMonth, MarketData& md) {
    setTickDays(db, start, oneMonth, md);
    for (int id = 1; id <= kMarketCount; ++id) LoadTickData(db, id, start, oneMonth, md);
}

} // namespace

TEST(DatabaseOpen, AFileThatIsNotAMarketDatabaseIsRefusedWithAReasonAndLeftAlone) {
    QString noTicks = QString::fromLatin1(schema::kCreateSql);
    noTicks.replace(QStringLiteral("CREATE TABLE TickData"), QStringLiteral("CREATE TABLE TickDataOld"))
        .replace(QStringLiteral("ON TickData "), QStringLiteral("ON TickDataOld "));
    QString noField = QString::fromLatin1(schema::kCreateSql);
    ASSERT_TRUE(noField.contains(QStringLiteral("DayVolume    INTEGER NOT NULL DEFAULT 0,")));
    noField.remove(QStringLiteral("DayVolume    INTEGER NOT NULL DEFAULT 0,"));
    const QList<QString> paths{
        writeFile("empty_0_bytes.mdb", {}),
        writeFile("plain_text.mdb", QByteArray("This is a text file and not a market database.\r\n").repeated(200)),
        writeFile("no_tickdata.mdb", {}, noTicks),
        writeFile("no_dayvolume.mdb", {}, noField),
    };
    MarketDatabase db;
    const QString missing = tmpPath("no_such_dir/futures.mdb");
    EXPECT_FALSE(db.open(missing));
    EXPECT_FALSE(QFile::exists(missing)) << "opening must not create the file";
    for (const QString& path : paths) {
        const QByteArray before = test::fileBytes(path);
        EXPECT_FALSE(db.open(path)) << s(path);
        EXPECT_FALSE(db.isOpen());
        EXPECT_FALSE(db.lastError().isEmpty()) << s(path);
        EXPECT_EQ(test::fileBytes(path), before) << "opening must not write to " << s(path);
    }
    // Queries on a closed object answer nothing, and say that they failed.
    const QDate d(1996, 1, 2);
    EXPECT_TRUE(db.tradingDaysDaily(d, d.addYears(1)).isEmpty() && db.failed());
    EXPECT_TRUE(db.dailyRows(3, d, d.addYears(1)).isEmpty() && db.overviewNews(d, 3).isEmpty());
    EXPECT_FALSE(db.tickRows(3, d, d.addMonths(1), [](const TickRow&) { return true; }));
    EXPECT_TRUE(db.newsReleases(d, QTime(0, 0), QTime(23, 59)).isEmpty() && db.failed());
}

TEST(DatabaseOpen, AFileStampedByAnotherApplicationOrANewerBuilderIsRefused) {
    MarketDatabase db;
    const struct {
        const char *name, *stamp;
        const char* message; // empty: it opens
    } cases[] = {
        // A GeoPackage (application id "GPKG") that happens to hold tables of the same names.
        {"stamp_gpkg", "PRAGMA application_id = 1196444487;",
         "not a Pellucar market database (application id 0x47504b47)"},
        {"stamp_newer", "PRAGMA application_id = 1347175250; PRAGMA user_version = 2;",
         "the market database has format 2; this game reads format 1 or older"},
        // Without a stamp, tables and fields alone judge: another tool's user_version means nothing.
        {"stamp_none_version_9", "PRAGMA user_version = 9;", ""},
    };
    for (const auto& c : cases) {
        FixtureDb fx(QLatin1String(c.name));
        fx.addDailyClose(3, QDate(1990, 1, 2), 21.5);
        fx.exec(QLatin1String(c.stamp));
        const bool opens = *c.message == 0;
        EXPECT_EQ(db.open(fx.path()), opens) << c.name;
        EXPECT_EQ(s(db.lastError()), c.message) << c.name;
        EXPECT_EQ(days1990(db).size(), opens ? 1 : 0) << c.name;
    }
}

TEST(DatabaseOpen, AReadOnlyFolderAndFileAreEnoughAndNothingIsWritten) {
    const QString dir = tmpPath("read_only_folder") + QStringLiteral("_öl"); // the program's folder may have any name
    QDir(dir).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString path = dir + QStringLiteral("/futures.mdb");
    {
        FixtureDb fx(QStringLiteral("read_only_source"));
        fx.addDailyClose(3, QDate(1990, 1, 2), 21.5);
        fx.addTickDay(QDate(1996, 2, 1));
        fx.addTick(3, QStringLiteral("1996-02-01 08:45:00"), 1.846);
        ASSERT_TRUE(QFile::copy(fx.path(), path));
    }
    const QByteArray before = test::fileBytes(path);
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path, readOnly));
    ASSERT_TRUE(QFile::setPermissions(dir, readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));

    MarketDatabase db;
    EXPECT_TRUE(db.open(path)) << s(db.lastError());
    EXPECT_EQ(days1990(db).size(), 1);
    int ticks = 0;
    EXPECT_TRUE(db.tickRows(3, QDate(1996, 2, 1), QDate(1996, 3, 1), [&](const TickRow&) { return ++ticks; }));
    EXPECT_EQ(ticks, 1);
    db.close();
    // No journal or lock file beside it, the same bytes.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("futures.mdb")});
    EXPECT_TRUE(test::fileBytes(path) == before);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QDir(dir).removeRecursively();
}

// The daily rows' window and fields are read by the loaders' tests.
TEST(DatabaseQueries, OverviewsAndNewsOfTheFileOpenNow) {
    FixtureDb a(QStringLiteral("database_news_plan_a"));
    FixtureDb b(QStringLiteral("database_news_plan_b"));
    const QDate day(1996, 5, 21);
    const QString story = QStringLiteral("Fed's \"surprise\" cut; 'quoted'\r\nLine two -- 100% sure; \\ backslash");
    a.addNews(day, QStringLiteral("10:00:00"), QStringLiteral("From A"), story);
    b.addNews(day, QStringLiteral("10:00:00"), QStringLiteral("From B"), QStringLiteral("b"));
    a.addOverview(QDate(1990, 1, 2), 3, QStringLiteral("Oil."));
    a.addOverview(QDate(1990, 1, 2), 2, QStringLiteral("Gold quiet."));
    a.addOverview(QDate(1990, 1, 3), 3, QStringLiteral("Oil next day."));

    const auto titles = [](const QList<NewsRelease>& list) {
        QStringList out;
        for (const NewsRelease& n : list) out << n.title;
        return out;
    };
    MarketDatabase db;
    ASSERT_TRUE(db.open(a.path())) << s(db.lastError());
    const QDate d2(1990, 1, 2), d3(1990, 1, 3);
    EXPECT_EQ((QStringList{db.overviewNews(d2, 3), db.overviewNews(d2, 2), db.overviewNews(d3, 3),
                           db.overviewNews(d3, 2), db.overviewNews(d3.addDays(1), 3)}),
              (QStringList{"Oil.", "Gold quiet.", "Oil next day.", "", ""}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(titles(db.newsReleases(day, QTime(9, 0), QTime(11, 1))), QStringList{"From A"});
    EXPECT_EQ(db.newsReleases(day, QTime(9, 0), QTime(11, 1)).value(0).story, story); // unchanged
    EXPECT_TRUE(db.newsReleases(day, QTime(11, 1), QTime(14, 0)).isEmpty());
    ASSERT_TRUE(db.open(b.path())) << s(db.lastError());
    EXPECT_EQ(titles(db.newsReleases(day, QTime(9, 0), QTime(11, 1))), QStringList{"From B"});
    db.close();
    EXPECT_TRUE(db.newsReleases(day, QTime(9, 0), QTime(11, 1)).isEmpty());
}

TEST(TickData, DecodesEachMarketsStoredPrice) {
    const struct {
        int id;
        double stored, price;
    } cases[] = {
        // Ids 1-4: stored as price / 10, rounded to cents after the tenfold.
        {1, 6.5125, 65.13}, // 65.125: half goes up
        {3, 1.8467, 18.47},
        {3, 1.0005, 10.01},
        {3, -1.0005, -10.01},
        {4, 0.0005, 0.01},
        {4, 0.00049, 0},
        // 6.4975 * 1000 is 6497.499999999999 in binary: std::round would give 64.97.
        {1, 6.4975, 64.98},
        // Soybean: the first decimal counts eighths of a dollar.
        {5, 6.098, 6.1225},
        {5, 6.002, 6.0025},
        {5, 7.0, 7.0},
        // TBond: the two decimals count thirty-seconds.
        {6, 118.05, 118.15625},
        {6, 100.16, 100.5},
        {6, 110.0, 110.0},
    };
    for (const auto& c : cases) // cents to the bit, fractions to 1e-9
        EXPECT_NEAR(decodeTickPrice(c.id, c.stored), c.price, c.id <= 4 ? 0 : 1e-9) << c.id << " " << c.stored;
}

TEST(TickData, TicksFallIntoTheirSamplingWindows) {
    FixtureDb fx(QStringLiteral("tick_windows"));
    const QDate d1(1996, 2, 1), d2(1996, 2, 2), d3(1996, 2, 5); // Thu, Fri, Mon
    for (const QDate& d : {d1, d2, d3}) fx.addTickDay(d);
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
    // SP500 period 1 starts 8:30; a Soybean tick at 12:50 lies in periods 5 (12:30) and 6 (12:45).
    fx.addTick(4, QStringLiteral("1996-02-01 08:45:00"), 65.025);
    fx.addTick(5, QStringLiteral("1996-02-01 12:50:00"), 6.098);
    fx.addTick(6, QStringLiteral("1996-02-01 09:35:00"), 118.05); // TBond period 3

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    MarketData md;
    loadTickPeriod(db, d1, true, md);
    ASSERT_EQ(md.tickDayCount(), 3);
    ASSERT_EQ((std::tuple{md.tickDays[0].date, md.tickDays[2].date}), (std::tuple{d1, d3}));

    // 9:15 is the last of period 1; 9:16 at 19.00 is not its high.
    EXPECT_EQ(md.tickDays[0].periods[3][1], (TickPeriod{true, 18.46, 18.50, 18.30, 18.40}));
    EXPECT_FALSE(md.tickDays[0].periods[3][2].seen) << "9:16 and 9:29 lie before 9:30 + 0..30 minutes";
    EXPECT_EQ(md.tickDays[0].periods[3][6], (TickPeriod{true, 18.60, 18.70, 18.60, 18.70}));
    // The Saturday tick went nowhere.
    for (int k = 1; k <= kTicksPerDay; ++k) EXPECT_FALSE(md.tickDays[1].periods[3][k].seen) << "period " << k;
    EXPECT_EQ(md.tickDays[2].periods[3][1], (TickPeriod{true, 17.20, 17.50, 17.20, 17.50}));

    // Other markets keep their own periods and encodings.
    const auto& first = md.tickDays[0].periods;
    EXPECT_TRUE(!first[5][4].seen && !first[6][2].seen && !first[1][1].seen);
    const std::tuple<int, int, double> prices[] = {{4, 1, 650.25}, {5, 5, 6.1225}, {5, 6, 6.1225}, {6, 3, 118.15625}};
    for (const auto& [id, k, price] : prices) EXPECT_NEAR(first[id][k].price, price, 1e-9) << id << "/" << k;
}

// The loading window's bar moves during a long read and ends full.
TEST(TickData, ProgressCountsTheDaysReadUpToAllOfThem) {
    FixtureDb fx(QStringLiteral("tick_progress"));
    const QList<QDate> days = test::weekdays(QDate(1996, 2, 1), QDate(1996, 2, 29));
    for (const QDate& d : days) fx.addTickDay(d);
    const int ticks = 3 * kTicksPerProgressReport;
    fx.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < ticks; ++i)
        fx.addTick(3, days.at(i * days.size() / ticks).toString(Qt::ISODate) + QStringLiteral(" 09:00:00"), 1.8);
    fx.exec(QStringLiteral("COMMIT"));
    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    MarketData md;
    setTickDays(db, days.first(), true, md);
    QList<int> reports;
    EXPECT_EQ(LoadTickData(db, 3, days.first(), true, md, [&](int read) { reports << read; }), ticks);
    EXPECT_GT(reports.size(), 1);
    EXPECT_EQ(reports.value(reports.size() - 1), md.tickDayCount());
}

TEST(TickData, TradingDaysForMonthAndQuarterNeverExceed91) {
    FixtureDb fx(QStringLiteral("tick_trading_days"));
    // Every day of [1 March, 1 June] 1996, out of order, 5 March with a time part.
    fx.exec(QStringLiteral("BEGIN"));
    for (QDate d(1996, 6, 1); d >= QDate(1996, 3, 1); d = d.addDays(-1))
        if (d != QDate(1996, 3, 5)) fx.addTickDay(d);
    fx.exec(QStringLiteral("INSERT INTO TickTradeDaysResults (Date) VALUES ('1996-03-05 00:00:00')"));
    fx.exec(QStringLiteral("COMMIT"));

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    TradingDays days;
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Tick"), true, QDate(1996, 3, 1), days), 31);
    EXPECT_EQ((std::tuple{days.days.first(), days.days[4], days.days.last()}),
              (std::tuple{QDate(1996, 3, 1), QDate(1996, 3, 5), QDate(1996, 3, 31)}));

    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Tick"), false, QDate(1996, 3, 1), days), 91);
    ASSERT_EQ(days.count(), 91);
    EXPECT_EQ((std::tuple{days.days.first(), days.days.last()}), (std::tuple{QDate(1996, 3, 1), QDate(1996, 5, 30)}));

    MarketData md; // a full quarter fills the table exactly
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

    MarketSeries oil, gold;
    EXPECT_EQ(LoadDailyData(db, 3, QDate(1990, 1, 2), oil), 3);
    ASSERT_EQ(oil.count(), 3);
    EXPECT_EQ((std::tuple{oil.rows[0].date, oil.rows[2].close}), (std::tuple{QDate(1990, 1, 2), 22.0f}));
    EXPECT_EQ(LoadDailyData(db, 2, QDate(1990, 1, 2), gold), 4);
    EXPECT_EQ(gold.rows.last().date, QDate(1991, 1, 1));

    // A year without data is a period without rows, not a failure; a reload replaces old rows.
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Daily"), false, QDate(1985, 1, 2), days), 0);
    EXPECT_EQ(LoadDailyData(db, 3, QDate(1985, 1, 2), oil), 0);
    EXPECT_TRUE(days.days.isEmpty() && oil.rows.isEmpty());
    MarketData md;
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Tick"), false, QDate(1996, 1, 1), md.tradingDays), 0);
    md.startTickDays();
    EXPECT_EQ(LoadTickData(db, 3, QDate(1996, 1, 1), false, md), 0);
    EXPECT_FALSE(db.failed()) << s(db.lastError());

    // The same reads on another file give that file's rows.
    FixtureDb other(QStringLiteral("loaders_daily_other"));
    other.addDailyClose(3, QDate(1990, 1, 3), 23.0);
    ASSERT_TRUE(db.open(other.path())) << s(db.lastError());
    EXPECT_EQ(LoadTradingDays(db, QStringLiteral("Daily"), true, QDate(1990, 1, 2), days), 1);
    EXPECT_EQ((std::tuple{LoadDailyData(db, 3, QDate(1990, 1, 2), oil), oil.rows.value(0).close}),
              (std::tuple{1, 23.0f}));
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
    for (int i = 0; i < 4; ++i) fx.addDailyClose(6, QList{d1, d2, d3, d4}.at(i), 98 + 0.5 * i);

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
    // Oil's holiday repeats the previous close, flat and with no volume (no bar of a day that did not trade);
    // Gold's missing start is -1.
    EXPECT_EQ(
        (std::tuple{closes(3), closes(2), closes(6)}),
        (std::tuple{QList<float>{20, 21, 21, 23}, QList<float>{-1, -1, 402, 403}, QList<float>{98, 98.5, 99, 99.5}}));
    EXPECT_EQ(md.series[3].rows[1], (DailyRow{100, 200, 20.2f, 21.4f, 20.1f, 21.0f, d2}));
    EXPECT_EQ(md.series[3].rows[2], (DailyRow{100, 0, 21, 21, 21, 21, d3}));
    EXPECT_EQ(md.series[3].rows[3].open, 22.5f);
}

TEST(DamagedPages, OpenSucceedsAndOnlyTheReadsThatMeetThemFail) {
    FixtureDb fx(QStringLiteral("damaged_pages_source"));
    // Oil and Gold trade every five minutes of every tick day of the half year.
    fx.exec(QStringLiteral("BEGIN"));
    for (const QDate& d : test::weekdays(QDate(1996, 1, 1), QDate(1996, 6, 28))) {
        fx.addTickDay(d);
        for (int minute = 7 * 60; minute < 15 * 60; minute += 5) {
            const QString when = d.toString(Qt::ISODate) + QString::asprintf(" %02d:%02d:00", minute / 60, minute % 60);
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
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("damaged.mdb"));
    ASSERT_TRUE(QFile::copy(fx.path(), path));
    // May's ticks, February's stories and the overviews lose the pages they alone fill.
    ASSERT_GT(test::damageTablePages(path, {"1996-05-"}, {"1996-04-", "1996-06-"}), 0);
    ASSERT_GT(test::damageTablePages(path, {"February story"}, {"March story"}), 0);
    ASSERT_GT(test::damageTablePages(path, {"Oil overview"}), 0);
    MarketDatabase db;
    ASSERT_TRUE(db.open(path)) << "the damage lies outside what open reads: " << s(db.lastError());
    MarketData md;
    // Ticks: February reads; May fails and leaves the periods it would have filled alone.
    ASSERT_EQ(setTickDays(db, QDate(1996, 2, 1), true, md), 21);
    EXPECT_EQ(LoadTickData(db, 3, QDate(1996, 2, 1), true, md), 21 * 96);
    EXPECT_FALSE(db.failed()) << s(db.lastError());
    EXPECT_DOUBLE_EQ(md.tickDays[0].periods[3][1].price, 18.53); // 8:45, 1.8 + 525e-4

    ASSERT_EQ(setTickDays(db, QDate(1996, 5, 1), true, md), 23);
    for (TickDay& day : md.tickDays)
        for (int k = 1; k <= kTicksPerDay; ++k) day.periods[3][k] = {true, 1, 2, 3, 4};
    const auto held = md.tickDays;
    EXPECT_EQ(LoadTickData(db, 3, QDate(1996, 5, 1), true, md), kLoadFailed);
    EXPECT_FALSE(db.lastError().isEmpty());
    EXPECT_EQ(LoadTickData(db, 2, QDate(1996, 5, 1), true, md), kLoadFailed);
    EXPECT_TRUE(md.tickDays == held);

    // The stories of a damaged day and the overview texts fail; a sound day still reads.
    EXPECT_TRUE(db.newsReleases(QDate(1996, 2, 6), QTime(9, 0), QTime(11, 1)).isEmpty() && db.failed());
    const QList<NewsRelease> march = db.newsReleases(QDate(1996, 3, 5), QTime(9, 0), QTime(11, 1));
    EXPECT_TRUE(march.size() == 1 && march[0].title == "March story" && !db.failed());
    EXPECT_TRUE(db.overviewNews(QDate(1990, 1, 1), 3).isEmpty() && db.failed());

    // The connection outlives the failures: a sound period loads again.
    ASSERT_EQ(setTickDays(db, QDate(1996, 4, 1), true, md), 22);
    EXPECT_EQ(LoadTickData(db, 2, QDate(1996, 4, 1), true, md), 22 * 96);
    EXPECT_TRUE(!db.failed() && db.lastError().isEmpty());
}

TEST(LoadFailure, AStoredValueOfTheWrongFormFailsTheLoadInsteadOfReadingAsZero) {
    enum Stage { DailyDays = 1, DailyRows, TickDays, Ticks };
    const struct {
        const char *name, *table, *row; // a row inside the period loaded below
        Stage failsAt;
        const char* malformed; // the reason after "<table> holds a malformed "
    } cases[] = {
        {"tick_time_short", "TickData", "3, '1996-02-01 8:45:00', 1.846", Ticks, "DateTime: '1996-02-01 8:45:00'"},
        {"tick_minute_61", "TickData", "3, '1996-02-01 08:61:00', 1.846", Ticks, "DateTime: '1996-02-01 08:61:00'"},
        {"tick_day_32", "TickData", "3, '1996-02-32 08:45:00', 1.846", Ticks, "DateTime: '1996-02-32 08:45:00'"},
        {"tick_price_text", "TickData", "3, '1996-02-01 08:50:00', 'n/a'", Ticks, "realprice: 'n/a'"},
        {"tick_price_infinite", "TickData", "3, '1996-02-01 08:50:00', 9e999", Ticks, "realprice: 'Inf'"},
        {"daily_close_text", "DailyData", "3, '1990-01-03', 20, 21, 19, 'x'", DailyRows, "price: 'x'"},
        // Valued in contracts, a price past a million would carry the account past its cents.
        {"daily_close_past_a_million", "DailyData", "3, '1990-01-03', 20, 21, 19, 1000000.5", DailyRows,
         "price: '1000000.5'"},
        {"daily_month_13", "DailyData", "3, '1990-13-01', 20, 21, 19, 20", DailyDays, "Date: '1990-13-01'"},
        // Stored hourly figures no trades could give.
        {"period_7", "TickPeriods", "3, '1996-02-01', 7, 18.4, 18.5, 18.3, 18.4", Ticks, "Period: '7'"},
        {"period_last_above_high", "TickPeriods", "3, '1996-02-01', 1, 18.4, 18.5, 18.3, 18.6", Ticks, "price: '18.4'"},
        // SQLite's date() reads a day number as 2 February 1996, so the filter keeps it.
        {"tick_day_number", "TickTradeDaysResults", "'2450115.5'", TickDays, "Date: '2450115.5'"},
    };
    for (const auto& c : cases) {
        FixtureDb fx(QLatin1String(c.name));
        fx.addDailyClose(3, QDate(1990, 1, 2), 21.5);
        fx.addTickDay(QDate(1996, 2, 1));
        fx.addTick(3, QStringLiteral("1996-02-01 08:45:00"), 1.846);
        const QString table = QLatin1String(c.table);
        if (table == "TickPeriods") fx.exec(QString::fromLatin1(schema::kCreateTickPeriodsSql));
        const char* columns = table == "DailyData" ? "(CommodityID, Date, Open, High, Low, Close)" : "";
        fx.exec(QStringLiteral("INSERT INTO %1 %2 VALUES (%3)").arg(table, columns, c.row));

        MarketDatabase db;
        ASSERT_TRUE(db.open(fx.path())) << c.name << ": " << s(db.lastError());
        // Twice: a read that failed is read again, not remembered.
        for (int round = 1; round <= 2; ++round) {
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
                EXPECT_EQ(md.tradingDays.days, heldDays) << c.name << " round " << round;
            } else if (LoadDailyData(db, 3, QDate(1990, 1, 1), md.series[3]) == kLoadFailed) {
                failedAt = DailyRows;
                EXPECT_EQ(md.series[3].rows, QList<DailyRow>{DailyRow{}}) << c.name << " round " << round;
            } else if (md.tradingDays.days = heldDays,
                       LoadTradingDays(db, QStringLiteral("Tick"), true, QDate(1996, 2, 1), md.tradingDays) ==
                           kLoadFailed) {
                failedAt = TickDays;
                EXPECT_EQ(md.tradingDays.days, heldDays) << c.name << " round " << round;
            } else if (LoadTickData(db, 3, QDate(1996, 2, 1), true, md) == kLoadFailed) {
                failedAt = Ticks;
                EXPECT_FALSE(md.tickDays[0].periods[3][1].seen)
                    << c.name << " round " << round << ": the sound 8:45 tick was not kept";
            }
            EXPECT_EQ(failedAt, c.failsAt) << c.name << " round " << round;
            EXPECT_TRUE(db.failed()) << c.name << " round " << round;
            EXPECT_EQ(s(db.lastError()), c.table + std::string(" holds a malformed ") + c.malformed)
                << c.name << " round " << round;
        }
    }
}
