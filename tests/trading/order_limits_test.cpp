// Order size limits: the entry, the lot-book guard, the buy and sale refusals, and the maxima shown.
#include "desk.h"
#include "trading/order_limits.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace pellucar;
using namespace pellucar::test;

namespace {

UnitsCheck check(const Desk& d, Market m, Side side, const QString& entry) {
    return OrderLimits{}.check(m, side, entry, d.account);
}

using enum Market;
using enum Side;
using enum Refusal;
using enum NextStep;
constexpr float kRich = 1e6f;   // margin for more than any position limit
constexpr float kBare = 208000; // ten SP500 contracts take every dollar

// An Expert account of `capital` holding `held` contracts of the market checks an entry.
const struct {
    float capital, held;
    Market market;
    Side side;
    const char* entry;
    Refusal refusal;
    NextStep next;
    const char* message; // accepted orders: "" and the signed units below
    float units = 0;
} kCases[] = {
    {1e5f, 0, Oil, Buy, "ten", NotANumber, AskAgain, "Please Enter Only Numbers"},
    {1e5f, 0, Oil, Buy, "inf", NotANumber, AskAgain, "Please Enter Only Numbers"},
    {1e5f, 0, Oil, Buy, "2.5", FractionalAmount, AskAgain, "You cannot transact fractional amounts"},
    {1e5f, 0, Oil, Sell, "-3", NegativeAmount, Trade, "You cannot transact a negative amount for any commodity"},
    {1e5f, 0, Oil, Buy, "", None, Trade, ""},
    {1e5f, 0, Oil, Buy, "0", None, Trade, ""},
    {1e5f, 0, Oil, Sell, " 12 ", None, VerifyOrder, "", -12},
    // Sizes are held to 410,000 before the fractional test.
    {kRich, 0, Oil, Buy, "999999.5", PositionLimitBuy, Trade,
     "Oil Position Limit is  200  Contracts:  Maximum Allowed Buy = 200"},
    {kRich, 0, Oil, Buy, "-999999.5", NegativeAmount, Trade, "You cannot transact a negative amount for any commodity"},
    // Buys.
    {kRich, 0, Oil, Buy, "201", PositionLimitBuy, Trade,
     "Oil Position Limit is  200  Contracts:  Maximum Allowed Buy = 200"},
    {kRich, -500, Cattle, Buy, "1001", PositionLimitBuy, Trade,
     "Cattle Position Limit is  500  Contracts:  Maximum Allowed Buy = 1,000"},
    {kRich, 200, Oil, Buy, "1", NoMorePurchases, Trade,
     "Oil Position Limit is  200  Contracts:  No More Purchases Allowed"},
    {1e5f, 0, Oil, Buy, "50", EquityBuy, AskAgain, "Not Enough Account Equity: Maximum Allowed Buy = 49 Contracts"},
    {1e5f, 0, Oil, Buy, "49", None, VerifyOrder, "", 49},
    {3000, 0, Oil, Buy, "2", EquityBuy, AskAgain, "Not Enough Account Equity: Maximum Allowed Buy = 1 Contracts"},
    {kRich, -150, Oil, Buy, "300", None, VerifyOrder, "", 300}, // turns the short round
    {kBare, 10, SP500, Buy, "1", MarginLimitPurchases, Trade, "Margin Limit Reached:  No More Purchases Allowed"},
    {kBare, -10, SP500, Buy, "10", None, VerifyOrder, "", 10},
    // Sales.
    {kRich, 0, Oil, Sell, "201", PositionLimitSale, Trade,
     "Oil Position Limit is  200  Contracts:  Maximum Allowed Sale = 200"},
    {kRich, -50, Oil, Sell, "200", PositionLimitSale, Trade, // already short: the rest of the limit
     "Oil Position Limit is  200  Contracts:  Maximum Allowed Sale = 150"},
    {kRich, -200, Oil, Sell, "1", NoMoreSales, Trade, "Oil Position Limit is  200  Contracts:  No More Sales Allowed"},
    {kRich, -100, TBond, Sell, "1", NoMoreSales, Trade,
     "Tbond Position Limit is  100  Contracts:  No More Sales Allowed"},
    {1e5f, 0, Oil, Sell, "50", EquitySale, AskAgain, "Not Enough Account Equity:  Maximum Allowed Sale = 49 Contracts"},
    {3000, 0, Oil, Sell, "2", EquitySale, AskAgain, "Not Enough Account Equity:  Maximum Allowed Sale = 1 Contract"},
    {kRich, 50, Oil, Sell, "251", PositionLimitSale, Trade, // held long: the long and the limit beyond it
     "Oil Position Limit is  200  Contracts:  Maximum Allowed Sale = 250"},
    {kRich, 50, Oil, Sell, "250", None, VerifyOrder, "", -250},
    {kBare, -10, SP500, Sell, "1", MarginLimitSales, Trade, "Margin Limit Reached:  No More Sales Allowed"},
    {kBare, 10, SP500, Sell, "10", None, VerifyOrder, "", -10},
};

} // namespace

