#pragma once
#include "trading/account.h"

namespace pellucar::test {

// An account whose markets are marked at the last price each traded or was moved to.
struct Desk {
    Account account;
    MarketPrices quotes{20.0, 380.0, 100.0, 1000.0, 70.0, 6.0};

    explicit Desk(Level level = Level::Expert) : Desk(level, Account::startingCapitalFor(level)) {}
    Desk(Level level, float capital) { account.reset(level, capital); }
    Booking fill(Market m, float units, double price) {
        quotes[static_cast<size_t>(index(m))] = price;
        const Booking b = account.applyFill(m, units, price);
        account.revalue(quotes);
        return b;
    }
    void mark(Market m, double price) {
        quotes[static_cast<size_t>(index(m))] = price;
        account.revalue(quotes);
    }
};

} // namespace pellucar::test
