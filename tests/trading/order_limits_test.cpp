// Order size limits: the entry, the lot-book guard, the buy and sale checks
// with their refusals, and the maxima shown beside the order entry.
#include "desk.h"
#include "trading/order_limits.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

UnitsCheck check(const Desk& d, Market m, Side side, const QString& entry) {
    OrderLimits limits;
    return limits.check(m, side, entry, d.account);
}

void expectRefusal(const UnitsCheck& c, Refusal r, NextStep next, const char* message) {
    EXPECT_EQ(c.refusal, r);
    EXPECT_EQ(c.next, next);
    EXPECT_EQ(c.title, "Trader Notification");
    EXPECT_EQ(c.message, QString::fromLatin1(message));
}

} // namespace

TEST(UnitsEntry, OnlyWholePositiveNumbersGoThrough) {
    Desk d;
    expectRefusal(check(d, Market::Oil, Side::Buy, "ten"), Refusal::NotANumber, NextStep::AskAgain,
                  "Please Enter Only Numbers");
    expectRefusal(check(d, Market::Oil, Side::Buy, "inf"), Refusal::NotANumber, NextStep::AskAgain,
                  "Please Enter Only Numbers");
    expectRefusal(check(d, Market::Oil, Side::Buy, "2.5"), Refusal::FractionalAmount, NextStep::AskAgain,
                  "You cannot transact fractional amounts");
    expectRefusal(check(d, Market::Oil, Side::Sell, "-3"), Refusal::NegativeAmount, NextStep::Trade,
                  "You cannot transact a negative amount for any commodity");
    for (const char* nothing : {"", "  ", "0", "-0"}) {
        const UnitsCheck c = check(d, Market::Oil, Side::Buy, nothing);
        EXPECT_EQ(c.refusal, Refusal::None) << nothing;
        EXPECT_EQ(c.next, NextStep::Trade) << nothing;
        EXPECT_TRUE(c.message.isEmpty());
    }
    const UnitsCheck sale = check(d, Market::Oil, Side::Sell, " 12 ");
    ASSERT_TRUE(sale.accepted());
    EXPECT_EQ(sale.units, -12.0f);
    // Sizes are held to 410,000 before the fractional test.
    Desk rich(Level::Expert, 1e6f);
    EXPECT_EQ(check(rich, Market::Oil, Side::Buy, "999999.5").refusal, Refusal::PositionLimitBuy);
    EXPECT_EQ(check(rich, Market::Oil, Side::Buy, "-999999.5").refusal, Refusal::NegativeAmount);
}

TEST(BuyChecks, PositionAndMarginRefusalsNameTheLimits) {
    Desk rich(Level::Expert, 1e6f);
    expectRefusal(check(rich, Market::Oil, Side::Buy, "201"), Refusal::PositionLimitBuy, NextStep::Trade,
                  "Oil Position Limit is  200  Contracts:  Maximum Allowed Buy = 200");
    Desk cattle(Level::Expert, 1e6f);
    cattle.fill(Market::Cattle, -500, 70.0);
    expectRefusal(check(cattle, Market::Cattle, Side::Buy, "1001"), Refusal::PositionLimitBuy,
                  NextStep::Trade, "Cattle Position Limit is  500  Contracts:  Maximum Allowed Buy = 1,000");
    rich.fill(Market::Oil, 200, 20.00);
    expectRefusal(check(rich, Market::Oil, Side::Buy, "1"), Refusal::NoMorePurchases, NextStep::Trade,
                  "Oil Position Limit is  200  Contracts:  No More Purchases Allowed");

    Desk d; // 100,000 carries 49 Oil contracts
    expectRefusal(check(d, Market::Oil, Side::Buy, "50"), Refusal::EquityBuy, NextStep::AskAgain,
                  "Not Enough Account Equity: Maximum Allowed Buy = 49 Contracts");
    EXPECT_TRUE(check(d, Market::Oil, Side::Buy, "49").accepted());
    Desk small(Level::Expert, 3000);
    expectRefusal(check(small, Market::Oil, Side::Buy, "2"), Refusal::EquityBuy, NextStep::AskAgain,
                  "Not Enough Account Equity: Maximum Allowed Buy = 1 Contracts");
}

