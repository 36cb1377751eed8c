#pragma once
#include "common/market.h"

#include <QString>

namespace pellucar {

// The fixed terms of one futures contract and the game's limits on it. One
// table drives every per-market routine.
struct ContractTerms {
    Market market;
    double pointValue; // dollars per 1.00 of price, per contract
    double marginPerContract;
    int positionLimit;    // contracts, either side
    int transactionLimit; // contracts per order
    int largestMarginMaximum;
    QStringView lotPattern;        // rounding of lot prices and realized differences
    QStringView unrealizedPattern; // rounding of the unrealized difference
    bool roundAfterPointValue;     // TBond rounds the dollar value, the others the price difference
    bool doubleQuote;              // TBond and Soybean are quoted in 64 bits, the others in 32
    double tick;                   // the smallest price step the exchange quotes (the grid of order prices)
};

const ContractTerms& contractTerms(Market m);

// Whole contracts of `m` that `dollars` of margin carry, rounded down
// (so a shortfall gives a negative number), held within +-1e9.
int contractsCarried(double dollars, Market m);

// A quote as the decimal the player reads: a 32-bit quote by the shortest
// text of its float, a 64-bit one cleared of binary noise below nine
// decimals. Prices go through this before any arithmetic whose result is
// rounded, so that a difference of 69.975 and 69.5 is 0.475 (and rounds to
// 0.48), not its binary neighbour a hair below.
double readQuote(Market m, double quote);
// A 32-bit price (a lot price, a recorded fill) by the shortest text of its float.
double readPrice(float price);
// a - b for two prices already read as decimals, with the subtraction's
// binary noise cleared the same way.
double priceDifference(double a, double b);

// Whether `price` lies on the tick grid of `m` (a whole number of ticks),
// read through binary noise: 7.0175 is on Soybean's quarter-cent grid although
// its double is not an exact multiple of 0.0025.
bool onTickGrid(Market m, double price);
// The grid price nearest `price`, as the decimal it stands for.
double nearestTick(Market m, double price);

} // namespace pellucar
