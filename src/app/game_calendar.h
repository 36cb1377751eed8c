#pragma once
#include "app/game_clock.h"
#include "market/market_data.h"

#include <QDate>
#include <QString>

namespace pellucar {

// Where the game's clock stands in the calendar of the loaded period. Reads
// only; the clock itself moves in the game's Forward press.

// The clock's caption of tick period n ("9:00 am" .. "2:00 pm"); empty
// before the first period.
QString traderTickTime(int n);
// The trading day of the current tick period; invalid past the loaded days.
QDate currentTickDate(const GameClock& clock, const MarketData& market);
// The day the clock shows: the tick day, or in daily games the calendar day
// before its position (the position runs one ahead).
QDate currentGameDate(const GameClock& clock, const MarketData& market);
// A daily game ends at its length in periods, at its end date, or when the
// calendar runs out, whichever comes first.
int effectiveDailyLength(const GameClock& clock, const TradingDays& days);
// The last day played, for the record of past games; invalid when none.
QDate lastPlayedDate(const GameClock& clock, const MarketData& market);

} // namespace pellucar
