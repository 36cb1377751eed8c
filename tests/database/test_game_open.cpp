// The game's opening of the built futures.mdb: the stamp it checks, and a
// copy of the file cut short.
#include "db_test_support.h"

#include "market/database.h"
#include "market/market_data.h"
#include "market/schema.h"

#include <QFile>
#include <QFileInfo>

namespace {

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

} // namespace

TEST(GameOpen, TheBuiltFileCarriesTheStampTheGameChecks) {
    const dbtest::Database db(PELLUCAR_DB_PATH);
    ASSERT_TRUE(db.ok());
    EXPECT_EQ(db.count("PRAGMA application_id"), pellucar::schema::kApplicationId);
    EXPECT_EQ(db.count("PRAGMA user_version"), pellucar::schema::kFormatVersion);
    MarketDatabase game;
    EXPECT_TRUE(game.open(QStringLiteral(PELLUCAR_DB_PATH))) << s(game.lastError());
}

TEST(GameOpen, ACopyCutShortIsRefusedAtOpen) {
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
        EXPECT_FALSE(db.lastError().isEmpty()) << keep;
        QFile::remove(path);
    }
}

void dbtest::expectSameHoursBothWays(const std::string& file) {
    QFile source(QString::fromStdString(file));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    // Named after its source: tests run side by side.
    const QString plain =
        writeCopy(("without_hours_" + QFileInfo(source).fileName().toStdString()).c_str(), source.readAll());
    sqlite3* copy = nullptr;
    ASSERT_EQ(sqlite3_open(plain.toUtf8().constData(), &copy), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(copy, "DROP TABLE TickPeriods", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(copy);
    MarketDatabase hours, trades;
    ASSERT_TRUE(hours.open(QString::fromStdString(file)) && trades.open(plain));
    ASSERT_TRUE(hours.hasTickPeriods() && !trades.hasTickPeriods());
    const QDate month(1996, 1, 1);
    pellucar::MarketData read[2];
    MarketDatabase* from[2] = {&hours, &trades};
    for (int way = 0; way < 2; ++way) {
        pellucar::MarketData& md = read[way];
        ASSERT_GT(pellucar::LoadTradingDays(*from[way], QStringLiteral("Tick"), true, month, md.tradingDays), 0);
        md.startTickDays();
        for (int id = 1; id <= pellucar::kMarketCount; ++id)
            ASSERT_NE(pellucar::LoadTickData(*from[way], id, month, true, md), pellucar::kLoadFailed);
    }
    EXPECT_TRUE(read[0].tickDays == read[1].tickDays);
    QFile::remove(plain);
}
