// Opening the market database and its read queries, against small database
// files the tests write themselves.
#include "market/database.h"
#include "market/schema.h"
#include "support/fixture_db.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <sqlite3.h>

#include <string>

using namespace pellucar;
using pellucar::test::FixtureDb;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

QString tmpPath(const char* name) { return QStringLiteral(PELLUCAR_TEST_TMP) + '/' + QLatin1String(name); }

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A SQLite file made from arbitrary SQL, closed again before the test opens it.
void writeSqlite(const QString& path, const char* sql) {
    QFile::remove(path);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << msg;
}

QStringList titles(const QList<NewsRelease>& list) {
    QStringList out;
    for (const NewsRelease& n : list) out << n.title;
    return out;
}

QList<QDate> dates(std::initializer_list<const char*> iso) {
    QList<QDate> out;
    for (const char* d : iso) out << QDate::fromString(QLatin1String(d), Qt::ISODate);
    return out;
}

} // namespace

TEST(DatabaseOpen, FailuresCarryTheEnginesMessageAndLeaveItClosed) {
    MarketDatabase db;

    const QString missing = tmpPath("no_such_dir/futures.mdb");
    EXPECT_FALSE(db.open(missing));
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(s(db.lastError()), "unable to open database file");
    EXPECT_FALSE(QFile::exists(missing)) << "opening must not create the file";

    const QString empty = tmpPath("empty_0_bytes.mdb");
    writeFile(empty, QByteArray());
    EXPECT_FALSE(db.open(empty));
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(s(db.lastError()), "no such table: DailyData");
    EXPECT_EQ(QFile(empty).size(), 0) << "opening must not write to the file";

    const QString text = tmpPath("plain_text.mdb");
    writeFile(text, QByteArray("This is a text file and not a market database.\r\n").repeated(200));
    EXPECT_FALSE(db.open(text));
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(s(db.lastError()), "file is not a database");

    // The game's own layout with one table gone.
    QString noTicks = QString::fromLatin1(schema::kCreateSql);
    noTicks.replace(QStringLiteral("CREATE TABLE TickData"), QStringLiteral("CREATE TABLE TickDataOld"));
    noTicks.replace(QStringLiteral("ON TickData "), QStringLiteral("ON TickDataOld "));
    const QString noTable = tmpPath("no_tickdata.mdb");
    writeSqlite(noTable, noTicks.toUtf8().constData());
    EXPECT_FALSE(db.open(noTable));
    EXPECT_EQ(s(db.lastError()), "no such table: TickData");

    // Every table present, but DailyData lacks a field the game reads.
    QString schema = QString::fromLatin1(schema::kCreateSql);
    ASSERT_TRUE(schema.contains(QStringLiteral("DayVolume    INTEGER NOT NULL DEFAULT 0,")));
    schema.remove(QStringLiteral("DayVolume    INTEGER NOT NULL DEFAULT 0,"));
    const QString noField = tmpPath("no_dayvolume.mdb");
    writeSqlite(noField, schema.toUtf8().constData());
    EXPECT_FALSE(db.open(noField));
    EXPECT_FALSE(db.isOpen());
    EXPECT_TRUE(db.lastError().contains(QStringLiteral("DayVolume"))) << s(db.lastError());

    // Queries on a closed object answer nothing, and say that they failed.
    const QDate d(1996, 1, 2);
    EXPECT_TRUE(db.tradingDaysDaily(d, d.addYears(1)).isEmpty());
    EXPECT_TRUE(db.failed());
    EXPECT_TRUE(db.dailyRows(3, d, d.addYears(1)).isEmpty());
    EXPECT_TRUE(db.failed());
    EXPECT_FALSE(db.tickRows(3, d, d.addMonths(1), [](const TickRow&) { return true; }));
    EXPECT_TRUE(db.overviewNews(d, 3).isEmpty());
    EXPECT_TRUE(db.failed());
    EXPECT_TRUE(db.newsReleases(d, QTime(0, 0), QTime(23, 59)).isEmpty());
    EXPECT_TRUE(db.failed());
    EXPECT_FALSE(db.lastError().isEmpty());
}

