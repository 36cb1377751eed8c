// The trade record, the texts of an order's life and the trade history report built from them.
#include "desk.h"
#include "trading/contract_terms.h"
#include "trading/order_texts.h"
#include "trading/trade_log.h"
#include "trading/trade_report.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;
using enum Market;

TEST(OrderTexts, ReadBackAndConfirmationShowEachMarketsPriceNotation) {
    EXPECT_EQ(unitsPrompt(Side::Sell), "Number of Contracts to Sell: ");
    EXPECT_EQ(orderReadBack(Gold, Side::Sell, -1200, 385.2f), "Is this order correct? Sell 1,200 Gold @ $385.20");
    EXPECT_EQ(orderReadBack(TBond, Side::Buy, 5, 118.15625), "Is this order correct? Buy 5 TBond @ $118.15625");
    EXPECT_EQ(orderReadBack(Soybean, Side::Buy, 2, 6.1225), "Is this order correct? Buy 2 Soybean @ $6.1225");
    EXPECT_EQ(fillConfirmation(Gold, -3, 385.2f), "Transaction Order Filled: 3 Gold Sold @  $385.20");
    EXPECT_EQ(fillConfirmation(Oil, 2, 18.455f), "Transaction Order Filled: 2 Oil Bought @  $18.46");
    EXPECT_EQ(fillConfirmation(TBond, 1, 100.0078125), "Transaction Order Filled: 1 TBond Bought @  100.0078125");
    EXPECT_EQ(fillConfirmation(Soybean, -4, 6.5), "Transaction Order Filled: 4 Soybean Sold @  6.50");
}

TEST(TradeLog, AFullRecordRefusesThePlayersNextTrade) {
    TradeLog log;
    for (int i = 0; i < 10000; ++i) ASSERT_TRUE(log.record(i, Oil, Side::Buy, false, 1, 20.0f));
    EXPECT_TRUE(log.full());
    EXPECT_FALSE(log.record(1, Gold, Side::Sell, false, -1, 380.0f));
    EXPECT_EQ((std::tuple{log.count(), log.records().last().number, log.records().last().market}),
              (std::tuple{10000, 10000, Oil}));
    // Past a full record only margin calls trade, each closing at least a contract.
    int limits = 0;
    for (Market m : kTradingOrder) limits += contractTerms(m).positionLimit;
    EXPECT_EQ(TradeLog::kMaxRecords, TradeLog::kCapacity + limits);
    EXPECT_TRUE(QString::fromLatin1(kTradeLogFullMessage).contains("10,000"));
}

// The statement's 25 a trade and an Expert's 20 are charged through the desk; a Novice accrues nothing.
TEST(Commissions, ANovicesRunningTotalStaysAsItWas) { EXPECT_EQ(commissionAfterTrade(40.0f, Level::Novice), 40.0f); }

TEST(TradeReport, ListsTradesThenTheAveragePriceOfEachOpenPosition) {
    const auto clock = [](int day) { return QStringLiteral("t%1").arg(day); };
    using Kind = ReportRow::Kind;
    Desk d;
    TradeLog log;
    const ReportGrid empty = tradeReport(log, d.account, clock);
    EXPECT_EQ(empty.header,
              QStringList({"  #  ", "Day", "Time", "Security", "Transaction        ", "Amount", "Price", "P(L)"}));
    EXPECT_EQ(empty.rows, QList<ReportRow>({{Kind::Text, {"* No Trades Executed *"}}}));

    auto trade = [&](int day, Market m, float units, double price, bool marginCall = false) {
        d.fill(m, units, price);
        log.record(day, m, sideOf(units), marginCall, units, static_cast<float>(price));
    };
    trade(1, Oil, 3, 20.00);
    trade(2, Oil, 2, 21.37);
    trade(2, TBond, -1200, 118.15625);
    trade(3, TBond, 1200, 117.5, true);
    trade(4, Soybean, -2, 6.1225);
    const QList<ReportRow> rows = tradeReport(log, d.account, clock).rows;
    ASSERT_EQ(rows.size(), 5 + 2 * 3);
    EXPECT_EQ(rows[0], (ReportRow{Kind::Entry, {"1", "1", "t1", "Oil", "Buy", "3", "$20.00", ""}}));
    EXPECT_EQ(rows[2].cells, QStringList({"3", "2", "t2", "TBond", "Sell", "-1,200", " $118.15625", ""}));
    // The short closed 21/32 lower: $656.25 a contract.
    EXPECT_EQ((QStringList{rows[3].cells.value(4), rows[3].cells.value(7), rows[4].cells.value(6)}),
              (QStringList{"Buy - Margin Call", "$787,500.00", " $6.1225"}));
    // Oil's section, then Soybean's; the closed TBond position has none.
    EXPECT_EQ(rows[5], (ReportRow{Kind::Rule, {"**********"}}));
    EXPECT_EQ(rows[6], (ReportRow{Kind::Text, {"OIL:"}}));
    EXPECT_EQ(rows[7], (ReportRow{Kind::Text, {"", "", "Average Price of", "Oil", "Position  =", "", " $20.548"}}));
    EXPECT_EQ((std::tuple{rows[8].kind, rows[9].cells, rows[10].cells.value(6)}),
              (std::tuple{Kind::Rule, QStringList({"Soybean:"}), " $6.1225"}));
}
