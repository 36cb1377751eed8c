#include "market/price_history.h"

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

} // namespace pellucar
