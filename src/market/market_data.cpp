#include "market/market_data.h"

#include "common/format.h"

#include <cmath>

namespace pellucar {

void MarketData::clearPeriod() {
    tradingDays = TradingDays{};
    for (auto& s : series) s.rows.clear();
}

QTime tickSamplingTime(int commodityId, int period) {
    // Hours and minutes per commodity id 1..6 and period 1..6.
    static const int table[6][6][2] = {
        {{9, 0}, {10, 0}, {10, 45}, {11, 20}, {11, 50}, {12, 35}},  // Cattle
        {{7, 20}, {8, 35}, {10, 5}, {11, 35}, {12, 5}, {13, 45}},   // Gold
        {{8, 45}, {9, 30}, {10, 30}, {11, 45}, {12, 45}, {13, 45}}, // Oil
        {{8, 30}, {9, 45}, {11, 0}, {12, 15}, {13, 45}, {14, 45}},  // SP500
        {{9, 30}, {10, 15}, {11, 0}, {11, 45}, {12, 30}, {12, 45}}, // Soybean
        {{7, 20}, {8, 20}, {9, 35}, {11, 20}, {12, 35}, {13, 35}},  // TBond
    };
    if (commodityId < 1 || commodityId > 6 || period < 1 || period > 6) return {};
    const int* hm = table[commodityId - 1][period - 1];
    return QTime(hm[0], hm[1]);
}

double decodeTickPrice(int commodityId, double realPrice) {
    double whole = std::trunc(realPrice);
    double frac = realPrice - whole;
    switch (commodityId) {
    case 5: return whole + frac / 0.8;
    case 6: return whole + frac * 100.0 / 32.0;
    default: return roundScaled(realPrice, 1, 2);
    }
}

namespace {

QDate periodEnd(const QString& dataMode, bool oneMonth, const QDate& start) {
    if (dataMode == QLatin1String("Tick")) return start.addMonths(oneMonth ? 1 : 3);
    return start.addYears(1);
}

} // namespace

int LoadTradingDays(MarketDatabase& db, const QString& dataMode, bool oneMonth, const QDate& start,
                    TradingDays& days) {
    days = TradingDays{};
    const QDate end = periodEnd(dataMode, oneMonth, start);
    days.days = dataMode == QLatin1String("Tick") ? db.tradingDaysTick(start, end) : db.tradingDaysDaily(start, end);
    if (dataMode == QLatin1String("Tick") && days.days.size() > kTickDayCapacity)
        days.days.resize(kTickDayCapacity);
    return days.count();
}

int LoadDailyData(MarketDatabase& db, int commodityId, const QDate& start, MarketSeries& series) {
    series.rows = db.dailyRows(commodityId, start, start.addYears(1));
    return series.count();
}

void LoadTickData(MarketDatabase& db, int commodityId, const QDate& start, bool oneMonth, MarketData& data) {
    const QList<TickRow> rows = db.tickRows(commodityId, start, start.addMonths(oneMonth ? 1 : 3));
    QTime sample[kTicksPerDay + 1];
    for (int k = 1; k <= kTicksPerDay; ++k) sample[k] = tickSamplingTime(commodityId, k);
    int day = 0;
    for (const TickRow& row : rows) {
        const QDate date = row.dateTime.date();
        // Rows come in time order, so the matching day never lies behind.
        while (day < data.tickDayCount && data.tickDays[day].date < date) ++day;
        if (day >= data.tickDayCount) break;
        if (data.tickDays[day].date != date) continue;
        const QTime t = row.dateTime.time();
        for (int k = 1; k <= kTicksPerDay; ++k) {
            if (t < sample[k] || t > sample[k].addSecs(30 * 60)) continue;
            const double price = decodeTickPrice(commodityId, row.realPrice);
            TickPeriod& p = data.tickDays[day].periods[commodityId][k];
            if (!p.seen) {
                p.seen = true;
                p.price = p.high = p.low = price;
            }
            p.high = std::max(p.high, price);
            p.low = std::min(p.low, price);
            p.last = price;
        }
    }
}

void AlignSeriesToTradingDays(MarketData& data) {
    const QList<QDate>& days = data.tradingDays.days;
    for (int id = 1; id <= kMarketCount; ++id) {
        QList<DailyRow>& rows = data.series[id].rows;
        if (rows.isEmpty()) continue;
        QList<DailyRow> aligned;
        aligned.reserve(days.size());
        int r = 0;
        for (const QDate& d : days) {
            while (r < rows.size() && rows[r].date < d) ++r;
            if (r < rows.size() && rows[r].date == d) {
                aligned.append(rows[r]);
            } else if (!aligned.isEmpty()) {
                DailyRow closed = aligned.last();
                closed.open = closed.high = closed.low = closed.close;
                closed.dayVolume = 0;
                closed.date = d;
                aligned.append(closed);
            } else {
                // No earlier price in this period: the row reads as missing.
                DailyRow missing;
                missing.open = missing.high = missing.low = missing.close = -1;
                missing.date = d;
                aligned.append(missing);
            }
        }
        rows = aligned;
    }
}

} // namespace pellucar
