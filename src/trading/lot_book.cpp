#include "trading/lot_book.h"

#include "common/format.h"
#include "trading/contract_terms.h"

#include <cmath>

namespace pellucar {

namespace {

// Clears the binary noise of multiplying a decimal difference by a point value.
double cleanProduct(double v) { return roundDecimal(v, 9); }

} // namespace

Lot LotBook::lot(int number) const {
    if (number < 1 || number > count_) return {};
    return slots_[static_cast<size_t>(number)];
}

double LotBook::units() const {
    double sum = 0;
    for (int i = 1; i <= count_; ++i) sum += slots_[static_cast<size_t>(i)].units;
    return sum;
}

double LotBook::averagePrice() const {
    const double position = std::fabs(units());
    if (position == 0) return 0;
    double cost = 0;
    for (int i = 1; i <= count_; ++i) {
        const Lot& l = slots_[static_cast<size_t>(i)];
        cost += std::fabs(l.units) * readPrice(l.price);
    }
    return cost / position;
}

double LotBook::unrealized(double price) const {
    const ContractTerms& t = contractTerms(market_);
    const double current = readQuote(market_, price);
    double sum = 0;
    for (int i = 1; i <= count_; ++i) {
        const Lot& l = slots_[static_cast<size_t>(i)];
        const double diff = priceDifference(current, readPrice(l.price));
        const double perContract = t.roundAfterPointValue
                                       ? roundByPattern(cleanProduct(diff * t.pointValue), t.unrealizedPattern)
                                       : roundByPattern(diff, t.unrealizedPattern) * t.pointValue;
        sum += l.units * perContract;
    }
    return sum;
}

double LotBook::realize(double contracts, float lotPrice, double fillPrice) const {
    const ContractTerms& t = contractTerms(market_);
    const double diff = priceDifference(readQuote(market_, fillPrice), readPrice(lotPrice));
    // Rounding half away from zero is symmetric, so a short lot closed by a
    // purchase gains |contracts| x (lot price - fill price) by the same sum.
    return contracts * roundByPattern(diff, t.lotPattern) * t.pointValue;
}

namespace {

bool opensLot(double units, double positionAfter) {
    const double before = positionAfter - units;
    return (before >= 0 && units > 0) || (before <= 0 && units < 0);
}

} // namespace

bool LotBook::canBook(double units, double positionAfter) const {
    return !opensLot(units, positionAfter) || count_ < kCapacity;
}

Booking LotBook::book(double units, double positionAfter, double fillPrice) {
    if (units == 0) return {true, 0};
    if (opensLot(units, positionAfter)) {
        if (count_ >= kCapacity) return {false, 0};
        append(units, fillPrice);
        return {true, 0};
    }
    const double before = positionAfter - units;
    if (positionAfter == 0) return {true, closeAll(fillPrice)};
    if ((positionAfter > 0) == (before > 0)) return {true, matchOldest(units, fillPrice)};
    // The fill turned the position round: everything open is closed and the
    // remainder becomes the only lot.
    const double realized = closeAll(fillPrice);
    append(positionAfter, fillPrice);
    return {true, realized};
}

void LotBook::clear() {
    slots_.fill(Lot{});
    count_ = 0;
}

double LotBook::closeAll(double fillPrice) {
    double realized = 0;
    for (int i = 1; i <= count_; ++i) {
        Lot& l = slots_[static_cast<size_t>(i)];
        realized += realize(l.units, l.price, fillPrice);
        l = Lot{};
    }
    count_ = 0;
    return realized;
}

double LotBook::matchOldest(double units, double fillPrice) {
    double rest = units; // opposite in sign to every open lot
    double realized = 0;
    bool closed = false;
    for (int i = 1; i <= count_ && rest != 0; ++i) {
        Lot& l = slots_[static_cast<size_t>(i)];
        if (std::fabs(rest) > std::fabs(l.units)) {
            realized += realize(l.units, l.price, fillPrice);
            rest += l.units;
            l = Lot{};
            closed = true;
        } else {
            realized += realize(-rest, l.price, fillPrice);
            if (l.units + rest == 0) {
                l = Lot{};
                closed = true;
            } else {
                l.units += rest;
            }
            rest = 0;
        }
    }
    if (closed) compact();
    return realized;
}

void LotBook::append(double units, double fillPrice) {
    const ContractTerms& t = contractTerms(market_);
    const double price = roundByPattern(readQuote(market_, fillPrice), t.lotPattern);
    ++count_;
    slots_[static_cast<size_t>(count_)] = Lot{units, static_cast<float>(price)};
}

void LotBook::compact() {
    if (count_ == 0 || slots_[1].units != 0) return;
    int first = 1;
    while (first <= count_ && slots_[static_cast<size_t>(first)].units == 0) ++first;
    const int shift = first - 1;
    for (int i = first; i <= count_; ++i) slots_[static_cast<size_t>(i - shift)] = slots_[static_cast<size_t>(i)];
    for (int i = count_ - shift + 1; i <= count_; ++i) slots_[static_cast<size_t>(i)] = Lot{};
    count_ -= shift;
}

} // namespace pellucar