TEST(BuyChecks, BuyingBackAShortMayTurnItRound) {
    Desk d(Level::Expert, 1e6f);
    d.fill(Market::Oil, -150, 20.00);
    const UnitsCheck c = check(d, Market::Oil, Side::Buy, "300");
    ASSERT_TRUE(c.accepted());
    EXPECT_EQ(c.units, 300.0f);
    EXPECT_EQ(OrderLimits::allowedMaximum(Market::Oil, Side::Buy, d.account).allowed, 350);
    d.fill(Market::Oil, c.units, 20.00);
    EXPECT_EQ(d.account.position(Market::Oil), 150.0f);
}

TEST(SaleChecks, PositionAndMarginRefusalsNameTheLimits) {
    Desk rich(Level::Expert, 1e6f);
    expectRefusal(check(rich, Market::Oil, Side::Sell, "201"), Refusal::PositionLimitSale, NextStep::Trade,
                  "Oil Position Limit is  200  Contracts:  Maximum Allowed Sale = 200");
    rich.fill(Market::Oil, -200, 20.00);
    expectRefusal(check(rich, Market::Oil, Side::Sell, "1"), Refusal::NoMoreSales, NextStep::Trade,
                  "Oil Position Limit is  200  Contracts:  No More Sales Allowed");
    rich.fill(Market::TBond, -100, 110.0);
    expectRefusal(check(rich, Market::TBond, Side::Sell, "1"), Refusal::NoMoreSales, NextStep::Trade,
                  "Tbond Position Limit is  100  Contracts:  No More Sales Allowed");

    Desk d;
    expectRefusal(check(d, Market::Oil, Side::Sell, "50"), Refusal::EquitySale, NextStep::AskAgain,
                  "Not Enough Account Equity:  Maximum Allowed Sale = 49 Contracts");
    Desk small(Level::Expert, 3000);
    expectRefusal(check(small, Market::Oil, Side::Sell, "2"), Refusal::EquitySale, NextStep::AskAgain,
                  "Not Enough Account Equity:  Maximum Allowed Sale = 1 Contract");
}

TEST(OrderChecks, WithoutExcessMarginOnlyReducingOrdersPass) {
    Desk longs(Level::Expert, 208000); // 10 SP500 take every dollar
    longs.fill(Market::SP500, 10, 1000.0);
    EXPECT_EQ(check(longs, Market::SP500, Side::Sell, "10").units, -10.0f);
    expectRefusal(check(longs, Market::SP500, Side::Buy, "1"), Refusal::MarginLimitPurchases, NextStep::Trade,
                  "Margin Limit Reached:  No More Purchases Allowed");
    Desk shorts(Level::Expert, 208000);
    shorts.fill(Market::SP500, -10, 1000.0);
    EXPECT_EQ(check(shorts, Market::SP500, Side::Buy, "10").units, 10.0f);
    expectRefusal(check(shorts, Market::SP500, Side::Sell, "1"), Refusal::MarginLimitSales, NextStep::Trade,
                  "Margin Limit Reached:  No More Sales Allowed");
}

TEST(OrderChecks, TextsTheChecksNeverReachStillReadRight) {
    // Both need a position beyond its limit, which no accepted order makes.
    EXPECT_EQ(refusalMessage(Refusal::NoMoreSalesBeyondLimit, Market::Gold),
              "Gold Position Limit is 400 Contracts:  No More Sales Allowed");
    EXPECT_EQ(refusalMessage(Refusal::TransactionLimit, Market::Soybean),
              "* Maximum Transaction Allowed is  500  Contracts *");
}

