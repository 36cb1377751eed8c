#pragma once
#include "app/state/game_state.h"
#include "trading/working_orders.h"

#include <optional>

namespace pellucar {

// The prices of `m` in the period the game stands at, as working orders fill
// against them: a daily game's day from the series row its close came from,
// a tick hour's one price as open, high, low and close. None where the game
// has no price of the market this period.
std::optional<PeriodRange> periodRangeOf(const GameState& s, Market m);

} // namespace pellucar