TEST(DatabaseOpen, AFileStampedByAnotherApplicationOrANewerBuilderIsRefused) {
    MarketDatabase db;
    struct Case {
        const char* name;
        const char* stamp;
        bool opens;
        const char* message;
    };
    const Case cases[] = {
        // A GeoPackage (application id "GPKG") that happens to hold tables of the same names.
        {"stamp_gpkg", "PRAGMA application_id = 1196444487;", false,
         "not a Pellucar market database (application id 0x47504b47)"},
        {"stamp_newer", "PRAGMA application_id = 1347175250; PRAGMA user_version = 2;", false,
         "the market database has format 2; this game reads format 1 or older"},
        {"stamp_current", schema::kStampSql, true, ""},
        // Files without a stamp are judged by their tables and fields alone;
        // another tool's user_version means nothing to the game.
        {"stamp_none_version_9", "PRAGMA user_version = 9;", true, ""},
    };
    for (const Case& c : cases) {
        FixtureDb fx(QLatin1String(c.name));
        fx.addDailyClose(3, QDate(1990, 1, 2), 21.5);
        fx.exec(QLatin1String(c.stamp));
        EXPECT_EQ(db.open(fx.path()), c.opens) << c.name;
        EXPECT_EQ(db.isOpen(), c.opens) << c.name;
        EXPECT_EQ(s(db.lastError()), c.message) << c.name;
        if (c.opens) {
            EXPECT_EQ(db.tradingDaysDaily(QDate(1990, 1, 1), QDate(1991, 1, 1)), dates({"1990-01-02"})) << c.name;
        }
    }
}

TEST(DatabaseOpen, AReadOnlyFolderAndFileAreEnough) {
    const QString dir = tmpPath("read_only_folder");
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
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path, readOnly));
    ASSERT_TRUE(QFile::setPermissions(dir, readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));

    MarketDatabase db;
    const bool opened = db.open(path);
    EXPECT_TRUE(opened) << s(db.lastError());
    EXPECT_EQ(db.tradingDaysDaily(QDate(1990, 1, 1), QDate(1991, 1, 1)), dates({"1990-01-02"}));
    int ticks = 0;
    EXPECT_TRUE(db.tickRows(3, QDate(1996, 2, 1), QDate(1996, 3, 1), [&](const TickRow&) {
        ++ticks;
        return true;
    }));
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(db.failed()) << s(db.lastError());
    db.close();

    // Nothing was written: no journal or lock file beside it, the same bytes.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("futures.mdb")});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == before);
    f.close();
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QDir(dir).removeRecursively();
}

TEST(DatabaseOpen, GoodFileOpensAfterAFailureAndAFailureClosesAGoodOne) {
    FixtureDb fx(QStringLiteral("database_open_reopen"));
    fx.addDailyClose(3, QDate(1990, 1, 2), 21.5);

    MarketDatabase db;
    EXPECT_FALSE(db.open(tmpPath("missing_reopen.mdb")));
    EXPECT_FALSE(db.lastError().isEmpty());
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    EXPECT_TRUE(db.isOpen());
    EXPECT_TRUE(db.lastError().isEmpty()) << "a successful open forgets the old message";
    EXPECT_EQ(db.tradingDaysDaily(QDate(1990, 1, 1), QDate(1991, 1, 1)), dates({"1990-01-02"}));

    // Opening a bad file in place of the good one leaves nothing open.
    EXPECT_FALSE(db.open(tmpPath("missing_reopen.mdb")));
    EXPECT_FALSE(db.isOpen());
    EXPECT_TRUE(db.tradingDaysDaily(QDate(1990, 1, 1), QDate(1991, 1, 1)).isEmpty());

    ASSERT_TRUE(db.open(fx.path()));
    db.close();
    EXPECT_FALSE(db.isOpen());
    db.close(); // closing twice is harmless
    EXPECT_FALSE(db.isOpen());

    // A path with letters outside ASCII (the program's folder may have any name).
    FixtureDb umlaut(QStringLiteral("märkte_öl"));
    umlaut.addDailyClose(3, QDate(1990, 1, 3), 22.0);
    ASSERT_TRUE(db.open(umlaut.path())) << s(db.lastError());
    EXPECT_EQ(db.tradingDaysDaily(QDate(1990, 1, 1), QDate(1991, 1, 1)), dates({"1990-01-03"}));
}

