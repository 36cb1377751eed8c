#include "market/price_history.h"

#include "common/format.h"

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
    const PriceRecord prev = record(p - 1);
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

} // namespace pellucar
