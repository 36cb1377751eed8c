// The account: valuation by level, margin, margin calls, the blow-out and
// the sizing of mandatory trades. A new game's reset is checked by the soak
// and the saved-game round trip, each level's capital by the setup test.
#include "desk.h"
#include "trading/order_texts.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

TEST(Account, ValueIsCapitalPlusRealizedPlusUnrealizedOfTheTradedMarkets) {
    for (Level level : {Level::Novice, Level::Expert}) {
        Desk d(level);
        const float start = d.account.startingCapital();
        d.fill(Market::Oil, 2, 20.00);
        d.fill(Market::Gold, 1, 380.0);
        d.fill(Market::Oil, -1, 21.00); // realizes 1,000
        d.mark(Market::Oil, 21.50);     // the long contract left: +1,500
        d.mark(Market::Gold, 400.0);    // +2,000, counted by an Expert only
        const double gold = level == Level::Expert ? 2000.0 : 0.0;
        EXPECT_DOUBLE_EQ(d.account.realizedPL(), 1000.0);
        EXPECT_DOUBLE_EQ(d.account.unrealizedPL(Market::Oil), 1500.0);
        EXPECT_DOUBLE_EQ(d.account.unrealizedPL(Market::Gold), gold);
        EXPECT_DOUBLE_EQ(d.account.unrealizedPL(), 1500.0 + gold);
        EXPECT_EQ(d.account.accountValue(), static_cast<float>(start + 2500.0 + gold));
    }
}

TEST(Account, MarginCountsEveryMarketsAbsolutePositionWhateverTheLevel) {
    Desk d(Level::Novice, 1e6f);
    d.fill(Market::Oil, -3, 20.00);
    d.fill(Market::Gold, 2, 380.0);
    d.fill(Market::TBond, -1, 100.0);
    d.fill(Market::SP500, 1, 1000.0);
    d.fill(Market::Cattle, -2, 70.0);
    d.fill(Market::Soybean, 1, 6.0);
    EXPECT_DOUBLE_EQ(d.account.marginRequirement(), 3 * 2025 + 2 * 1013 + 2430 + 20800 + 2 * 540 + 1485);
    // 1e6 - 33,896 of excess carries 46 more SP500 contracts.
    EXPECT_EQ(d.account.maxByMargin(Market::SP500), 46);
}

TEST(Account, MarginCallAmountIsTheExcessToTheCent) {
    Desk d(Level::Expert, 2000);
    d.fill(Market::TBond, 1, 100.0);
    d.mark(Market::TBond, 100.0078125); // +7.813
    EXPECT_DOUBLE_EQ(d.account.marginCallAmount(), -422.19);
    EXPECT_TRUE(d.account.marginCalled());
    EXPECT_EQ(d.account.maxByMargin(Market::TBond), -1); // a shortfall carries less than nothing
    EXPECT_EQ(marginCallMessage(d.account.marginCallAmount()), "You have a margin call equaling  $422.19 dollars");
    EXPECT_EQ(marginCallMessage(-1500.05), "You have a margin call equaling  $1,500.05 dollars");
}

TEST(Account, AnAccountWorthExactlyNothingIsBlownOut) {
    Desk d(Level::Novice);
    d.fill(Market::Oil, 10, 20.00);
    d.mark(Market::Oil, 19.01);
    EXPECT_FALSE(d.account.blownOut());
    EXPECT_TRUE(d.account.marginCalled());
    d.mark(Market::Oil, 19.00);
    EXPECT_EQ(d.account.accountValue(), 0.0f);
    EXPECT_TRUE(d.account.blownOut());
    // Nothing is left to meet a requirement with: no call, no margin room.
    EXPECT_EQ(d.account.marginCallAmount(), 0.0);
    EXPECT_EQ(d.account.maxByMargin(Market::Oil), 0);
}

TEST(MandatoryTrade, SellsOneContractMoreThanTheExcessAboveWhatTheAccountCarries) {
    Desk d(Level::Expert, 40000);
    d.fill(Market::SP500, 2, 1031.25);
    const auto trade = d.account.mandatoryTrade(1, d.quotes);
    ASSERT_TRUE(trade);
    EXPECT_EQ(trade->market, Market::SP500);
    EXPECT_EQ(trade->units, -1.0f);
    EXPECT_EQ(trade->side(), Side::Sell);
    EXPECT_EQ(trade->message, "Mandatory Sale: 1 SP500 at $1031.25");
    EXPECT_FALSE(d.account.mandatoryTrade(2, d.quotes)); // TBond is flat
}

TEST(MandatoryTrade, StartsAtTBondWithoutSP500AndTradesWholePositionsWhenPartWillNotDo) {
    Desk d(Level::Expert, 20000);
    d.fill(Market::TBond, 10, 100.0);
    d.mark(Market::TBond, 99.0); // worth 10,000 against 24,300 of margin
    EXPECT_FALSE(d.account.mandatoryTrade(1, d.quotes));
    auto bond = d.account.mandatoryTrade(2, d.quotes);
    ASSERT_TRUE(bond);
    // 10,000 carries 4.1 contracts: keep 5, sell 5 + 1.
    EXPECT_EQ(bond->units, -6.0f);
    EXPECT_EQ(bond->message, "Mandatory Sale: 6 TBond at $99");

    Desk shorts(Level::Expert, 5000);
    shorts.fill(Market::Oil, -5, 20.00);
    auto part = shorts.account.mandatoryTrade(3, shorts.quotes);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->units, 3.0f);
    EXPECT_EQ(part->message, "Mandatory Buy: 3 Oil at $20");
    shorts.fill(Market::Oil, 4, 20.50);
    shorts.fill(Market::SP500, 2, 1000.0); // margin far beyond the account
    auto whole = shorts.account.mandatoryTrade(3, shorts.quotes);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->units, 1.0f);
    EXPECT_EQ(whole->message, "Mandatory Purchase: 1 Oil at $20.5");
}

TEST(MandatoryTrade, NothingToDoWhenTheMarginIsMet) {
    Desk d;
    d.fill(Market::SP500, 2, 1000.0);
    for (int step = 0; step <= Account::kLiquidationSteps + 1; ++step)
        EXPECT_FALSE(d.account.mandatoryTrade(step, d.quotes));
    // An Oil contract takes 2,025 of margin: met to the cent, nothing; fifty
    // cents short, the contract goes.
    for (const auto& [capital, traded] : {std::pair{2025.0f, false}, {2024.5f, true}}) {
        Desk edge(Level::Expert, capital);
        edge.fill(Market::Oil, 1, 20.00);
        EXPECT_EQ(edge.account.mandatoryTrade(3, edge.quotes).has_value(), traded) << capital;
    }
}
