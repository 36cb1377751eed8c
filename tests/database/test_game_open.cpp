// The game's reads of the built futures.mdb: the stamp it checks at open,
// and what becomes of the file cut short or with pages damaged.
#include "db_test_support.h"

#include "market/database.h"
#include "market/market_data.h"
#include "market/schema.h"
#include "support/fixture_db.h"

#include <QFile>

namespace {

using pellucar::kLoadFailed;
using pellucar::kMarketCount;
using pellucar::MarketData;
using pellucar::MarketDatabase;

std::string s(const QString& q) { return q.toStdString(); }

QByteArray builtBytes() {
    QFile f(QStringLiteral(PELLUCAR_DB_PATH));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString writeCopy(const char* name, const QByteArray& bytes) {
    const QString path = QStringLiteral(PELLUCAR_TEST_TMP) + QLatin1Char('/') + QLatin1String(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) return {};
    return path;
}

// A tick period as the game loads one: trading days, their tick days, six markets.
// Returns the markets whose ticks failed to load.
int failedTickMarkets(MarketDatabase& db, const QDate& start, MarketData& md) {
    const int n = pellucar::LoadTradingDays(db, QStringLiteral("Tick"), false, start, md.tradingDays);
    EXPECT_GT(n, 55) << s(start.toString(Qt::ISODate)) << ": " << s(db.lastError());
    md.tickDays = {};
    md.tickDayCount = std::max(n, 0);
    for (int d = 0; d < md.tickDayCount; ++d) md.tickDays[static_cast<size_t>(d)].date = md.tradingDays.days[d];
    int failed = 0;
    for (int id = 1; id <= kMarketCount; ++id) {
        const int ticks = pellucar::LoadTickData(db, id, start, false, md);
        if (ticks == kLoadFailed) ++failed;
        else EXPECT_EQ(ticks, 6 * n) << id << " " << s(start.toString(Qt::ISODate)); // six derived ticks a day
    }
    return failed;
}

} // namespace

TEST(GameReads, TheBuiltFileCarriesTheStampTheGameChecks) {
    const dbtest::Database db(PELLUCAR_DB_PATH);
    ASSERT_TRUE(db.ok());
    EXPECT_EQ(db.count("PRAGMA application_id"), pellucar::schema::kApplicationId);
    EXPECT_EQ(db.count("PRAGMA user_version"), pellucar::schema::kFormatVersion);
    MarketDatabase game;
    EXPECT_TRUE(game.open(QStringLiteral(PELLUCAR_DB_PATH))) << s(game.lastError());
}

TEST(GameReads, ACopyCutShortIsRefusedAtOpen) {
    const QByteArray whole = builtBytes();
    ASSERT_GT(whole.size(), 100 * 4096);
    // The header gives the page count; a file with fewer pages is refused by
    // the engine before any table is read.
    for (const qsizetype keep : {whole.size() - 4096, whole.size() / 2, qsizetype(2 * 4096), qsizetype(4096)}) {
        const QString path = writeCopy("truncated.mdb", whole.left(keep));
        ASSERT_FALSE(path.isEmpty());
        MarketDatabase db;
        EXPECT_FALSE(db.open(path)) << keep;
        EXPECT_FALSE(db.isOpen());
        EXPECT_EQ(s(db.lastError()), "database disk image is malformed") << keep;
        QFile::remove(path);
    }
}

TEST(GameReads, DamagedPagesFailOnlyThePeriodsThatReadThem) {
    const QString path = writeCopy("damaged_built.mdb", builtBytes());
    ASSERT_FALSE(path.isEmpty());
    // The ticks of January to September 1997 and the daily rows of 1995.
    ASSERT_GT(pellucar::test::damageTablePages(path, {"1997-0", ":00"}, {"1996-", "1997-1"}), 6);
    ASSERT_GT(pellucar::test::damageTablePages(path, {"1995-"}, {"1994-", "1996-"}), 6);

    MarketDatabase db;
    ASSERT_TRUE(db.open(path)) << s(db.lastError());
    auto md = std::make_unique<MarketData>();

    EXPECT_EQ(failedTickMarkets(db, QDate(1996, 1, 1), *md), 0) << s(db.lastError());
    EXPECT_EQ(failedTickMarkets(db, QDate(1997, 1, 1), *md), kMarketCount);
    EXPECT_EQ(s(db.lastError()), "database disk image is malformed");
    EXPECT_EQ(failedTickMarkets(db, QDate(1997, 10, 1), *md), 0) << s(db.lastError());

    for (int id = 1; id <= kMarketCount; ++id) {
        EXPECT_GT(pellucar::LoadDailyData(db, id, QDate(1994, 1, 1), md->series[id]), 240) << id;
        EXPECT_EQ(pellucar::LoadDailyData(db, id, QDate(1995, 1, 1), md->series[id]), kLoadFailed) << id;
        EXPECT_EQ(s(db.lastError()), "database disk image is malformed");
        EXPECT_GT(pellucar::LoadDailyData(db, id, QDate(1996, 1, 1), md->series[id]), 240) << id;
    }
    db.close();
    QFile::remove(path);
}
