#pragma once
#include "common/market.h"

#include <array>

namespace pellucar {

// The contracts of one fill that are still open.
struct Lot {
    double units = 0; // signed: positive long, negative short; 0 marks an empty slot
    float price = 0;  // the fill price rounded by the market's lot rule
    bool operator==(const Lot&) const = default;
};

// What booking a fill did.
struct Booking {
    bool booked = false; // false: the book had no slot for a new lot and nothing changed
    double realized = 0; // dollars realized by matching open lots
};

// One market's open lots in the order they were opened. Sales are matched
// against the oldest long lots first (and purchases against the oldest short
// lots); a fill that turns the position round closes every lot and opens
// one lot of the remainder. All open lots share the position's sign.
//
// Lots are numbered from 1, the oldest, to count(). The book has room for
// kCapacity lots; a fill that would open one more is refused whole rather
// than written past the end (order entry stops new lots well before that).
class LotBook {
public:
    static constexpr int kCapacity = 101;

    LotBook() = default;
    explicit LotBook(Market market) : market_(market) {}

    Market market() const { return market_; }
    int count() const { return count_; }
    // Lot `number` (1..count()); an empty lot for any other number.
    Lot lot(int number) const;
    // The net contracts of the open lots (the position they make up).
    double units() const;
    // Sum of |units| x price over the open lots divided by |units()|, the
    // prices read as the decimals the player saw; 0 for an empty book.
    double averagePrice() const;
    // Dollars the open lots would make if closed at `price`, by the
    // market's unrealized rounding rule, lot by lot.
    double unrealized(double price) const;

    // Whether book() has room for this fill.
    bool canBook(double units, double positionAfter) const;
    // Books a fill of `units` (positive buy, negative sale) at `fillPrice`
    // that has just moved the position to `positionAfter`.
    Booking book(double units, double positionAfter, double fillPrice);
    void clear();

    bool operator==(const LotBook&) const = default;

private:
    // Dollars realized by closing `contracts` of a lot at `fillPrice`; the
    // sign of `contracts` is that of the lot.
    double realize(double contracts, float lotPrice, double fillPrice) const;
    double closeAll(double fillPrice);
    double matchOldest(double units, double fillPrice);
    void append(double units, double fillPrice);
    void compact();

    Market market_ = Market::Oil;
    std::array<Lot, kCapacity + 1> slots_{}; // slot 0 is never used
    int count_ = 0;
};

} // namespace pellucar