TEST(DatabaseQueries, DailyRowsOfOneMarketAscendingInTheWindow) {
    FixtureDb fx(QStringLiteral("database_daily_rows"));
    fx.addDaily(3, QDate(1990, 1, 4), 21.10, 21.50, 20.90, 21.25);
    fx.addDaily(3, QDate(1990, 1, 2), 20.00, 20.60, 19.80, 20.456);
    fx.addDaily(5, QDate(1990, 1, 3), 600.0, 615.0, 598.0, 612.25); // Soybean, in cents
    fx.addDaily(3, QDate(1990, 1, 3), 20.50, 21.00, 20.40, 20.80);
    fx.addDaily(3, QDate(1989, 12, 29), 19.0, 19.0, 19.0, 19.0);
    fx.addDaily(3, QDate(1991, 1, 2), 26.0, 26.0, 26.0, 26.0);

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    const QList<DailyRow> oil = db.dailyRows(3, QDate(1990, 1, 2), QDate(1991, 1, 2));
    ASSERT_EQ(oil.size(), 3);
    EXPECT_EQ(oil[0].date, QDate(1990, 1, 2));
    EXPECT_EQ(oil[1].date, QDate(1990, 1, 3));
    EXPECT_EQ(oil[2].date, QDate(1990, 1, 4));
    EXPECT_FLOAT_EQ(oil[0].open, 20.00f);
    EXPECT_FLOAT_EQ(oil[0].high, 20.60f);
    EXPECT_FLOAT_EQ(oil[0].low, 19.80f);
    EXPECT_FLOAT_EQ(oil[0].close, 20.456f);
    EXPECT_FLOAT_EQ(oil[2].close, 21.25f);
    EXPECT_EQ(oil[1].openInterest, 100); // the fixture writes 100 and 200
    EXPECT_EQ(oil[1].dayVolume, 200);

    const QList<DailyRow> soy = db.dailyRows(5, QDate(1990, 1, 2), QDate(1991, 1, 2));
    ASSERT_EQ(soy.size(), 1);
    EXPECT_FLOAT_EQ(soy[0].close, 612.25f);
    EXPECT_TRUE(db.dailyRows(1, QDate(1990, 1, 2), QDate(1991, 1, 2)).isEmpty());
}

TEST(DatabaseQueries, OverviewTextForDateAndMarket) {
    FixtureDb fx(QStringLiteral("database_overview"));
    const QString oilText = QStringLiteral("Crude \"firmed\"; OPEC's quota talks stall.\r\nSecond line.");
    fx.addOverview(QDate(1990, 1, 2), 3, oilText);
    fx.addOverview(QDate(1990, 1, 2), 2, QStringLiteral("Gold quiet."));
    fx.addOverview(QDate(1990, 1, 3), 3, QStringLiteral("Oil next day."));
    fx.addOverview(QDate(1990, 1, 1), 0, QStringLiteral("Disclaimer text."));

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    EXPECT_EQ(db.overviewNews(QDate(1990, 1, 2), 3), oilText);
    EXPECT_EQ(s(db.overviewNews(QDate(1990, 1, 2), 2)), "Gold quiet.");
    EXPECT_EQ(s(db.overviewNews(QDate(1990, 1, 3), 3)), "Oil next day.");
    EXPECT_EQ(s(db.overviewNews(QDate(1990, 1, 1), 0)), "Disclaimer text.");
    EXPECT_TRUE(db.overviewNews(QDate(1990, 1, 3), 2).isEmpty());
    EXPECT_TRUE(db.overviewNews(QDate(1990, 1, 4), 3).isEmpty());
    EXPECT_TRUE(db.overviewNews(QDate(1990, 1, 2), 6).isEmpty());
}

