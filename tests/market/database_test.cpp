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

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// A file of the given bytes, or (sql set) a SQLite file made from that SQL.
QString writeFile(const char* name, const QByteArray& content, const QString& sql = {}) {
    const QString path = tmpPath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();
    if (sql.isEmpty()) return path;
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << name;
    sqlite3_close(db);
    return path;
}

QList<QDate> days1990(MarketDatabase& db) { return db.tradingDaysDaily(QDate(1990, 1, 1), QDate(1991, 1, 1)); }

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
        const QByteArray before = bytes(path);
        EXPECT_FALSE(db.open(path)) << s(path);
        EXPECT_FALSE(db.isOpen());
        EXPECT_FALSE(db.lastError().isEmpty()) << s(path);
        EXPECT_EQ(bytes(path), before) << "opening must not write to " << s(path);
    }
    // Queries on a closed object answer nothing, and say that they failed.
    const QDate d(1996, 1, 2);
    EXPECT_TRUE(db.tradingDaysDaily(d, d.addYears(1)).isEmpty());
    EXPECT_TRUE(db.failed());
    EXPECT_TRUE(db.dailyRows(3, d, d.addYears(1)).isEmpty());
    EXPECT_FALSE(db.tickRows(3, d, d.addMonths(1), [](const TickRow&) { return true; }));
    EXPECT_TRUE(db.overviewNews(d, 3).isEmpty());
    EXPECT_TRUE(db.newsReleases(d, QTime(0, 0), QTime(23, 59)).isEmpty());
    EXPECT_TRUE(db.failed());
}

TEST(DatabaseOpen, AFileStampedByAnotherApplicationOrANewerBuilderIsRefused) {
    MarketDatabase db;
    struct Case {
        const char* name;
        const char* stamp;
        const char* message; // empty: it opens
    };
    const Case cases[] = {
        // A GeoPackage (application id "GPKG") that happens to hold tables of the same names.
        {"stamp_gpkg", "PRAGMA application_id = 1196444487;",
         "not a Pellucar market database (application id 0x47504b47)"},
        {"stamp_newer", "PRAGMA application_id = 1347175250; PRAGMA user_version = 2;",
         "the market database has format 2; this game reads format 1 or older"},
        {"stamp_current", schema::kStampSql, ""},
        // Files without a stamp are judged by their tables and fields alone;
        // another tool's user_version means nothing to the game.
        {"stamp_none_version_9", "PRAGMA user_version = 9;", ""},
    };
    for (const Case& c : cases) {
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
    const QByteArray before = bytes(path);
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
    EXPECT_TRUE(bytes(path) == before);
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
    EXPECT_EQ(s(db.overviewNews(QDate(1990, 1, 2), 3)), "Oil.");
    EXPECT_EQ(s(db.overviewNews(QDate(1990, 1, 2), 2)), "Gold quiet.");
    EXPECT_EQ(s(db.overviewNews(QDate(1990, 1, 3), 3)), "Oil next day.");
    EXPECT_TRUE(db.overviewNews(QDate(1990, 1, 3), 2).isEmpty());
    EXPECT_TRUE(db.overviewNews(QDate(1990, 1, 4), 3).isEmpty());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(titles(db.newsReleases(day, QTime(9, 0), QTime(11, 1))), QStringList{"From A"});
    EXPECT_EQ(db.newsReleases(day, QTime(9, 0), QTime(11, 1)).value(0).story, story); // unchanged
    EXPECT_TRUE(db.newsReleases(day, QTime(11, 1), QTime(14, 0)).isEmpty());
    ASSERT_TRUE(db.open(b.path())) << s(db.lastError());
    EXPECT_EQ(titles(db.newsReleases(day, QTime(9, 0), QTime(11, 1))), QStringList{"From B"});
    db.close();
    EXPECT_TRUE(db.newsReleases(day, QTime(9, 0), QTime(11, 1)).isEmpty());
}
