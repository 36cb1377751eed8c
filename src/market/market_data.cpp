#include "market/market_data.h"

#include "common/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pellucar {

void MarketData::startTickDays() {
    const int n = std::min(tradingDays.count(), kTickDayCapacity);
    tickDays = QList<TickDay>(n);
    for (int d = 0; d < n; ++d) tickDays[d].date = tradingDays.days[d];
}

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

namespace {

// roundScaled(v, 1, 2) (ten times v, rounded half away from zero to two
// decimals of its shortest decimal form) without building any text: a
// quarter of ticks runs through here. The shortest digits are the same;
// the cents are then a whole number N, and N / 100.0 is the double nearest
// to N hundredths, which is what reading the text "N/100" back gives.
double tenfoldToCents(double v) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e12) return roundScaled(v, 1, 2);
    char buf[40];
    const char* const end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative) ++p;
    char digit[24];
    int n = 0;
    bool zero = true;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') continue;
        digit[n++] = *p;
        zero = zero && *p == '0';
    }
    if (zero || p == end) return 0.0;
    ++p; // 'e'
    const bool negativeExponent = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    int exponent = 0;
    for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    if (negativeExponent) exponent = -exponent;
    // Digits before the decimal point of ten times v, then two decimals.
    const int cents = exponent + 2 + 2;
    long long whole = 0;
    for (int i = 0; i < cents; ++i) whole = whole * 10 + (i < n ? digit[i] - '0' : 0);
    if (cents >= 0 && cents < n && digit[cents] >= '5') ++whole;
    const double out = static_cast<double>(whole) / 100.0;
    return negative && whole != 0 ? -out : out;
}

} // namespace

double decodeTickPrice(int commodityId, double realPrice) {
    double whole = std::trunc(realPrice);
    double frac = realPrice - whole;
    switch (commodityId) {
    case 5: return whole + frac / 0.8;
    case 6: return whole + frac * 100.0 / 32.0;
    default: return tenfoldToCents(realPrice);
    }
}

namespace {

QDate periodEnd(const QString& dataMode, bool oneMonth, const QDate& start) {
    if (dataMode == QLatin1String("Tick")) return start.addMonths(oneMonth ? 1 : 3);
    return start.addYears(1);
}

} // namespace

int LoadTradingDays(MarketDatabase& db, const QString& dataMode, bool oneMonth, const QDate& start, TradingDays& days) {
    const bool tick = dataMode == QLatin1String("Tick");
    const QDate end = periodEnd(dataMode, oneMonth, start);
    QList<QDate> read = tick ? db.tradingDaysTick(start, end) : db.tradingDaysDaily(start, end);
    if (db.failed()) return kLoadFailed;
    if (tick && read.size() > kTickDayCapacity) read.resize(kTickDayCapacity);
    days = TradingDays{};
    days.days = std::move(read);
    return days.count();
}

int LoadDailyData(MarketDatabase& db, int commodityId, const QDate& start, MarketSeries& series) {
    QList<DailyRow> read = db.dailyRows(commodityId, start, start.addYears(1));
    if (db.failed()) return kLoadFailed;
    series.rows = std::move(read);
    return series.count();
}

TickWindows::TickWindows(int commodityId) {
    // Sampling windows as seconds of the day, both ends included.
    for (int k = 1; k <= kTicksPerDay; ++k) {
        from[k] = tickSamplingTime(commodityId, k).msecsSinceStartOfDay() / 1000;
        to[k] = from[k] + 30 * 60;
    }
}

bool TickWindows::holds(int secondOfDay) const {
    for (int k = 1; k <= kTicksPerDay; ++k)
        if (secondOfDay >= from[k] && secondOfDay <= to[k]) return true;
    return false;
}

void TickWindows::take(int secondOfDay, double price, std::array<TickPeriod, kTicksPerDay + 1>& periods) const {
    for (int k = 1; k <= kTicksPerDay; ++k) {
        if (secondOfDay < from[k] || secondOfDay > to[k]) continue;
        TickPeriod& p = periods[static_cast<size_t>(k)];
        if (!p.seen) {
            p.seen = true;
            p.price = p.high = p.low = price;
        }
        p.high = std::max(p.high, price);
        p.low = std::min(p.low, price);
        p.last = price;
    }
}

