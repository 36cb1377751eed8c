#include "trading/contract_terms.h"

#include "common/format.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pellucar {

const ContractTerms& contractTerms(Market m) {
    static const std::array<ContractTerms, kMarketCount> table{{
        {Market::Oil, 1000, 2025, 200, 400, 200, u"0.00", u"0.00", false, false, 0.01},
        {Market::Gold, 100, 1013, 400, 800, 400, u"0.00", u"0.00", false, false, 0.1},
        {Market::TBond, 1000, 2430, 100, 200, 100, u"#,##0.#####", u"#,###.0##", true, true, 1.0 / 32},
        {Market::SP500, 500, 20800, 25, 50, 25, u"0.00", u"0.00", false, false, 0.05},
        {Market::Cattle, 400, 540, 500, 1000, 500, u"0.00", u"0.00", false, false, 0.025},
        {Market::Soybean, 5000, 1485, 250, 500, 250, u"#,##0.#####", u"#,##0.#####", false, true, 0.0025},
    }};
    return table[static_cast<size_t>(index(m))];
}

int contractsCarried(double dollars, Market m) {
    const double contracts = std::floor(dollars / contractTerms(m).marginPerContract);
    return static_cast<int>(std::clamp(contracts, -1e9, 1e9));
}

namespace {
// Prices carry at most seven decimals (a 128th of a point); anything below
// the ninth is representation noise.
constexpr int kNoiseDecimals = 9;
} // namespace

double readQuote(Market m, double quote) {
    if (contractTerms(m).doubleQuote) return roundDecimal(quote, kNoiseDecimals);
    return readPrice(static_cast<float>(quote));
}

double readPrice(float price) { return roundDecimalF(price, kNoiseDecimals); }

double priceDifference(double a, double b) { return roundDecimal(a - b, kNoiseDecimals); }

namespace {
// A price within this share of a tick of a grid line is on it: above the
// noise of a price held in single precision (a thousandth of a tick for the
// S&P at 1,500), far below any real price step.
constexpr double kGridTolerance = 1e-2;
} // namespace

bool onTickGrid(Market m, double price) {
    if (!std::isfinite(price)) return false;
    const double ticks = price / contractTerms(m).tick;
    return std::abs(ticks - std::round(ticks)) <= kGridTolerance;
}

double nearestTick(Market m, double price) {
    const double tick = contractTerms(m).tick;
    return roundDecimal(std::round(price / tick) * tick, kNoiseDecimals);
}

} // namespace pellucar
