#include "app/state/clock.h"
#include "app/state/settings.h"
#include "charts/chart_options.h"

#include <algorithm>

namespace pellucar {

namespace {

QDate addLength(const QDate& d, GameLength len) {
    switch (len) {
    case GameLength::Month: return d.addMonths(1);
    case GameLength::Quarter: return d.addMonths(3);
    case GameLength::Year: return d.addMonths(12);
    }
    return d;
}

} // namespace

void GameClock::startUp() {
    startDate_ = QDate(1990, 12, 15);
    calendar_ = 0;
}

void GameClock::begin(QDate start, GameLength length, DataMode mode) {
    startDate_ = start;
    setupLength_ = mode == DataMode::Tick && length == GameLength::Year ? GameLength::Quarter : length;
    endDate_ = addLength(start, setupLength_);
    mode_ = mode;
}

void GameClock::setUp(const Settings& settings) {
    // A game that ended with Play Again leaves the restart request set; the
    // new game starts with Forward free.
    restartRequested_ = false;
    lengthPeriods_ = settings.lengthDays(360);
    mode_ = settings.data;
}

void GameClock::periodLoaded(int tradingDays) {
    tradingDayCount_ = tradingDays;
    calendar_ = 0;
}

void GameClock::reset() {
    endOfData_ = false;
    period_ = 0;
    started_ = false;
}

void GameClock::playAgain(int lengthPeriods) {
    rewind();
    period_ = 0;
    lengthPeriods_ = lengthPeriods;
    restartRequested_ = true;
}

void GameClock::moveCalendar(const MarketData& market) {
    endOfData_ = false;
    if (mode_ == DataMode::Daily) moveTradingDay(market.tradingDays);
    else if (mode_ == DataMode::Tick && period_ == 0) endDate_ = addLength(startDate_, setupLength_);
}

void GameClock::moveTradingDay(const TradingDays& td) {
    const int p = calendar_;
    if (p + 1 < td.count()) {
        calendar_ = (p != period_) ? period_ + 1 : p + 1;
        if (calendar_ >= td.count()) calendar_ = td.count() - 1;
    } else {
        endOfData_ = true;
    }
}

bool GameClock::atEnd(const MarketData& market) const {
    const QDate shown = currentGameDate(*this, market);
    return !shown.isValid() || (endDate_.isValid() && endDate_ <= shown);
}

void GameClock::setTickGameDates(const MarketData& market) {
    if (mode_ != DataMode::Tick || period_ != 1 || market.tickDayCount() <= 0) return;
    startDate_ = market.tickDays[0].date;
    endDate_ = addLength(startDate_, setupLength_ == GameLength::Month ? GameLength::Month : GameLength::Quarter);
}

bool GameClock::finalDayNotice(const TradingDays& days) {
    const bool tick = mode_ == DataMode::Tick;
    const int length = tick ? lengthPeriods_ : effectiveDailyLength(*this, days);
    if (length <= 15) return false;
    if (!tick) return period_ == length - 2;
    lengthPeriods_ = tradingDayCount_ * 6 + 1;
    return period_ == tradingDayCount_ * 6 - 6;
}

GameClock::Step GameClock::advance() {
    const bool tick = mode_ == DataMode::Tick;
    period_ += 1;
    if (tick) lengthPeriods_ = tradingDayCount_ * 6 + 1;
    if (period_ == lengthPeriods_) {
        if (tick) period_ = tradingDayCount_ * 6;
        return Step::LastPeriod;
    }
    if (period_ == 1) started_ = true;
    return endOfData_ ? Step::OutOfData : Step::Advanced;
}

int GameClock::dayNumber() const { return mode_ == DataMode::Tick ? charts::tickDayOf(period_) + 1 : period_; }

bool GameClock::extend(Level level) {
    if (period_ <= 0) return false;
    if (mode_ == DataMode::Tick) lengthPeriods_ = tradingDayCount_ * 6;
    if (lengthPeriods_ > tradingDayCount_ || period_ != lengthPeriods_) return false;
    const int more = level == Level::Novice ? 30 : 90;
    if (lengthPeriods_ + more > 366) return false;
    lengthPeriods_ += more;
    return true;
}

QString traderTickTime(int n) {
    static const QString labels[] = {QStringLiteral("2:00 pm"),  QStringLiteral("9:00 am"),  QStringLiteral("10:00 am"),
                                     QStringLiteral("11:00 am"), QStringLiteral("12:00 pm"), QStringLiteral("1:00 pm")};
    if (n < 1) return {};
    return labels[n % 6];
}

QDate currentTickDate(const GameClock& clock, const MarketData& market) {
    const int day = charts::tickDayOf(clock.periodIndex());
    if (day < 0 || day >= market.tickDayCount()) return {};
    return market.tickDays[day].date;
}

QDate currentGameDate(const GameClock& clock, const MarketData& market) {
    if (clock.dataMode() == DataMode::Tick) return currentTickDate(clock, market);
    const TradingDays& td = market.tradingDays;
    const int position = clock.calendarPosition();
    const int i = position > 0 ? position - 1 : 0;
    return i < td.count() ? td.days[i] : QDate();
}

int effectiveDailyLength(const GameClock& clock, const TradingDays& td) {
    // The game ends on the press after the last playable day, so the
    // final-day notice belongs two presses before that end whichever rule
    // brings it.
    const QDate end = clock.endDate();
    int beforeEnd = 0;
    while (beforeEnd < td.count() && (!end.isValid() || td.days[beforeEnd] < end)) ++beforeEnd;
    return std::min({clock.lengthPeriods(), beforeEnd + 1, td.count()});
}

QDate lastPlayedDate(const GameClock& clock, const MarketData& market) {
    if (clock.dataMode() == DataMode::Tick) {
        const int day = std::min(charts::tickDayOf(clock.periodIndex()), market.tickDayCount() - 1);
        return day >= 0 ? market.tickDays[day].date : QDate();
    }
    // The calendar may already stand on the first day past the game's end;
    // the last day played is the last one before it.
    const TradingDays& td = market.tradingDays;
    const QDate end = clock.endDate();
    for (int i = std::min(clock.calendarPosition(), td.count()) - 1; i >= 0; --i)
        if (!end.isValid() || td.days[i] < end) return td.days[i];
    return {};
}

} // namespace pellucar
