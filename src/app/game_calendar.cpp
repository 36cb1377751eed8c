#include "app/game_calendar.h"
#include "charts/chart_options.h"

#include <algorithm>

namespace pellucar {

QString traderTickTime(int n) {
    static const char* labels[] = {"2:00 pm", "9:00 am", "10:00 am", "11:00 am", "12:00 pm", "1:00 pm"};
    if (n < 1) return {};
    return QString::fromLatin1(labels[n % 6]);
}

QDate currentTickDate(const GameState& s) {
    const int day = charts::tickDayOf(s.periodIndex);
    if (day < 0 || day >= s.market.tickDayCount) return {};
    return s.market.tickDays[static_cast<size_t>(day)].date;
}

QDate currentGameDate(const GameState& s) {
    if (s.dataMode == DataMode::Tick) return currentTickDate(s);
    const TradingDays& td = s.market.tradingDays;
    const int i = td.position > 0 ? td.position - 1 : 0;
    return i < td.count() ? td.days[i] : QDate();
}

int effectiveDailyLength(const GameState& s) {
    // The game ends on the press after the last playable day, so the
    // final-day notice belongs two presses before that end whichever rule
    // brings it.
    const TradingDays& td = s.market.tradingDays;
    int beforeEnd = 0;
    while (beforeEnd < td.count() && (!s.gameEndDate.isValid() || td.days[beforeEnd] < s.gameEndDate)) ++beforeEnd;
    return std::min({s.gameLengthDays, beforeEnd + 1, td.count()});
}

QDate lastPlayedDate(const GameState& s) {
    if (s.dataMode == DataMode::Tick) {
        const int day = std::min(charts::tickDayOf(s.periodIndex), s.market.tickDayCount - 1);
        return day >= 0 ? s.market.tickDays[static_cast<size_t>(day)].date : QDate();
    }
    // The calendar may already stand on the first day past the game's end;
    // the last day played is the last one before it.
    const TradingDays& td = s.market.tradingDays;
    for (int i = std::min(td.position, td.count()) - 1; i >= 0; --i)
        if (!s.gameEndDate.isValid() || td.days[i] < s.gameEndDate) return td.days[i];
    return {};
}

} // namespace pellucar
