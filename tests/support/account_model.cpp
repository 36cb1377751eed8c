#include "support/account_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace pellucar::test {

namespace {

using Fixed = AccountModel::Fixed;

// The contract terms, in trading order: dollars per 1.00 of price, margin per contract, and the step lot prices and
// price differences round to (cents; five decimals for TBond and Soybean).
constexpr std::array<Fixed, kMarketCount> kPointValue{1000, 100, 1000, 500, 400, 5000};
constexpr std::array<Fixed, kMarketCount> kMargin{2025, 1013, 2430, 20800, 540, 1485};
constexpr std::array<Fixed, kMarketCount> kLotStep{1000, 1000, 1, 1000, 1000, 1};
// Position limits; a transaction may be twice as large.
constexpr std::array<long long, kMarketCount> kPositionLimit{200, 400, 100, 25, 500, 250};

// Half away from zero, to a multiple of `step`.
Fixed roundTo(Fixed v, Fixed step) {
    const Fixed r = (std::llabs(v) + step / 2) / step * step;
    return v < 0 ? -r : r;
}

} // namespace

void AccountModel::fill(Market m, long long units, double price) {
    const Fixed p = toFixed(price);
    const Fixed step = kLotStep[slot(m)];
    auto& book = books_[slot(m)];
    Fixed rest = units;
    while (rest != 0 && !book.empty() && (book.front().units > 0) != (rest > 0)) {
        Lot& lot = book.front();
        // Contracts closed, signed as the lot: a long gains when the price rose, a short when it fell.
        const Fixed closed = std::min(std::llabs(rest), std::llabs(lot.units)) * (lot.units > 0 ? 1 : -1);
        const Fixed pl = closed * roundTo(p - lot.price, step) * kPointValue[slot(m)];
        realized_ += pl;
        closes_.push_back({m, closed, dollars(pl)});
        lot.units -= closed;
        rest += closed;
        if (lot.units == 0) book.pop_front();
    }
    if (rest != 0) book.push_back({rest, roundTo(p, step)});
}

long long AccountModel::position(Market m) const {
    return std::accumulate(lots(m).begin(), lots(m).end(), 0LL, [](long long s, const Lot& l) { return s + l.units; });
}

double AccountModel::unrealized(Market m, double price) const {
    if (level_ == Level::Novice && m != Market::Oil) return 0;
    Fixed sum = 0;
    for (const Lot& lot : lots(m)) {
        const Fixed diff = toFixed(price) - lot.price;
        // TBond rounds the dollars per contract to three decimals; the others round the price difference first.
        sum += m == Market::TBond ? lot.units * roundTo(diff * kPointValue[slot(m)], 100)
                                  : lot.units * roundTo(diff, kLotStep[slot(m)]) * kPointValue[slot(m)];
    }
    return dollars(sum);
}

double AccountModel::marginRequirement() const {
    double sum = 0;
    for (Market m : kTradingOrder) sum += static_cast<double>(std::llabs(position(m)) * kMargin[slot(m)]);
    return sum;
}

double AccountModel::accountValue(const std::array<double, kMarketCount>& prices) const {
    double v = dollars(capital_) + realized();
    for (Market m : kTradingOrder) v += unrealized(m, prices[slot(m)]);
    return v;
}

long long AccountModel::allowedMaximum(Market m, bool buy, double value) const {
    if (value <= 0) return 0;
    const long long limit = kPositionLimit[slot(m)];
    const auto carried = static_cast<long long>(std::floor((value - marginRequirement()) / kMargin[slot(m)]));
    // Signed so that the order's own side is positive: a short is held "against" a buy.
    const long long held = buy ? position(m) : -position(m);
    long long most = 0;
    if (held < 0) most = std::max(std::min(2 * -held + carried, -held + limit), -held);
    else most = std::min(carried, limit - held);
    return std::min(most, 2 * limit);
}

} // namespace pellucar::test
