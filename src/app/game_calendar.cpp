#include "app/game_calendar.h"
#include "charts/chart_options.h"

#include <algorithm>

namespace pellucar {

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
