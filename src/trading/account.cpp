#include "trading/account.h"

#include "common/format.h"
#include "trading/contract_terms.h"
#include "trading/order_texts.h"

#include <algorithm>
#include <cmath>

namespace pellucar {

float Account::startingCapitalFor(Level level) { return level == Level::Novice ? 10000.0f : 100000.0f; }

Market Account::liquidationMarket(int step) {
    static constexpr std::array<Market, kLiquidationSteps> order{Market::SP500,   Market::TBond, Market::Oil,
                                                                 Market::Soybean, Market::Gold,  Market::Cattle};
    return order[static_cast<size_t>(std::clamp(step, 1, kLiquidationSteps) - 1)];
}

void Account::reset(Level level, float startingCapital) {
    level_ = level;
    startingCapital_ = startingCapital;
    accountValue_ = startingCapital;
    realizedPL_ = 0;
    unrealizedPL_ = 0;
    commissions_ = 0;
    marketUnrealized_.fill(0);
    positions_.fill(0);
    for (Market m : kTradingOrder) books_[slot(m)] = LotBook(m);
}

Booking Account::applyFill(Market m, float units, double fillPrice) {
    float& position = positions_[slot(m)];
    LotBook& book = books_[slot(m)];
    const float after = position + units;
    if (!book.canBook(units, after)) return {};
    position = after;
    const Booking booking = book.book(units, after, fillPrice);
    realizedPL_ += booking.realized;
    return booking;
}

void Account::revalue(const MarketPrices& prices) {
    unrealizedPL_ = 0;
    marketUnrealized_.fill(0);
    for (Market m : kTradingOrder) {
        if (level_ == Level::Novice && m != Market::Oil) continue;
        double& value = marketUnrealized_[slot(m)];
        value = position(m) != 0 ? books_[slot(m)].unrealized(prices[slot(m)]) : 0.0;
        unrealizedPL_ += value;
    }
    accountValue_ = static_cast<float>(startingCapital_ + unrealizedPL_ + realizedPL_ - commissions_);
}

double Account::marginRequirement() const {
    double sum = 0;
    for (Market m : kTradingOrder) sum += std::fabs(position(m)) * contractTerms(m).marginPerContract;
    return sum;
}

int Account::maxByMargin(Market m) const {
    if (accountValue_ <= 0) return 0;
    return contractsCarried(accountValue_ - marginRequirement(), m);
}

double Account::marginCallAmount() const {
    const double requirement = accountValue_ <= 0 ? 0.0 : marginRequirement();
    return roundByPattern(accountValue_ - requirement, QStringLiteral("#,###.#0"));
}

void Account::roundPositions() {
    for (float& p : positions_) p = static_cast<float>(roundByPatternF(p, QStringLiteral("#,##0")));
}

std::optional<MandatoryTrade> Account::mandatoryTrade(int step, const MarketPrices& quotes) const {
    if (step < 1 || step > kLiquidationSteps) return std::nullopt;
    const Market m = liquidationMarket(step);
    const double held = position(m);
    if (held == 0) return std::nullopt;
    const double margin = contractTerms(m).marginPerContract;
    const double requirement = marginRequirement();
    const double deficit = accountValue_ - requirement;
    if (deficit >= 0) return std::nullopt;

    const double size = std::fabs(held);
    double contracts = size;
    const bool partSuffices = std::fabs(deficit) < size * margin;
    if (partSuffices) {
        // Contracts of this market the account can still carry once the
        // other markets' margin is met; one more than the excess is traded.
        const double carried = (accountValue_ - (requirement - size * margin)) / margin;
        const double keep = std::ceil(carried);
        const double excess = std::floor(size - keep);
        contracts = size >= excess + 1 ? excess + 1 : excess;
    }
    if (contracts <= 0) return std::nullopt;

    MandatoryTrade trade;
    trade.market = m;
    trade.units = static_cast<float>(held < 0 ? contracts : -contracts);
    trade.price = quotes[slot(m)];
    trade.message = mandatoryTradeMessage(m, held, contracts, partSuffices, trade.price);
    return trade;
}

} // namespace pellucar
