#pragma once
#include "common/data_mode.h"
#include "common/level.h"
#include "common/market.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <vector>

namespace pellucar {

struct MarketData;

// The six prices of one period. TBond keeps double precision, the others
// are single precision like the records they stand for.
struct PriceRecord {
    float oil = 0, gold = 0;
    double tbond = 0;
    float sp500 = 0, cattle = 0, soybean = 0;

    double get(Market m) const;
    void set(Market m, double v);
    bool operator==(const PriceRecord&) const = default;
};

inline constexpr int kPriceRecordCount = 3603;

// The records of the periods, 0 to kPriceRecordCount - 1. Only the periods
// written so far take memory: a record never written reads as all zeros,
// and writing one makes room for every record up to it. Indexes outside the
// table are the caller's fault; PriceHistory::record checks them.
class PriceRecords {
public:
    PriceRecord& operator[](size_t p) {
        Q_ASSERT(p < static_cast<size_t>(kPriceRecordCount));
        if (p >= rows_.size()) rows_.resize(p + 1);
        return rows_[p];
    }
    const PriceRecord& operator[](size_t p) const {
        static const PriceRecord none;
        return p < rows_.size() ? rows_[p] : none;
    }
    // Equal when every record reads the same, written or not.
    bool operator==(const PriceRecords& o) const;

private:
    std::vector<PriceRecord> rows_;
};

struct PriceHistory {
    PriceRecords records;
    PriceRecord current;  // CurrentPrices
    PriceRecord previous; // PreviousPrices (all single precision in use)
    // Buy and sell quotes by market in trading order; both equal the price
    // shown for the current period.
    std::array<double, kMarketCount> buyQuote{}, sellQuote{};

    // The record of period p, or a scratch record when p lies outside the
    // table, so a wild period never writes past it.
    PriceRecord& record(int p);
    const PriceRecord& record(int p) const;

    // Period p's prices as they may be shown and traded: no price at or
    // below 0.05 (a missing row reads -1), and a T-Bond price of 2/32 or
    // less keeps the period before's. The buy and sell quotes follow. With
    // `allMarkets` false (a Novice game) the T-Bond is left alone.
    void applyFloorsAndQuotes(int p, bool allMarkets);

    // Period p's prices from the loaded period, as the desk shows and fills
    // them: a daily game's close of the calendar day the clock stands on
    // (`calendarPosition` runs one ahead), a tick game's first trade of the
    // hour. Every price is rounded to what its quote shows; the first
    // period's prices are also the previous ones (the change starts at 0).
    // A Novice game prices Oil only. The floors and quotes follow.
    void storePeriod(const MarketData& market, DataMode mode, int calendarPosition, int p, Level level);

    // The prices; the scratch record is no price of any period.
    bool operator==(const PriceHistory& o) const {
        return records == o.records && current == o.current && previous == o.previous && buyQuote == o.buyQuote &&
               sellQuote == o.sellQuote;
    }

private:
    PriceRecord scratch_;
};

} // namespace pellucar
