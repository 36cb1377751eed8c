#include "app/record/game_statistics.h"
#include "app/record/scenarios.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace pellucar {

namespace {

// Where a scenario stands in the list: games set up by hand first, then the
// scenarios in time order, then any name the list no longer holds.
int scenarioRank(const QString& name) {
    if (name.isEmpty()) return -1;
    const std::vector<Scenario>& all = scenarios();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].name == name) return static_cast<int>(i);
    return static_cast<int>(all.size());
}

} // namespace

std::vector<GameGroupStatistics> gameStatistics(const std::vector<PastGame>& games) {
    using Key = std::tuple<int, int, int, QString>;
    std::map<Key, GameGroupStatistics> groups;
    std::map<Key, double> sums;
    for (const PastGame& g : games) {
        if (g.practice) continue;
        const Key key{static_cast<int>(g.rules), g.level == Level::Novice ? 0 : 1, scenarioRank(g.scenario),
                      g.scenario};
        auto [it, fresh] = groups.try_emplace(key);
        GameGroupStatistics& s = it->second;
        if (fresh) {
            s.rules = g.rules;
            s.level = g.level;
            s.scenario = g.scenario;
            s.bestScore = g.score;
        }
        ++s.games;
        sums[key] += g.score;
        s.bestScore = std::max(s.bestScore, g.score);
        s.won += g.score > 0 ? 1 : 0;
    }
    std::vector<GameGroupStatistics> out;
    for (auto& [key, s] : groups) {
        s.averageScore = sums[key] / s.games;
        s.winRate = static_cast<double>(s.won) / s.games;
        out.push_back(s);
    }
    return out;
}

std::vector<ScorePoint> scoresOverTime(const std::vector<PastGame>& games) {
    std::vector<ScorePoint> out;
    for (const PastGame& g : games)
        if (!g.practice) out.push_back({g.playedAt, g.score, g.rules});
    std::stable_sort(out.begin(), out.end(),
                     [](const ScorePoint& a, const ScorePoint& b) { return a.playedAt < b.playedAt; });
    return out;
}

} // namespace pellucar