TEST(OrderChecks, EachEntryIsTakenOrRefusedWithItsTextAndNextStep) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << marketName(c.market).toStdString() << " " << c.entry << " " << c.message);
        Desk d(Level::Expert, c.capital);
        if (c.held != 0) d.fill(c.market, c.held, d.quotes[static_cast<size_t>(index(c.market))]);
        const UnitsCheck r = check(d, c.market, c.side, QString::fromLatin1(c.entry));
        EXPECT_EQ((std::tuple{r.refusal, r.next, r.title, r.message, r.units}),
                  (std::tuple{c.refusal, c.next, c.refusal == None ? "" : "Trader Notification", c.message, c.units}));
    }
    // Buying back a whole short is taken even where the other markets' margin leaves the account short of this one's.
    Desk deficit(Level::Expert, kBare);
    deficit.fill(Oil, 150, 20.0);
    deficit.fill(SP500, -10, 1000.0);
    EXPECT_EQ(check(deficit, SP500, Buy, "10").units, 10);
    EXPECT_EQ(check(deficit, SP500, Buy, "11").refusal, EquityBuy);
    // Both need a position beyond its limit, which no accepted order makes.
    EXPECT_EQ(refusalMessage(NoMoreSalesBeyondLimit, Gold),
              "Gold Position Limit is 400 Contracts:  No More Sales Allowed");
    EXPECT_EQ(refusalMessage(TransactionLimit, Soybean), "* Maximum Transaction Allowed is  500  Contracts *");
}

TEST(OrderChecks, AHundredLotsStopNewLotsBeforeAnyOtherCheck) {
    Desk d(Level::Expert, kRich);
    for (int i = 0; i < 99; ++i) d.fill(Gold, 1, 380.0);
    EXPECT_TRUE(check(d, Gold, Buy, "1").accepted());
    d.fill(Gold, 1, 380.0);
    for (const char* entry : {"1", "abc", ""}) {
        const UnitsCheck c = check(d, Gold, Buy, entry);
        EXPECT_EQ((std::tuple{c.next, c.title, c.message}),
                  (std::tuple{ChangePeriod, "* Trader Notification *",
                              "No Additional Gold Purchases Allowed - Current Gold Inventory to Large: Try Selling"}));
    }
    EXPECT_TRUE(check(d, Gold, Sell, "5").accepted());

    Desk s(Level::Expert, kRich);
    for (int i = 0; i < 100; ++i) s.fill(Cattle, -1, 70.0);
    EXPECT_EQ(check(s, Cattle, Sell, "1").message,
              "No Additional Cattle Sales Allowed - Current Cattle Inventory to Large: Try Buying");
    EXPECT_TRUE(check(s, Cattle, Buy, "1").accepted());
}

TEST(Maxima, MarginMaximaFollowTheFreeMarginCappedPerMarket) {
    Desk d;
    d.fill(Oil, 10, 20.00);
    d.mark(Oil, 19.00); // worth 90,000 with 20,250 tied up
    OrderLimits limits;
    limits.refresh(d.account, 5);
    EXPECT_EQ((std::tuple{limits.freeMargin(Gold), limits.marginMaximum(Oil), limits.marginMaximum(SP500)}),
              (std::tuple{69750.0f, 34, 3}));
    limits.refresh(d.account, 0); // before the first period: the starting capital
    EXPECT_EQ((std::tuple{limits.marginMaximum(Oil), limits.positionMaximum(Oil, d.account), limits.freeMargin(Oil)}),
              (std::tuple{49, 44, 90000.0f}));
    EXPECT_EQ(OrderLimits::selectedMaximum(Oil, Sell, d.account), 2 * 10 + 34);

    Desk rich(Level::Expert, kRich);
    limits.refresh(rich.account, 5);
    // Each market's own cap, whatever the margin would carry.
    const std::pair<Market, int> caps[] = {{Oil, 200},  {Gold, 400},   {TBond, 100},
                                           {SP500, 25}, {Cattle, 500}, {Soybean, 250}};
    for (const auto& [m, cap] : caps)
        EXPECT_EQ((std::tuple{limits.marginMaximum(m), limits.positionMaximum(m, rich.account)}),
                  (std::tuple{cap, cap}));

    Desk novice(Level::Novice);
    limits.reset();
    limits.refresh(novice.account, 5);
    EXPECT_EQ((std::tuple{limits.marginMaximum(Oil), limits.marginMaximum(Gold)}), (std::tuple{4, 0}));
    novice.fill(Oil, 10, 20.00);
    novice.mark(Oil, 18.00); // blown out
    limits.refresh(rich.account, 5);
    limits.refresh(novice.account, 5);
    for (Market m : kTradingOrder)
        EXPECT_EQ((std::tuple{limits.marginMaximum(m), limits.freeMargin(m)}), (std::tuple{0, 0.0f}));
    EXPECT_EQ((std::tuple{limits.positionMaximum(Oil, novice.account),
                          OrderLimits::selectedMaximum(Oil, Sell, novice.account)}),
              (std::tuple{0, 0}));
}

TEST(Maxima, AnAcceptedOrdersMarketKeepsItsFiguresUntilReleased) {
    Desk d;
    OrderLimits limits;
    limits.refresh(d.account, 3);
    ASSERT_TRUE(limits.check(Oil, Buy, "10", d.account).accepted());
    d.fill(Gold, 10, 380.0); // 10,130 of margin elsewhere
    limits.refresh(d.account, 3);
    EXPECT_EQ((std::tuple{limits.marginMaximum(Oil), limits.freeMargin(Oil), limits.marginMaximum(Gold)}),
              (std::tuple{49, 100000.0f, 88}));
    limits.releaseHeldMarket();
    limits.refresh(d.account, 3);
    EXPECT_EQ(limits.marginMaximum(Oil), 44);
}
