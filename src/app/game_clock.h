#pragma once
#include "app/game_state.h"

#include <QDate>

namespace pellucar {

// The game's clock: the period index, the data mode, the game's length and
// dates, the calendar's position, the end of the data, the restart request
// and whether the game has started. It is the one writer of those fields of
// the game state; the rest of the game reads them there. (The trading-day
// count comes with the period's data, which the market loader writes.)
class GameClock {
public:
    // What one advance of the period did.
    enum class Step { Advanced, LastPeriod, OutOfData };

    explicit GameClock(GameState& state) : s_(state) {}

    // Start-up: the default start date, before any game.
    void startUp();
    // Begin in the setup window: the period chosen, from its first day for
    // its length (a tick game loads a quarter at most), and its data mode.
    void begin(QDate start, TimePeriodForm::Length length, DataMode mode);
    // Game > Start then sets the game up: its length in periods from the
    // settings, its data mode, and a Play Again's restart request read.
    void setUp(const Settings& settings);
    // The game's length in periods, as a menu or a level sets it.
    void setLength(int periods) { s_.gameLengthDays = periods; }
    // Back to period 0 (a new game, or the end of one); the calendar moves
    // back to its first day with rewind().
    void reset();
    void rewind() { s_.market.tradingDays.position = 0; }
    // Play Again: period 0, the length of the game-length menu, and the
    // restart request that the Forward press (or the next setup) reads.
    void playAgain(int lengthPeriods);
    void clearRestartRequest() { s_.restartRequested = false; }

    // A Forward press: the calendar moves first (daily games), and a tick
    // game's end date is fixed at its first press.
    void moveCalendar();
    // The date shown has reached the end of the game (or there is none).
    bool atEnd() const;
    // A daily calendar with no day left.
    void markOutOfData() { s_.endOfData = true; }
    // The daily calendar's next day, or the end of the data (a window other
    // than Forward asks for it too).
    void moveTradingDay();
    // A tick game's dates are those of its first loaded day.
    void setTickGameDates();
    // Whether this advance opens the last trading day (for games longer
    // than 15 periods); a tick game's length is counted in hours here.
    bool finalDayNotice();
    // The period moves on. At the game's length a tick game's clock stays on
    // the last hour of the last day; a daily game keeps its period count.
    Step advance();

    // The day caption: trading days, one per period or per six hours.
    int dayNumber() const;
    // Continue at the game's last period: a month more for a Novice, a
    // quarter for an Expert, within a year of periods. False when the game
    // is not extended.
    bool extend(Level level);

private:
    GameState& s_;
};

} // namespace pellucar
