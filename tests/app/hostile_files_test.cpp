// Files from outside the game, as a hostile user or a broken machine leaves them: each is refused with its reason
// or bounded, and nothing the game holds changes.
#include "app/record/past_games.h"
#include "app/record/saved_game.h"
#include "app/record/scenarios.h"
#include "app/record/verdicts.h"
#include "market/database.h"
#include "support/fixture_db.h"
#include "support/game_harness.h"

#include <QDir>
#include <QFile>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

// What a planted schema object does once it runs, and how the file is told to hold it.
const struct {
    const char* name;
    const char* plant;  // SQL run on a record (or database) the game made
    const char* reason; // what the refusal says
} kPlantedObjects[] = {
    {"a trigger deleting the other games",
     "CREATE TRIGGER wipe AFTER INSERT ON %1 BEGIN DELETE FROM %1 WHERE rowid <> new.rowid; END",
     "the file holds a trigger \"wipe\" that the game did not make"},
    {"a recursive view",
     "CREATE VIEW forever AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x FROM n",
     "the file holds a view \"forever\" that the game did not make"},
    {"an extra table", "CREATE TABLE Spare (x); INSERT INTO Spare VALUES (1)",
     "the file holds a table \"Spare\" that the game did not make"},
    {"an extra index", "CREATE INDEX %1ByValue ON %1 (%2)", "the file holds an index \"%1ByValue\""},
    {"a column with a check of its own", "ALTER TABLE %1 ADD COLUMN Spy TEXT CHECK (length(Spy) < 9)",
     "the file's table \"%1\" is not as the game makes it"},
};

// A planted object's text on the file's `table` and one of its numeric `column`s.
QString planted(const char* text, const char* table, const char* column) {
    return QString::fromLatin1(text)
        .replace(QLatin1String("%1"), QLatin1String(table))
        .replace(QLatin1String("%2"), QLatin1String(column));
}

} // namespace

// Help > Past Games, Game > Scenarios and a game's end all open the record; the market database opens at start-up.
TEST(HostileSchema, PlantedObjectsAreRefusedWithTheirReasonAndNeverRun) {
    for (const auto& c : kPlantedObjects) {
        SCOPED_TRACE(c.name);
        ScratchRecord r;
        ASSERT_TRUE(r.store.record(pastGameSample(Level::Expert, 100, 0)));
        ASSERT_TRUE(r.store.record(pastGameSample(Level::Expert, 200, 0)));
        ASSERT_TRUE(sql(r.path, planted(c.plant, "PastGames", "Score").toUtf8().constData()));
        const QByteArray before = fileBytes(r.path);
        const QString reason = planted(c.reason, "PastGames", "Score");
        EXPECT_TRUE(r.store.games().empty());
        EXPECT_TRUE(r.store.lastError().startsWith(reason)) << r.store.lastError().toStdString();
        EXPECT_FALSE(r.store.review(1).has_value() || r.store.record(pastGameSample(Level::Expert, 300, 0)));
        EXPECT_TRUE(r.store.lastError().startsWith(reason));
        EXPECT_EQ(fileBytes(r.path), before);

        FixtureDb db(QStringLiteral("hostile_market"));
        db.addDailyClose(3, QDate(1990, 1, 2), 20);
        db.exec(planted(c.plant, "DailyData", "Close"));
        MarketDatabase market;
        EXPECT_FALSE(market.open(db.path()));
        EXPECT_TRUE(market.lastError().startsWith(planted(c.reason, "DailyData", "Close")))
            << market.lastError().toStdString();
    }
}

TEST(HostileFileKinds, AFifoOrAFolderIsNoRecordOrMarketDatabase) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        const char* name;
        QString path;
        const char* reason;
    } cases[] = {
        {"a FIFO", fifo, "it is not a regular file (a device, pipe or socket)"},
        {"a folder", dir.path(), "it is a folder, not a file"},
        {"a device", QStringLiteral("/dev/zero"), "it is not a regular file (a device, pipe or socket)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PastGames record(c.path);
        EXPECT_TRUE(record.games().empty());
        EXPECT_EQ(record.lastError(), c.reason);
        EXPECT_FALSE(record.record(pastGameSample(Level::Expert, 1, 0)));
        EXPECT_EQ(record.lastError(), c.reason);
        MarketDatabase market;
        EXPECT_FALSE(market.open(c.path));
        EXPECT_EQ(market.lastError(), c.reason);
    }
}

