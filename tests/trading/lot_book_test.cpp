// The book of open lots: each market's rounding and a full book. First in, first out
// matching is checked against the independent account model by the trading property test.
#include "trading/lot_book.h"

#include <gtest/gtest.h>

using namespace pellucar;

namespace {

// Books a fill against the book's own position.
Booking fill(LotBook& b, double units, double price) { return b.book(units, b.units() + units, price); }

} // namespace

TEST(LotBook, UnrealizedFollowsEachMarketsRounding) {
    // A short gains as the price falls: 0.50 x 400 per contract.
    LotBook cattle(Market::Cattle);
    fill(cattle, -3, 70.00);
    EXPECT_DOUBLE_EQ(cattle.unrealized(69.50), 3 * 200.0);

    // Differences are rounded as the decimals the player reads: 69.975 -
    // 69.50 = 0.475 rounds up to 0.48, whatever the float below 69.975 says.
    LotBook longCattle(Market::Cattle);
    fill(longCattle, 1, 69.50);
    EXPECT_DOUBLE_EQ(longCattle.unrealized(69.975), 0.48 * 400);
    EXPECT_DOUBLE_EQ(longCattle.unrealized(static_cast<double>(69.975f)), 0.48 * 400);
    // A lot price is rounded to cents by the same reading.
    fill(longCattle, 1, 69.975);
    EXPECT_EQ(longCattle.lot(2).price, 69.98f);

    // TBond keeps five decimals in its lots and rounds the dollar value per
    // contract to three: 1/128 of a point is 7.8125 dollars, shown 7.813.
    LotBook bond(Market::TBond);
    fill(bond, 1, 118.15625);
    fill(bond, 1, 100.0078125);
    EXPECT_EQ(bond.lot(1).price, 118.15625f);
    EXPECT_EQ(bond.lot(2).price, 100.00781f);
    LotBook bonds(Market::TBond);
    fill(bonds, 2, 118.15625);
    EXPECT_DOUBLE_EQ(bonds.unrealized(118.1640625), 2 * 7.813);

    // Soybean rounds the price difference to five decimals first.
    LotBook soy(Market::Soybean);
    fill(soy, 1, 6.1225);
    EXPECT_DOUBLE_EQ(soy.unrealized(6.1234567), 0.00096 * 5000);
}

TEST(LotBook, AFullBookRefusesANewLotAndChangesNothing) {
    LotBook oil(Market::Oil);
    for (int i = 0; i < 101; ++i) // the book holds 101 lots
        ASSERT_TRUE(fill(oil, 1, 20.00 + i * 0.01).booked);
    EXPECT_FALSE(oil.canBook(1, oil.units() + 1));
    const Booking refused = fill(oil, 1, 25.00);
    EXPECT_FALSE(refused.booked);
    EXPECT_EQ(oil.count(), 101);
    EXPECT_EQ(oil.units(), 101);
    EXPECT_EQ(oil.lot(102).units, 0);
    // A sale still matches and makes room.
    EXPECT_TRUE(fill(oil, -1, 25.00).booked);
    EXPECT_EQ(oil.count(), 100);
    EXPECT_EQ(oil.lot(1).price, 20.01f);
}
