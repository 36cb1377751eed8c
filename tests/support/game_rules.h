#pragma once
#include "app/state/game_state.h"

namespace pellucar::test {

// The game as its rules stand, without what is written again before it is read: price records past the
// current period and the order maxima's figures.
inline GameState rulesOf(const GameState& s) {
    GameState r = s;
    for (int p = s.clock.periodIndex() + 1; p < kPriceRecordCount; ++p) r.prices.records[static_cast<size_t>(p)] = {};
    r.desk.limits = OrderLimits{};
    return r;
}

} // namespace pellucar::test
