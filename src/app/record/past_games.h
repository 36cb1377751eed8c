#pragma once
#include "app/record/review.h"
#include "app/state/settings.h"
#include "common/level.h"
#include "common/rule_set.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace pellucar {

// How a game came to its end.
enum class GameEnding {
    LengthReached, // the clock reached the game's length or the end of its data
    BlownOut,      // the account was worth nothing
    EndedByPlayer, // Game > End (or Restart, or the close box), then Play Again or End
};
// "Length", "BlowOut", "Ended": the texts stored in the file.
QString gameEndingName(GameEnding e);
std::optional<GameEnding> gameEndingFromName(const QString& name);
// "Month", "Quarter", "Year".
QString gameLengthName(GameLength l);
std::optional<GameLength> gameLengthFromName(const QString& name);

// One finished game as recorded.
struct PastGame {
    qint64 id = 0;      // assigned by the store
    QDateTime playedAt; // local time the game ended
    QDate periodStart;  // first and last market day played
    QDate periodEnd;
    Level level = Level::Expert;
    DataMode dataMode = DataMode::Daily;
    GameLength length = GameLength::Year;
    int periods = 0; // periods played (days, or hours in a Tick game)
    int trades = 0;
    double score = 0; // realized plus unrealized profit and loss, dollars
    QString verdict;  // the verdict or message of the summary window
    GameEnding ending = GameEnding::LengthReached;
    QString scenario;        // the historic scenario it started from, if any
    bool reviewKept = false; // games recorded before reviews were kept have none
    RuleSet rules = RuleSet::Classic;
    // A practice game (one rewound, or marked so by the player) is listed
    // but never counts towards a best score.
    bool practice = false;
    double commissions = 0; // paid under the Trainer rules, dollars
};

// The highest score reached at one level under one rule set, and the game
// that reached it.
struct BestScore {
    Level level = Level::Expert;
    PastGame game;
    RuleSet rules = RuleSet::Classic;
};

// The best score of each rule set and level that has games, Classic first,
// then Novice first; of equal scores the earlier game. Practice games are
// left out.
std::vector<BestScore> bestScores(const std::vector<PastGame>& games);

// The record of finished games: a small SQLite file of the player's own.
// The file is made on the first record; every write is one transaction, so
// a crash leaves either the whole game or none of it. Values are always
// bound, never pasted into SQL.
//
// Failures: a file that cannot be made, is damaged, is some other
// program's, or was written by a newer version of the game makes the call
// fail: failed() is set and lastError() says why; a call that succeeds
// clears both. Queries that fail return nothing.
class PastGames {
public:
    // The file's layout version (SQLite's user_version): each version adds
    // to the one before, so older files are brought up to date on open.
    static constexpr int kSchemaVersion = 4;
    // The most the game stores: the longest verdict or end message and the
    // longest scenario name are well within these; a score of a trillion
    // dollars is past what any account can hold (a review's bound too).
    static constexpr int kMostVerdict = 200;
    static constexpr int kMostScenario = 60;
    static constexpr double kMostScore = 1e12;

    // The layout steps: entry v brings a file of version v to v + 1.
    static std::span<const char* const> migrations();
    // "PLPG" in the file header tells the record apart from any other SQLite
    // file (the market database carries "PLCR").
    static constexpr int kApplicationId = 0x504C5047;

    explicit PastGames(QString path);
    // past-games.sqlite in the application's data folder.
    static QString defaultPath();

    const QString& path() const { return path_; }
    bool failed() const { return failed_; }
    const QString& lastError() const { return error_; }
    // The stored games the last games() left out, as no game the game
    // could have written (a damaged or edited row).
    int skipped() const { return skipped_; }

    // Adds one game, with what its review is computed from when given;
    // false when it could not be written.
    bool record(const PastGame& game, const ReviewRecord* review = nullptr);
    // Every game that reads whole, the most recent first; skipped() counts
    // the rest.
    std::vector<PastGame> games();
    // What the review of game `id` reads; nothing for a game recorded
    // without it (failed() clear) or one that cannot be read (failed() set).
    std::optional<ReviewRecord> review(qint64 id);

private:
    class Connection;
    bool fail(const QString& why);
    bool succeed();

    QString path_;
    bool failed_ = false;
    QString error_;
    int skipped_ = 0;
};

} // namespace pellucar
