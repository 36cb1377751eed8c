#pragma once
#include "common/market.h"

#include <QString>

namespace pellucar {

// The fixed terms of one futures contract and the game's limits on it. One
// table drives every per-market routine.
struct ContractTerms {
    Market market;
    double pointValue;       // dollars per 1.00 of price, per contract
    double marginPerContract;
    int positionLimit;       // contracts, either side
    int transactionLimit;    // contracts per order
    int largestMarginMaximum;
    const char* lotPattern;        // rounding of lot prices and realized differences
    const char* unrealizedPattern; // rounding of the unrealized difference
    bool roundAfterPointValue;     // TBond rounds the dollar value, the others the price difference
};

const ContractTerms& contractTerms(Market m);

} // namespace pellucar