TEST(DatabaseQueries, TextsWithQuotesAndSemicolonsComeBackUnchanged) {
    FixtureDb fx(QStringLiteral("database_quoted_texts"));
    const QDate day(1996, 3, 12);
    const QString title = QStringLiteral("Fed's \"surprise\" cut; bonds rally'); DROP TABLE TickData; --");
    const QString story = QStringLiteral("Line one; 'quoted'\r\nLine \"two\" -- 100% sure; \\ backslash");
    fx.addNews(day, QStringLiteral("10:15:00"), title, story);
    fx.addNews(day, QStringLiteral("10:20:00"), QStringLiteral("Plain"), QStringLiteral("plain"));

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << s(db.lastError());
    const QList<NewsRelease> news = db.newsReleases(day, QTime(9, 0), QTime(11, 1));
    ASSERT_EQ(news.size(), 2);
    EXPECT_EQ(news[0].date, day);
    EXPECT_EQ(news[0].time, QTime(10, 15));
    EXPECT_EQ(news[0].title, title);
    EXPECT_EQ(news[0].story, story);
    EXPECT_EQ(s(news[1].title), "Plain");
}

TEST(DatabaseQueries, NewsQuerySearchesTheDateTimeIndexAndItsStatementOutlivesCallsNotTheConnection) {
    FixtureDb a(QStringLiteral("database_news_plan_a"));
    FixtureDb b(QStringLiteral("database_news_plan_b"));
    const QDate day(1996, 5, 21);
    a.addNews(day, QStringLiteral("10:00:00"), QStringLiteral("From A"), QStringLiteral("a"));
    b.addNews(day, QStringLiteral("10:00:00"), QStringLiteral("From B"), QStringLiteral("b"));

    // The plan the engine makes for the game's own query text.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(a.path().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* plan = nullptr;
    const std::string explain = std::string("EXPLAIN QUERY PLAN ") + MarketDatabase::kNewsReleasesSql;
    ASSERT_EQ(sqlite3_prepare_v2(raw, explain.c_str(), -1, &plan, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    QStringList steps;
    while (sqlite3_step(plan) == SQLITE_ROW)
        steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)));
    sqlite3_finalize(plan);
    sqlite3_close(raw);
    const QString joined = steps.join(QStringLiteral(" | "));
    EXPECT_TRUE(
        joined.contains(QStringLiteral("SEARCH SortedTickNewsReleases USING INDEX "
                                       "SortedTickNewsReleases_Date (NRDate=? AND NRTime>? AND NRTime<?)")))
        << s(joined);
    EXPECT_FALSE(joined.contains(QStringLiteral("SCAN SortedTickNewsReleases"))) << s(joined);

    // Called again and again, and after the file changed, it answers from
    // the file that is open now.
    MarketDatabase db;
    ASSERT_TRUE(db.open(a.path())) << s(db.lastError());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(titles(db.newsReleases(day, QTime(9, 0), QTime(11, 1))), QStringList{"From A"});
    EXPECT_TRUE(db.newsReleases(day, QTime(11, 1), QTime(14, 0)).isEmpty());
    ASSERT_TRUE(db.open(b.path())) << s(db.lastError());
    EXPECT_EQ(titles(db.newsReleases(day, QTime(9, 0), QTime(11, 1))), QStringList{"From B"});
    db.close();
    EXPECT_TRUE(db.newsReleases(day, QTime(9, 0), QTime(11, 1)).isEmpty());
}
