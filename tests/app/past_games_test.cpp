// The record of finished games.
#include "app/past_games.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

PastGame sample(Level level, double score, int minute) {
    PastGame g;
    g.playedAt = QDateTime(QDate(2026, 3, 1), QTime(20, minute));
    g.periodStart = QDate(1994, 1, 3);
    g.periodEnd = QDate(1994, 3, 31);
    g.level = level;
    g.dataMode = minute % 2 ? DataMode::Tick : DataMode::Daily;
    g.length = GameLength::Quarter;
    g.periods = 63;
    g.trades = minute;
    g.score = score;
    g.verdict = QStringLiteral("Don't You Wish This Was Real Money!");
    g.ending = GameEnding::EndedByPlayer;
    return g;
}

void sql(const QString& path, const char* statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(PastGamesStore, KeepsEveryFieldAcrossReopeningAndFindsTheBestOfEachLevel) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data/past-games.sqlite"));
    {
        PastGames store(path);
        EXPECT_TRUE(store.games().empty());
        EXPECT_FALSE(store.failed());
        EXPECT_FALSE(QFileInfo::exists(path)); // looking makes no file
        PastGame first = sample(Level::Novice, -1234.5, 1);
        first.verdict = QStringLiteral("You are the 'Rogue Trader'; \"quotes\" and ; semicolons");
        first.ending = GameEnding::BlownOut;
        ASSERT_TRUE(store.record(first)) << store.lastError().toStdString();
        for (const PastGame& g : {sample(Level::Novice, 900, 2), sample(Level::Expert, 12000, 3),
                                  sample(Level::Expert, 12000, 4), sample(Level::Novice, 150, 5)})
            ASSERT_TRUE(store.record(g)) << store.lastError().toStdString();
    }
    PastGames reopened(path);
    const std::vector<PastGame> games = reopened.games();
    ASSERT_FALSE(reopened.failed()) << reopened.lastError().toStdString();
    ASSERT_EQ(games.size(), 5u);
    EXPECT_EQ(games.front().playedAt.time().minute(), 5); // the most recent first
    const PastGame& g = games.back();
    const PastGame want = sample(Level::Novice, -1234.5, 1);
    EXPECT_EQ(g.playedAt, want.playedAt);
    EXPECT_EQ(g.periodStart, want.periodStart);
    EXPECT_EQ(g.periodEnd, want.periodEnd);
    EXPECT_EQ(g.level, Level::Novice);
    EXPECT_EQ(g.dataMode, DataMode::Tick);
    EXPECT_EQ(g.length, GameLength::Quarter);
    EXPECT_EQ(g.periods, 63);
    EXPECT_EQ(g.trades, 1);
    EXPECT_EQ(g.score, -1234.5);
    EXPECT_EQ(g.verdict, "You are the 'Rogue Trader'; \"quotes\" and ; semicolons");
    EXPECT_EQ(g.ending, GameEnding::BlownOut);

    const std::vector<BestScore> best = bestScores(games);
    ASSERT_EQ(best.size(), 2u);
    EXPECT_EQ(best[0].level, Level::Novice);
    EXPECT_EQ(best[0].game.score, 900);
    EXPECT_EQ(best[1].level, Level::Expert);
    EXPECT_EQ(best[1].game.score, 12000);
    EXPECT_EQ(best[1].game.trades, 3); // of two equal scores, the earlier game
    EXPECT_TRUE(bestScores({}).empty());
}

TEST(PastGamesStore, ADamagedForeignOrNewerFileFailsWithAReasonAndIsLeftAsItWas) {
    QTemporaryDir dir;
    const QString garbage = dir.filePath(QStringLiteral("garbage.sqlite"));
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("not a database at all ").repeated(200));
    }
    const QByteArray before = contents(garbage);
    PastGames damaged(garbage);
    EXPECT_FALSE(damaged.record(sample(Level::Expert, 1, 1)));
    EXPECT_TRUE(damaged.failed());
    EXPECT_FALSE(damaged.lastError().isEmpty());
    EXPECT_TRUE(damaged.games().empty());
    EXPECT_TRUE(damaged.failed());
    EXPECT_EQ(contents(garbage), before);

    const QString foreign = dir.filePath(QStringLiteral("foreign.sqlite"));
    sql(foreign, "CREATE TABLE Notes (Text TEXT); INSERT INTO Notes VALUES ('keep me');");
    PastGames other(foreign);
    EXPECT_FALSE(other.record(sample(Level::Expert, 1, 1)));
    EXPECT_EQ(other.lastError(), "the file belongs to another program");
    EXPECT_TRUE(other.games().empty());
    EXPECT_TRUE(other.failed());
    sql(foreign, "SELECT Text FROM Notes"); // still there, still readable

    const QString newer = dir.filePath(QStringLiteral("newer.sqlite"));
    PastGames store(newer);
    ASSERT_TRUE(store.record(sample(Level::Expert, 1, 1)));
    sql(newer, "PRAGMA user_version = 99");
    EXPECT_FALSE(store.record(sample(Level::Expert, 2, 2)));
    EXPECT_TRUE(store.games().empty());
    EXPECT_EQ(store.lastError(), "the file was written by a newer version of the game");
    // A value the game never writes is a damaged row, not a crash.
    sql(newer, "PRAGMA user_version = 1; UPDATE PastGames SET Level = 'Wizard'");
    EXPECT_TRUE(store.games().empty());
    EXPECT_TRUE(store.failed());
}
