#pragma once
#include "app/record/past_games.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace pellucar {

// The games of one rule set and level from one starting point (a scenario,
// or none for a game set up by hand), as Past Games sums them up.
struct GameGroupStatistics {
    RuleSet rules = RuleSet::Classic;
    Level level = Level::Expert;
    QString scenario; // empty: games set up by hand
    int games = 0;
    double averageScore = 0;
    double bestScore = 0;
    // A game is won when it ends with a profit (a score above zero): the
    // verdicts praise a gain and console a loss, whatever its size.
    int won = 0;
    double winRate = 0; // won over games, 0..1
    bool operator==(const GameGroupStatistics&) const = default;
};

// One group per rule set, level and scenario that has games, Classic first,
// then Novice first, then games set up by hand before the scenarios in their
// time order. Practice games count nowhere: they never enter a best score,
// nor the figures a best score stands among.
std::vector<GameGroupStatistics> gameStatistics(const std::vector<PastGame>& games);

// One finished game on the chart of scores over time.
struct ScorePoint {
    QDateTime playedAt;
    double score = 0;
    RuleSet rules = RuleSet::Classic;
    bool operator==(const ScorePoint&) const = default;
};
// The scores of the games counted above, oldest first.
std::vector<ScorePoint> scoresOverTime(const std::vector<PastGame>& games);

} // namespace pellucar
