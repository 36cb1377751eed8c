#pragma once
// An account kept from the trading rules alone, sharing no code with src/trading: first-in, first-out lots, profit
// and loss and margin in whole numbers of 1e-5, so every rounding of the game meets exact decimals.
#include "common/level.h"
#include "common/market.h"

#include <array>
#include <cmath>
#include <deque>
#include <vector>

namespace pellucar::test {

class AccountModel {
public:
    using Fixed = long long;
    static constexpr Fixed kScale = 100000;
    struct Lot {
        Fixed units; // whole contracts, signed
        Fixed price; // the fill price rounded by the market's lot rule
    };

    AccountModel(Level level, double startingCapital) : level_(level), capital_(toFixed(startingCapital)) {}

    static Fixed toFixed(double v) { return std::llround(v * kScale); }
    static double dollars(Fixed v) { return static_cast<double>(v) / kScale; }

    // A fill (units positive to buy): matched against the other side's oldest lots, the rest opens a lot.
    void fill(Market m, long long units, double price);

    // Each piece of a lot a fill closed, in the order they were closed.
    struct Close {
        Market market;
        long long contracts; // signed as the lot
        double pl;
    };
    const std::vector<Close>& closes() const { return closes_; }

    const std::deque<Lot>& lots(Market m) const { return books_[slot(m)]; }
    long long position(Market m) const;
    double realized() const { return dollars(realized_); }
    // The open lots valued at `price`, 0 for a market the level does not trade.
    double unrealized(Market m, double price) const;
    double marginRequirement() const;
    double accountValue(const std::array<double, kMarketCount>& prices) const;
    // The most contracts one order may have when the account is worth `value`: what the margin excess carries,
    // plus the position when the order goes against it, held within the position and transaction limits.
    long long allowedMaximum(Market m, bool buy, double value) const;

private:
    static size_t slot(Market m) { return static_cast<size_t>(index(m)); }
    Level level_;
    Fixed capital_;
    Fixed realized_ = 0;
    std::array<std::deque<Lot>, kMarketCount> books_;
    std::vector<Close> closes_;
};

} // namespace pellucar::test