int LoadTickData(MarketDatabase& db, int commodityId, const QDate& start, bool oneMonth, MarketData& data,
                 const TickLoadProgress& progress) {
    if (commodityId < 1 || commodityId > kMarketCount) return 0;
    const auto id = static_cast<size_t>(commodityId);
    const int dayCount = std::clamp(data.tickDayCount(), 0, kTickDayCapacity);
    const TickWindows windows(commodityId);
    // The market's periods are built aside and copied in only once every
    // tick was read, so a read that fails halfway changes nothing.
    using DayPeriods = std::array<TickPeriod, kTicksPerDay + 1>;
    std::array<DayPeriods, kTickDayCapacity> built;
    const QList<TickDay>& days = data.tickDays; // read without a write's copy
    for (int d = 0; d < dayCount; ++d) built[static_cast<size_t>(d)] = days[d].periods[id];

    int day = 0, used = 0, sinceReport = 0;
    const QDate end = start.addMonths(oneMonth ? 1 : 3);
    // Trades often repeat the last price; its decoding is kept.
    double lastReal = 0, lastPrice = decodeTickPrice(commodityId, 0);
    const auto eachTrade = [&](const TickRow& row) {
        // Rows come in time order, so the matching day never lies behind.
        while (day < dayCount && days[day].date < row.date) ++day;
        if (day >= dayCount) return false;
        if (progress && ++sinceReport == kTicksPerProgressReport) {
            sinceReport = 0;
            progress(day);
        }
        if (days[day].date != row.date) return true;
        ++used;
        if (!windows.holds(row.secondOfDay)) return true;
        if (row.realPrice != lastReal) {
            lastReal = row.realPrice;
            lastPrice = decodeTickPrice(commodityId, lastReal);
        }
        windows.take(row.secondOfDay, lastPrice, built[static_cast<size_t>(day)]);
        return true;
    };
    const auto eachStored = [&](const StoredTickPeriod& stored) {
        while (day < dayCount && days[day].date < stored.date) ++day;
        if (day >= dayCount) return false;
        if (days[day].date != stored.date) return true;
        ++used;
        built[static_cast<size_t>(day)][static_cast<size_t>(stored.period)] =
            TickPeriod{true, stored.price, stored.high, stored.low, stored.last};
        return true;
    };
    // The builder worked each hour out from the same trades: where the file
    // holds those figures, a few rows a day are read instead of every trade.
    const bool ok = db.hasTickPeriods() ? db.tickPeriods(commodityId, start, end, eachStored)
                                        : db.tickRows(commodityId, start, end, eachTrade);
    if (!ok) return kLoadFailed;
    if (progress) progress(dayCount);
    for (int d = 0; d < dayCount; ++d) data.tickDays[d].periods[id] = built[static_cast<size_t>(d)];
    return used;
}

bool ForEachTickPeriod(MarketDatabase& db, const QDate& first, const QDate& last, const TickPeriodSink& each) {
    MarketData md;
    for (QDate month(first.year(), first.month(), 1); month <= last; month = month.addMonths(1)) {
        const int n = LoadTradingDays(db, QStringLiteral("Tick"), true, month, md.tradingDays);
        if (n == kLoadFailed) return false;
        md.startTickDays();
        for (int id = 1; id <= kMarketCount; ++id) {
            if (LoadTickData(db, id, month, true, md) == kLoadFailed) return false;
            for (const TickDay& day : std::as_const(md.tickDays)) {
                if (day.date < first || day.date > last) continue;
                for (int k = 1; k <= kTicksPerDay; ++k)
                    if (const TickPeriod& p = day.periods[static_cast<size_t>(id)][static_cast<size_t>(k)]; p.seen)
                        if (!each(id, day.date, k, p)) return false;
            }
        }
    }
    return true;
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
