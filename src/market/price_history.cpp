#include "market/price_history.h"

#include "common/format.h"
#include "market/market_data.h"

#include <algorithm>
#include <utility>

namespace pellucar {

double PriceRecord::get(Market m) const {
    switch (m) {
    case Market::Oil: return oil;
    case Market::Gold: return gold;
    case Market::TBond: return tbond;
    case Market::SP500: return sp500;
    case Market::Cattle: return cattle;
    case Market::Soybean: return soybean;
    }
    return 0;
}

void PriceRecord::set(Market m, double v) {
    switch (m) {
    case Market::Oil: oil = static_cast<float>(v); break;
    case Market::Gold: gold = static_cast<float>(v); break;
    case Market::TBond: tbond = v; break;
    case Market::SP500: sp500 = static_cast<float>(v); break;
    case Market::Cattle: cattle = static_cast<float>(v); break;
    case Market::Soybean: soybean = static_cast<float>(v); break;
    }
}

bool PriceRecords::operator==(const PriceRecords& o) const {
    const size_t n = std::max(rows_.size(), o.rows_.size());
    for (size_t p = 0; p < n; ++p)
        if (!((*this)[p] == o[p])) return false;
    return true;
}

PriceRecord& PriceHistory::record(int p) {
    if (p < 0 || p >= kPriceRecordCount) {
        scratch_ = PriceRecord{};
        return scratch_;
    }
    return records[static_cast<size_t>(p)];
}

const PriceRecord& PriceHistory::record(int p) const {
    static const PriceRecord empty;
    return p < 0 || p >= kPriceRecordCount ? empty : records[static_cast<size_t>(p)];
}

void PriceHistory::applyFloorsAndQuotes(int p, bool allMarkets) {
    if (p <= 0) return;
    PriceRecord& rec = record(p);
    const PriceRecord prev = std::as_const(*this).record(p - 1);
    for (Market m : kTradingOrder) {
        if (m == Market::TBond && !allMarkets) continue;
        if (rec.get(m) <= 0.05) rec.set(m, 0.05);
        if (m == Market::TBond && rec.tbond <= 0.0625) rec.tbond = prev.tbond;
        // A price kept in single precision is quoted as the decimal it
        // stands for: Soybean's 7.0175 must not fill at 7.0174999237.
        const double quote = m == Market::TBond ? rec.tbond : roundDecimalF(static_cast<float>(rec.get(m)), 6);
        buyQuote[static_cast<size_t>(index(m))] = sellQuote[static_cast<size_t>(index(m))] = quote;
    }
}

namespace {

// A daily series' close for the period: the row before the calendar's
// position while the period lies inside the series, else the row at it;
// -1 where there is none.
double seriesClose(const MarketData& md, Market m, int calendarPosition, int p) {
    const MarketSeries& series = md.series[static_cast<size_t>(commodityId(m))];
    const int r = calendarPosition;
    if (r < 0 || r >= series.count()) return -1;
    if (p < series.count()) return r >= 1 ? series.rows[r - 1].close : -1;
    return series.rows[r].close;
}

} // namespace

void PriceHistory::storePeriod(const MarketData& md, DataMode mode, int calendarPosition, int p, Level level) {
    const bool novice = level == Level::Novice;
    const bool tick = mode == DataMode::Tick;
    // Every daily price is read as single precision, as stored.
    const auto close = [&](Market m) { return static_cast<float>(seriesClose(md, m, calendarPosition, p)); };
    const auto tickPrice = [&](Market m) -> double {
        const int day = tickDayOf(p);
        if (day >= md.tickDayCount()) return 0;
        return md.tickDays[day].periods[static_cast<size_t>(commodityId(m))][static_cast<size_t>(tickOfDay(p))].price;
    };

    if (mode == DataMode::Daily || (tick && p > 0)) {
        PriceRecord& rec = record(p);
        const float oil = tick ? static_cast<float>(tickPrice(Market::Oil)) : (p >= 1 ? close(Market::Oil) : 0.0f);
        rec.oil = static_cast<float>(roundDecimalF(oil, 2));
        current.oil = rec.oil;
        if (p == 1) previous.oil = oil;
        if (!novice) {
            float gold, sp500, cattle, soybean;
            double tbond;
            if (tick) {
                gold = static_cast<float>(tickPrice(Market::Gold));
                sp500 = static_cast<float>(tickPrice(Market::SP500));
                cattle = static_cast<float>(tickPrice(Market::Cattle));
                tbond = roundByPattern(tickPrice(Market::TBond), QStringLiteral("#,###.#####"));
                soybean = static_cast<float>(
                    roundByPatternF(static_cast<float>(tickPrice(Market::Soybean)), QStringLiteral("#,###.#0##")));
            } else {
                gold = close(Market::Gold);
                tbond = close(Market::TBond);
                sp500 = close(Market::SP500);
                cattle = close(Market::Cattle);
                soybean =
                    static_cast<float>(roundByPatternF(close(Market::Soybean) / 100.0f, QStringLiteral("#,##.#0##")));
            }
            const float gold2 = static_cast<float>(roundDecimalF(gold, 2));
            const float sp2 = static_cast<float>(roundDecimalF(sp500, 2));
            const float cattle2 = static_cast<float>(roundDecimalF(cattle, 2));
            if (p == 1) {
                previous.gold = gold2;
                previous.sp500 = sp2;
                previous.cattle = cattle2;
                previous.soybean = static_cast<float>(roundDecimalF(soybean, 2));
                previous.tbond = static_cast<float>(tbond);
            }
            rec.gold = gold2;
            rec.sp500 = sp2;
            rec.cattle = cattle2;
            rec.tbond = tbond;
            rec.soybean = soybean;
            current.gold = rec.gold;
            current.sp500 = rec.sp500;
            current.cattle = rec.cattle;
            current.tbond = rec.tbond;
            current.soybean = rec.soybean;
        }
    }
    applyFloorsAndQuotes(p, level == Level::Expert);
}

} // namespace pellucar