TEST(LotBookGuard, AHundredLotsStopNewLotsBeforeAnyOtherCheck) {
    Desk d(Level::Expert, 1e6f);
    for (int i = 0; i < 99; ++i)
        d.fill(Market::Gold, 1, 380.0);
    EXPECT_TRUE(check(d, Market::Gold, Side::Buy, "1").accepted());
    d.fill(Market::Gold, 1, 380.0);
    for (const char* entry : {"1", "abc", ""}) {
        const UnitsCheck c = check(d, Market::Gold, Side::Buy, entry);
        EXPECT_EQ(c.refusal, Refusal::InventoryFullPurchases);
        EXPECT_EQ(c.next, NextStep::ChangePeriod);
        EXPECT_EQ(c.title, "* Trader Notification *");
        EXPECT_EQ(c.message,
                  "No Additional Gold Purchases Allowed - Current Gold Inventory to Large: Try Selling");
    }
    EXPECT_TRUE(check(d, Market::Gold, Side::Sell, "5").accepted());

    Desk s(Level::Expert, 1e6f);
    for (int i = 0; i < 100; ++i)
        s.fill(Market::Cattle, -1, 70.0);
    EXPECT_EQ(check(s, Market::Cattle, Side::Sell, "1").message,
              "No Additional Cattle Sales Allowed - Current Cattle Inventory to Large: Try Buying");
    EXPECT_TRUE(check(s, Market::Cattle, Side::Buy, "1").accepted());
}

TEST(Maxima, MarginMaximaFollowTheFreeMarginCappedPerMarket) {
    Desk d;
    d.fill(Market::Oil, 10, 20.00);
    d.mark(Market::Oil, 19.00); // worth 90,000 with 20,250 tied up
    OrderLimits limits;
    limits.refresh(d.account, 5);
    EXPECT_EQ(limits.freeMargin(Market::Gold), 69750.0f);
    EXPECT_EQ(limits.marginMaximum(Market::Oil), 34);
    EXPECT_EQ(limits.marginMaximum(Market::SP500), 3);
    limits.refresh(d.account, 0); // before the first period: the starting capital
    EXPECT_EQ(limits.marginMaximum(Market::Oil), 49);
    EXPECT_EQ(limits.positionMaximum(Market::Oil, d.account), 44);
    EXPECT_EQ(limits.freeMargin(Market::Oil), 90000.0f);

    Desk rich(Level::Expert, 1e6f);
    limits.refresh(rich.account, 5);
    EXPECT_EQ(limits.marginMaximum(Market::Oil), 200);
    EXPECT_EQ(limits.marginMaximum(Market::SP500), 25);
    EXPECT_EQ(limits.positionMaximum(Market::Cattle, rich.account), 500);

    Desk novice(Level::Novice);
    limits.reset();
    limits.refresh(novice.account, 5);
    EXPECT_EQ(limits.marginMaximum(Market::Oil), 4);
    EXPECT_EQ(limits.marginMaximum(Market::Gold), 0);

    novice.fill(Market::Oil, 10, 20.00);
    novice.mark(Market::Oil, 18.00); // blown out
    limits.refresh(rich.account, 5);
    limits.refresh(novice.account, 5);
    for (Market m : kTradingOrder) {
        EXPECT_EQ(limits.marginMaximum(m), 0);
        EXPECT_EQ(limits.freeMargin(m), 0.0f);
    }
    EXPECT_EQ(limits.positionMaximum(Market::Oil, novice.account), 0);
    EXPECT_EQ(OrderLimits::selectedMaximum(Market::Oil, Side::Sell, novice.account), 0);
    EXPECT_EQ(OrderLimits::selectedMaximum(Market::Oil, Side::Sell, d.account), 2 * 10 + 34);
}

TEST(Maxima, AnAcceptedOrdersMarketKeepsItsFiguresUntilReleased) {
    Desk d;
    OrderLimits limits;
    limits.refresh(d.account, 3);
    ASSERT_TRUE(limits.check(Market::Oil, Side::Buy, "10", d.account).accepted());
    EXPECT_EQ(limits.heldMarket(), Market::Oil);
    d.fill(Market::Gold, 10, 380.0); // 10,130 of margin elsewhere
    limits.refresh(d.account, 3);
    EXPECT_EQ(limits.marginMaximum(Market::Oil), 49);
    EXPECT_EQ(limits.freeMargin(Market::Oil), 100000.0f);
    EXPECT_EQ(limits.marginMaximum(Market::Gold), 88);
    limits.releaseHeldMarket();
    limits.refresh(d.account, 3);
    EXPECT_EQ(limits.marginMaximum(Market::Oil), 44);
}
