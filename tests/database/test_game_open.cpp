// The game's opening of the built futures.mdb: the stamp it checks, and a
// copy of the file cut short.
#include "db_test_support.h"

#include "market/database.h"
#include "market/schema.h"

#include <QFile>
#include <QTemporaryDir>

using pellucar::MarketDatabase;

TEST(GameOpen, TheBuiltFileCarriesTheStampTheGameChecksAndACopyCutShortIsRefused) {
    const dbtest::Database stamp(PELLUCAR_DB_PATH);
    ASSERT_TRUE(stamp.ok());
    EXPECT_EQ(stamp.count("PRAGMA application_id"), pellucar::schema::kApplicationId);
    EXPECT_EQ(stamp.count("PRAGMA user_version"), pellucar::schema::kFormatVersion);
    MarketDatabase game;
    EXPECT_TRUE(game.open(QStringLiteral(PELLUCAR_DB_PATH))) << game.lastError().toStdString();

    QFile built(QStringLiteral(PELLUCAR_DB_PATH));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    const QByteArray whole = built.readAll();
    ASSERT_GT(whole.size(), 100 * 4096);
    QTemporaryDir tmp;
    QFile cut(tmp.filePath(QStringLiteral("truncated.mdb")));
    // The header gives the page count: the engine refuses fewer pages before any table is read.
    for (const qsizetype keep : {whole.size() - 4096, whole.size() / 2, qsizetype(2 * 4096), qsizetype(4096)}) {
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate) && cut.write(whole.left(keep)) == keep);
        cut.close();
        MarketDatabase db;
        EXPECT_FALSE(db.open(cut.fileName())) << keep;
        EXPECT_FALSE(db.isOpen());
        EXPECT_FALSE(db.lastError().isEmpty()) << keep;
    }
}
