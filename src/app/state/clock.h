#pragma once
#include "app/state/time_period_form.h"
#include "common/data_mode.h"
#include "common/level.h"
#include "market/market_data.h"

#include <QDate>

namespace pellucar {

struct Settings;

// The game's clock: the period index, the data mode, the game's length and
// dates, the calendar's position among the loaded trading days, the
// trading-day count of the loaded period, the end of the data, the restart
// request and whether the game has started. Its fields change only through
// the steps below, so a saved game or a test cannot put the clock anywhere
// the presses of a game could not.
class GameClock {
public:
    // What one advance of the period did.
    enum class Step { Advanced, LastPeriod, OutOfData };

    // Start-up: the default start date, before any game.
    void startUp();
    // Begin in the setup window: the period chosen, from its first day for
    // its length (a tick game loads a quarter at most), and its data mode.
    void begin(QDate start, GameLength length, DataMode mode);
    // Game > Start then sets the game up: its length in periods from the
    // settings, its data mode, and a Play Again's restart request read.
    void setUp(const Settings& settings);
    // The game's length in periods, as a menu or a level sets it.
    void setLength(int periods) { lengthPeriods_ = periods; }
    // A period of `tradingDays` days was loaded: the calendar stands on its
    // first day.
    void periodLoaded(int tradingDays);
    // Back to period 0 (a new game, or the end of one); the calendar moves
    // back to its first day with rewind().
    void reset();
    void rewind() { calendar_ = 0; }
    // Play Again: period 0, the length of the game-length menu, and the
    // restart request that the Forward press (or the next setup) reads.
    void playAgain(int lengthPeriods);
    void clearRestartRequest() { restartRequested_ = false; }

    // A Forward press: the calendar moves first (daily games), and a tick
    // game's end date is fixed at its first press.
    void moveCalendar(const MarketData& market);
    // The date shown has reached the end of the game (or there is none).
    bool atEnd(const MarketData& market) const;
    // A daily calendar with no day left.
    void markOutOfData() { endOfData_ = true; }
    // The daily calendar's next day, or the end of the data (a window other
    // than Forward asks for it too).
    void moveTradingDay(const TradingDays& days);
    // A tick game's dates are those of its first loaded day.
    void setTickGameDates(const MarketData& market);
    // Whether this advance opens the last trading day (for games longer
    // than 15 periods); a tick game's length is counted in hours here.
    bool finalDayNotice(const TradingDays& days);
    // The period moves on. At the game's length a tick game's clock stays on
    // the last hour of the last day; a daily game keeps its period count.
    Step advance();

    // The day caption: trading days, one per period or per six hours.
    int dayNumber() const;
    // Continue at the game's last period: a month more for a Novice, a
    // quarter for an Expert, within a year of periods. False when the game
    // is not extended.
    bool extend(Level level);

    int periodIndex() const { return period_; }
    DataMode dataMode() const { return mode_; }
    int lengthPeriods() const { return lengthPeriods_; }
    QDate startDate() const { return startDate_; }
    QDate endDate() const { return endDate_; }
    GameLength setupLength() const { return setupLength_; }
    bool endOfData() const { return endOfData_; }
    int tradingDayCount() const { return tradingDayCount_; }
    // The calendar runs one ahead of the day shown in daily games.
    int calendarPosition() const { return calendar_; }
    bool restartRequested() const { return restartRequested_; }
    bool started() const { return started_; }

    bool operator==(const GameClock&) const = default;

private:
    DataMode mode_ = DataMode::None;
    int lengthPeriods_ = 0;
    QDate startDate_{1990, 12, 15};
    QDate endDate_;
    // The length option of the last setup (month, quarter, year).
    GameLength setupLength_ = GameLength::Year;
    int period_ = 0;
    bool endOfData_ = false;
    int tradingDayCount_ = 0;
    int calendar_ = 0;
    bool restartRequested_ = false;
    bool started_ = false;
};

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
