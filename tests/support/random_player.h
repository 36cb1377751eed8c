#pragma once
// The seeded player of the randomized tests: one engine makes every choice, so a seed repeats a failing run.
#include "common/level.h"
#include "common/market.h"
#include "trading/side.h"

#include <QList>
#include <cstdint>
#include <random>

namespace pellucar::test {

struct RandomPlayer {
    struct Order {
        Market market;
        Side side;
        int units;
    };

    std::mt19937_64 engine;
    explicit RandomPlayer(std::uint64_t seed) : engine(seed) {}

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(engine) < p; }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine); }
    int upTo(int n) { return between(0, n - 1); } // 0..n-1
    template <typename T> const T& pick(const QList<T>& l) { return l[between(0, static_cast<int>(l.size()) - 1)]; }
    // A market the level trades, a side, and mostly a few contracts but now and then a size past every limit.
    Order order(Level level) {
        const Market m = level == Level::Novice ? Market::Oil : kTradingOrder[static_cast<size_t>(between(0, 5))];
        const Side side = chance(0.5) ? Side::Buy : Side::Sell;
        return {m, side, chance(0.1) ? between(1, 450) : between(1, 8)};
    }
};

} // namespace pellucar::test