// The engine's words reach the player: finalizing the other statement used to reset them to "not an error".
TEST(HostileRecord, AWriteTheFileRefusesReportsTheEnginesReasonAndAddsNothing) {
    ScratchRecord r;
    ASSERT_TRUE(r.store.record(pastGameSample(Level::Expert, 100, 0)));
    ReviewRecord review;
    review.startingCapital = 100000;
    review.periods.push_back({QDate(1994, 1, 3), -1, 100000, {20, 380, 110, 460, 72, 650}});
    // Two trades under one number: the key of the stored trades refuses the second.
    TradeRecord buy;
    buy.number = buy.day = 1;
    buy.amount = 2;
    buy.price = 20;
    TradeRecord sell = buy;
    sell.side = Side::Sell;
    sell.amount = -2;
    review.trades = {buy, sell};
    EXPECT_FALSE(r.store.record(pastGameSample(Level::Expert, 200, 0), &review));
    EXPECT_TRUE(r.store.lastError().startsWith("UNIQUE constraint failed: GameTrades"))
        << r.store.lastError().toStdString();
    EXPECT_EQ(r.store.games().size(), 1u);
}

TEST(HostileSavedGame, ASavesLeftoversAreRemovedAndNothingElse) {
    const struct {
        const char* name;
        int ageSeconds;
        const char* bytes;
        bool kept;
    } cases[] = {
        {"saved-game.pellucar.AbxQCd", 3600, "PLCRSAVE\0\0", false}, // a save killed an hour ago
        {"saved-game.pellucar.Empgpz", 3600, "", false},             // killed before it wrote
        {"saved-game.pellucar.XyqwZw", 5, "PLCR", true},             // another copy of the game saving now
        {"saved-game.pellucar.backup", 3600, "PLCRSAVE", true},      // a word, the player's own copy
        {"saved-game.pellucar.Notes", 3600, "", true},
        {"saved-game.pellucar.Letter", 3600, "Dear", true}, // not a save
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        QFile f(dir.filePath(QLatin1String(c.name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.flush();
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addSecs(-c.ageSeconds), QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(writeSavedGameFile(dir.path(), encodeSavedGame(SavedGame{})), QString());
    for (const auto& c : cases) EXPECT_EQ(QFile::exists(dir.filePath(QLatin1String(c.name))), c.kept) << c.name;
    EXPECT_TRUE(QFile::exists(savedGamePath(dir.path())));
}

// A row the game could not have written hides only itself: it is skipped and counted, the others are listed, and
// the next game is added.
TEST(HostileRecord, ADamagedRowIsSkippedAndCountedNotHidingTheRecord) {
    const struct {
        const char* name;
        const char* damage; // on the second of three games
        int skipped;
    } rows[] = {
        {"a score stored as text", "Score = 'lots'", 1},
        {"a score past a trillion", "Score = -1000000000000.5", 1},
        {"a verdict of ten megabytes", "Verdict = hex(zeroblob(5000000))", 1},
        {"a verdict a character past the bound", "Verdict = substr(hex(zeroblob(200)), 1, 201)", 1},
        {"a verdict as long as the bound", "Verdict = substr(hex(zeroblob(200)), 1, 200)", 0},
        {"a scenario of a megabyte", "Scenario = hex(zeroblob(500000))", 1},
        {"no period played", "Periods = 0", 1},
        {"more trades than the log holds", "Trades = 11476", 1},
        {"an end before the start", "PeriodEnd = '1993-12-31'", 1},
        {"a level unknown", "Level = 'Wizard'", 1},
        {"a time of day that is none", "PlayedAt = '2026-03-01T25:00:00'", 1},
        {"a time with a letter for a digit", "PlayedAt = '2026-03-01T2O:00:00'", 1},
        {"a time with a dot for a colon", "PlayedAt = '2026-03-01T20.00:00'", 1},
        {"the 30th of February", "PeriodEnd = '1994-02-30'", 1},
        {"a date with a blank for a digit", "PeriodStart = '1994-01- 3'", 1},
        {"a level in other letters", "Level = 'expert'", 1},
        {"a negative id", "GameID = -2", 1},
        {"a rule set unknown", "RuleSet = 'Turbo'", 1},
        {"practice neither yes nor no", "Practice = 2", 1},
        {"practice half way", "Practice = 0.5", 1},
        {"a negative commission", "RuleSet = 'Trainer', Commissions = -0.5", 1},
        {"a Classic game charged commissions", "Commissions = 25", 1},
        {"a Trainer game that paid commissions", "RuleSet = 'Trainer', Commissions = 25", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchRecord r;
        for (double score : {100, 200, 300}) ASSERT_TRUE(r.store.record(pastGameSample(Level::Expert, score, 0)));
        ASSERT_TRUE(sql(r.path, (QByteArray("UPDATE PastGames SET ") + row.damage + " WHERE GameID = 2").constData()));
        EXPECT_EQ(r.store.games().size(), 3u - row.skipped);
        EXPECT_FALSE(r.store.failed()) << r.store.lastError().toStdString();
        EXPECT_EQ(r.store.skipped(), row.skipped);
        ASSERT_TRUE(r.store.record(pastGameSample(Level::Expert, 400, 0)));
        EXPECT_EQ(r.store.games().size(), 4u - row.skipped);
    }
}

// A game's local time reads as the system's zone has it, on either side of its clock changes and in the hour
// that comes twice, though the list asks the zone only near a change.
TEST(HostileRecord, PlayedTimesReadAsTheZoneHasThemAcrossItsClockChanges) {
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    const char* const times[] = {"2026-11-20T12:00:00", "2026-10-26T12:00:00", "2026-10-25T02:30:00",
                                 "2026-10-24T12:00:00", "2026-03-29T03:30:00", "2026-03-28T23:00:00",
                                 "2026-01-15T12:00:00"}; // newest first, as listed
    ScratchRecord r;
    for (const char* t : times) {
        ASSERT_TRUE(r.store.record(pastGameSample(Level::Expert, 100, 0)));
        ASSERT_TRUE(sql(r.path, (QByteArray("UPDATE PastGames SET PlayedAt = '") + t +
                                 "' WHERE GameID = (SELECT max(GameID) FROM PastGames)")
                                    .constData()));
    }
    const std::vector<PastGame> games = r.store.games();
    ASSERT_EQ(games.size(), std::size(times));
    const QTimeZone zone("Europe/Berlin");
    for (size_t i = 0; i < games.size(); ++i) {
        const QDateTime t = QDateTime::fromString(QLatin1String(times[i]), Qt::ISODate);
        EXPECT_EQ(games[i].playedAt.toMSecsSinceEpoch(), QDateTime(t.date(), t.time(), zone).toMSecsSinceEpoch())
            << times[i];
    }
    if (oldZone.isNull()) qunsetenv("TZ");
    else qputenv("TZ", oldZone);
}

// What the game writes fits the bounds the record reads with.
TEST(HostileRecord, EveryVerdictAndScenarioTheGameWritesFitsTheRecordsBounds) {
    qsizetype longest = QStringLiteral("You Blew Out of the Game, by Losing All of Your Money!").size();
    for (int band = 0; band <= static_cast<int>(VerdictBand::HeavyLoss); ++band)
        for (int column = 0; column <= 4; ++column)
            for (int pick : {1, 2})
                longest = std::max(longest, verdictText(static_cast<VerdictBand>(band), column, pick).size());
    EXPECT_LE(longest, PastGames::kMostVerdict);
    for (const Scenario& s : scenarios()) EXPECT_LE(s.name.size(), PastGames::kMostScenario);
}

// Help > Past Games lists the games that read and says how many did not.
TEST(HostileRecord, PastGamesSaysHowManyStoredGamesItLeftOut) {
    RecordedGame r;
    for (double score : {100, 200, 300}) ASSERT_TRUE(r.store.record(pastGameSample(Level::Expert, score, 0)));
    ASSERT_TRUE(sql(r.path, "UPDATE PastGames SET Score = 'lots' WHERE GameID IN (1, 3)"));
    r.take();
    r.game->click("mnuPastGames");
    const QStringList shown = r.take();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("frmPastGames: Past Games | 2 stored games cannot be read and are not listed.\\n"));
    EXPECT_TRUE(shown[0].endsWith("\\nGames: 1")) << shown[0].toStdString();
}
