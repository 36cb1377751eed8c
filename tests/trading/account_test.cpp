// The account and its books of open lots: valuation by level, each market's rounding, a full
// book, margin calls, the blow-out and mandatory trades. First in, first out matching is checked
// against the independent account model by the soak.
#include "desk.h"
#include "trading/lot_book.h"
#include "trading/order_texts.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace pellucar;
using namespace pellucar::test;
using enum Market;

// A Novice's account counts Oil alone. The value of every market's lots, the realized P(L) and the commissions
// paid are checked against the trades after every action by the soak.
TEST(Account, ANovicesValueCountsOilAlone) {
    Desk d(Level::Novice);
    d.fill(Oil, 1, 20.00);
    d.fill(Gold, 1, 380.0);
    d.mark(Oil, 21.00); // +1,000
    d.mark(Gold, 400.0);
    const Account& a = d.account;
    EXPECT_EQ(std::tuple(a.unrealizedPL(Oil), a.unrealizedPL(Gold), a.unrealizedPL(), a.accountValue()),
              std::tuple(1000.0, 0.0, 1000.0, a.startingCapital() + 1000.0f));
}

TEST(Account, MarginCallAmountIsTheExcessToTheCentAndNothingLeftIsABlowOut) {
    Desk d(Level::Expert, 2000);
    d.fill(TBond, 1, 100.0);
    d.mark(TBond, 100.0078125); // +7.813
    EXPECT_DOUBLE_EQ(d.account.marginCallAmount(), -422.19);
    EXPECT_TRUE(d.account.marginCalled());
    EXPECT_EQ(d.account.maxByMargin(TBond), -1); // a shortfall carries less than nothing
    EXPECT_EQ(marginCallMessage(d.account.marginCallAmount()), "You have a margin call equaling  $422.19 dollars");

    // An account worth exactly nothing is blown out: no call, no margin room.
    Desk n(Level::Novice);
    n.fill(Oil, 10, 20.00);
    n.mark(Oil, 19.01);
    EXPECT_EQ((std::tuple{n.account.blownOut(), n.account.marginCalled()}), (std::tuple{false, true}));
    n.mark(Oil, 19.00);
    const Account& a = n.account;
    EXPECT_EQ((std::tuple{a.accountValue(), a.blownOut(), a.marginCallAmount(), a.maxByMargin(Oil)}),
              (std::tuple{0.0f, true, 0.0, 0}));
}

// One contract more than the excess above what the account carries; SP500 at step 1, TBond at 2.
TEST(MandatoryTrade, EachStepTradesItsMarketByTheShortfall) {
    const struct {
        float capital;
        std::vector<std::tuple<Market, float, double>> fills; // units 0: only marks the market at the price
        int step;
        const char* trade; // units, market and message; "": none
    } cases[] = {
        {40000, {{SP500, 2, 1031.25}}, 1, "-1 SP500 | Mandatory Sale: 1 SP500 at $1031.25"},
        {40000, {{SP500, 2, 1031.25}}, 2, ""}, // TBond is flat
        {20000, {{TBond, 10, 100.0}, {TBond, 0, 99.0}}, 1, ""},
        // 10,000 carries 4.1 contracts against 24,300 of margin: keep 5, sell 5 + 1.
        {20000, {{TBond, 10, 100.0}, {TBond, 0, 99.0}}, 2, "-6 TBond | Mandatory Sale: 6 TBond at $99"},
        {5000, {{Oil, -5, 20.00}}, 3, "3 Oil | Mandatory Buy: 3 Oil at $20"},
        {5000,
         {{Oil, -5, 20.00}, {Oil, 4, 20.50}, {SP500, 2, 1000.0}},
         3,
         "1 Oil | Mandatory Purchase: 1 Oil at $20.5"},
        // An Oil contract takes 2,025 of margin: met to the cent, nothing; fifty cents short, the contract goes.
        {2025, {{Oil, 1, 20.00}}, 3, ""},
        {2024.5f, {{Oil, 1, 20.00}}, 3, "-1 Oil | Mandatory Sale: 1 Oil at $20"},
    };
    for (const auto& c : cases) {
        Desk d(Level::Expert, c.capital);
        for (const auto& [market, units, price] : c.fills) {
            if (units == 0) d.mark(market, price);
            else d.fill(market, units, price);
        }
        const auto t = d.account.mandatoryTrade(c.step, d.quotes);
        const QString seen = t ? QStringLiteral("%1 %2 | %3").arg(t->units).arg(marketName(t->market), t->message) : "";
        EXPECT_EQ(seen, c.trade) << c.capital << " step " << c.step;
    }
    Desk met;
    met.fill(SP500, 2, 1000.0);
    for (int step = 0; step <= Account::kLiquidationSteps + 1; ++step)
        EXPECT_FALSE(met.account.mandatoryTrade(step, met.quotes)) << step;
}

namespace {

// Books a fill against the book's own position.
Booking book(LotBook& b, double units, double price) { return b.book(units, b.units() + units, price); }

} // namespace

// The cent-priced markets' rounding (a Cattle difference of 0.475 read as 0.48, a lot price to the cent) meets the
// account model in TradingProperties on every tick; the finer decimals below lie off the grid it walks.
TEST(LotBook, TBondAndSoybeanKeepTheirFinerDecimals) {
    // TBond lots keep five decimals; 1/128 of a point is 7.8125 dollars a contract, rounded to 7.813.
    LotBook bond(Market::TBond);
    book(bond, 1, 118.15625);
    book(bond, 1, 100.0078125);
    EXPECT_EQ(bond.lot(1).price, 118.15625f);
    EXPECT_EQ(bond.lot(2).price, 100.00781f);
    LotBook bonds(Market::TBond);
    book(bonds, 2, 118.15625);
    EXPECT_DOUBLE_EQ(bonds.unrealized(118.1640625), 2 * 7.813);

    // Soybean rounds the price difference to five decimals first.
    LotBook soy(Market::Soybean);
    book(soy, 1, 6.1225);
    EXPECT_DOUBLE_EQ(soy.unrealized(6.1234567), 0.00096 * 5000);
}

TEST(LotBook, AFullBookRefusesANewLotAndChangesNothing) {
    LotBook oil(Market::Oil);
    for (int i = 0; i < 101; ++i) // the book holds 101 lots
        ASSERT_TRUE(book(oil, 1, 20.00 + i * 0.01).booked);
    EXPECT_FALSE(oil.canBook(1, oil.units() + 1));
    const Booking refused = book(oil, 1, 25.00);
    EXPECT_EQ((std::tuple{refused.booked, oil.count(), oil.units(), oil.lot(102).units}),
              (std::tuple{false, 101, 101, 0}));
    // A sale still matches and makes room.
    EXPECT_TRUE(book(oil, -1, 25.00).booked);
    EXPECT_EQ((std::tuple{oil.count(), oil.lot(1).price}), (std::tuple{100, 20.01f}));
}
