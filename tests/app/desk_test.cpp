// The trading desk played through the game: orders from Trade to Enter
// Order, refusals, Hold and Cancel, the trade report, margin calls and the
// end-of-game figures, on a year of 1990 where Oil rises 0.25 a day from
// 20.00 and the other markets stand still.
#include "app/controls.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

struct Desk : Harness {
    explicit Desk(const QString& level = QStringLiteral("Expert")) : Harness(sharedDaily1990()) {
        startDaily1990(level);
    }
    const ControlState& ctl(const QString& key) const { return game->model().at(key); }
    // Trade, market, side and units, up to the read-back.
    void enter(const QString& marketButton, const QString& side, const QString& units) {
        game->click(QStringLiteral("btnTrade"));
        if (!marketButton.isEmpty()) game->click(marketButton);
        game->click(side);
        game->setText(QStringLiteral("inputUnits"), units);
        game->keyPress(QStringLiteral("inputUnits"), Key::Enter);
    }
    void order(const QString& marketButton, const QString& side, const QString& units) {
        enter(marketButton, side, units);
        game->click(QStringLiteral("btnYes"));
    }
    float position(Market m) const { return state().desk.account.position(m); }
};

} // namespace

TEST(Desk, OrderIsReadBackThenFilledConfirmedAndShown) {
    Desk d;
    d.forward(); // Oil 20.00
    d.enter("btnOil", "btnBuy", "5");
    EXPECT_EQ(d.text("lblorderverify"), "Is this order correct? Buy 5 Oil @ $20.00");
    EXPECT_EQ(d.text("lblTraderInput"), "Order Verification:");
    EXPECT_TRUE(d.ctl("btnYes").visible);
    EXPECT_FALSE(d.ctl("btnChangePeriod").visible);
    EXPECT_TRUE(d.take().isEmpty()); // nothing filled yet
    d.game->click("btnYes");
    EXPECT_EQ(d.take(), QStringList{"frmTradeConfirmation: Electronic Mail:  Trade Confirmation | "
                                    "Transaction Order Filled: 5 Oil Bought @  $20.00"});
    EXPECT_FLOAT_EQ(d.position(Market::Oil), 5.0f);
    EXPECT_EQ(d.text("lblOilPos"), "5");
    EXPECT_EQ(d.text("lblTotTrades"), "1");
    EXPECT_EQ(d.text("lblLIAB"), "10,125.00");
    EXPECT_EQ(d.text("lblAvailMarg"), "89,875.00");
    EXPECT_EQ(d.text("lblTraderInput"), "Trader Input:");
    EXPECT_TRUE(d.ctl("btnChangePeriod").visible);
    EXPECT_FALSE(d.ctl("btnYes").visible);

    // The next day marks the lot to 20.25.
    d.forward();
    EXPECT_EQ(d.text("lblUPL"), "1,250.00");
    EXPECT_EQ(d.text("lblEq"), "101,250.00");
    EXPECT_EQ(d.text("lblPercentGL"), "1.25%");
    EXPECT_EQ(d.text("lblScore"), "$1,250.00");

    // Selling at 20.25 realizes it.
    d.order("btnOil", "btnSell", "5");
    EXPECT_EQ(d.take(), QStringList{"frmTradeConfirmation: Electronic Mail:  Trade Confirmation | "
                                    "Transaction Order Filled: 5 Oil Sold @  $20.25"});
    EXPECT_EQ(d.text("lblRPL"), "1,250.00");
    EXPECT_EQ(d.text("lblUPL"), "0.00");
    EXPECT_EQ(d.text("lblOilPos"), "0");
    EXPECT_EQ(d.state().desk.tradeCount(), 2);
}

TEST(Desk, FinePricedMarketsConfirmTheDecimalQuoted) {
    Desk d;
    d.forward();
    // Soybean 612.25 cents is quoted 6.1225 dollars; the fill must say so,
    // not the single-precision value's binary tail.
    d.order("btnSoybean", "btnSell", "1");
    d.order("btnTBond", "btnBuy", "2");
    EXPECT_EQ(d.take(), (QStringList{"frmTradeConfirmation: Electronic Mail:  Trade Confirmation | "
                                     "Transaction Order Filled: 1 Soybean Sold @  6.1225",
                                     "frmTradeConfirmation: Electronic Mail:  Trade Confirmation | "
                                     "Transaction Order Filled: 2 TBond Bought @  98.50"}));
}

TEST(Desk, RefusalsChangeNothingAndHoldOrCancelMakeNoTrade) {
    Desk d;
    d.forward();
    // Flat, 100,000 carries 49 Oil: 201 passes the position limit.
    d.enter("btnOil", "btnBuy", "201");
    EXPECT_EQ(d.take(), QStringList{"frmPlayerNotification: Trader Notification | "
                                    "Oil Position Limit is  200  Contracts:  Maximum Allowed Buy = 49"});
    EXPECT_EQ(d.text("inputUnits"), "");
    // A position-limit refusal goes back to the side buttons.
    EXPECT_FALSE(d.ctl("inputUnits").visible);
    EXPECT_TRUE(d.ctl("btnBuy").visible);
    d.game->click("btnBuy");
    d.game->setText("inputUnits", "2.5");
    d.game->keyPress("inputUnits", Key::Tab);
    EXPECT_EQ(d.take(), QStringList{"frmPlayerNotification: Trader Notification | You cannot transact fractional amounts"});
    EXPECT_TRUE(d.ctl("inputUnits").visible); // asked again
    d.game->setText("inputUnits", "abc");
    d.game->keyPress("inputUnits", Key::Enter);
    EXPECT_EQ(d.take(), QStringList{"frmPlayerNotification: Trader Notification | Please Enter Only Numbers"});
    EXPECT_FLOAT_EQ(d.position(Market::Oil), 0.0f);
    EXPECT_EQ(d.state().desk.tradeCount(), 0);

    // An empty box goes back to the side buttons; Hold then drops the order.
    d.game->setText("inputUnits", "");
    d.game->keyPress("inputUnits", Key::Enter);
    EXPECT_TRUE(d.take().isEmpty());
    EXPECT_TRUE(d.ctl("btnHold").visible);
    d.game->click("btnHold");
    EXPECT_EQ(d.state().desk.state, OrderState::ChangePeriod);
    EXPECT_FALSE(d.state().desk.pending.market.has_value());

    // Cancel Order after the read-back.
    d.enter("btnGold", "btnSell", "3");
    EXPECT_EQ(d.text("lblorderverify"), "Is this order correct? Sell 3 Gold @ $400.00");
    d.game->click("btnNo");
    EXPECT_TRUE(d.take().isEmpty());
    EXPECT_EQ(d.state().desk.tradeCount(), 0);
    EXPECT_FLOAT_EQ(d.position(Market::Gold), 0.0f);
    EXPECT_EQ(d.text("lblEq"), "100,000.00");
}

TEST(Desk, MaximumDisplayShowsWhatTheCheckWouldTake) {
    Desk d;
    d.forward();
    EXPECT_EQ(d.text("LabelMaxiPos"), "Maximum Transaction:");
    d.game->click("btnTrade");
    d.game->click("btnSp500");
    d.game->click("btnBuy");
    EXPECT_EQ(d.text("lblMaxSelected"), "4"); // 100,000 / 20,800
    EXPECT_EQ(d.text("promptUnits"), "Number of Contracts to Buy: ");
    d.game->click("mnuMaximum", 1);
    EXPECT_EQ(d.text("LabelMaxiPos"), "Maximum Position:");
    EXPECT_TRUE(d.ctl("mnuMaximum_1").checked);
    EXPECT_FALSE(d.ctl("mnuMaximum_0").checked);
}

TEST(Desk, NoviceTradesOilWithoutChoosingAMarket) {
    Desk d("Novice");
    d.forward();
    d.game->click("btnTrade");
    EXPECT_TRUE(d.ctl("btnOil").visible);
    for (const char* k : {"btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean"})
        EXPECT_FALSE(d.ctl(k).visible) << k;
    EXPECT_TRUE(d.ctl("btnBuy").visible);
    d.game->click("btnBuy");
    d.game->setText("inputUnits", "2");
    d.game->keyPress("inputUnits", Key::Enter);
    EXPECT_EQ(d.text("lblorderverify"), "Is this order correct? Buy 2 Oil @ $20.00");
    d.game->click("btnYes");
    EXPECT_FLOAT_EQ(d.position(Market::Oil), 2.0f);
    EXPECT_EQ(d.text("lblLIAB"), "4,050.00");
    EXPECT_EQ(d.text("lblEq"), "10,000.00");
}

TEST(Desk, TradeHistoryListsTheGamesTradesInPlaceOfTheCharts) {
    Desk d;
    d.forward();
    d.order("btnOil", "btnBuy", "3");
    d.forward();
    d.order("btnOil", "btnBuy", "1");
    d.game->click("btnTradeHist");
    const QList<QStringList> rows = d.ctl("TradeGrid").rows;
    EXPECT_TRUE(d.ctl("TradeGrid").visible);
    EXPECT_FALSE(d.ctl("GraphLeft").visible);
    EXPECT_FALSE(d.ctl("btnChangePeriod").enabled);
    EXPECT_EQ(d.text("LabelTH"), "Trade History");
    // The report's layout is the trade report's own test; here the game's
    // days, hours and fill prices reach it.
    ASSERT_GE(rows.size(), 3);
    EXPECT_EQ(rows[1], (QStringList{"1", "1", "4:00", "Oil", "Buy", "3", "$20.00"}));
    EXPECT_EQ(rows[2], (QStringList{"2", "2", "4:00", "Oil", "Buy", "1", "$20.25"}));
    d.game->click("btnCloseTradeHistory");
    EXPECT_TRUE(d.ctl("GraphLeft").visible);
    EXPECT_TRUE(d.ctl("btnChangePeriod").enabled);
    EXPECT_FALSE(d.ctl("TradeGrid").visible);
}

TEST(Desk, MarginCallIsAnnouncedThenLiquidatedAtForward) {
    Desk d;
    d.forward(); // Oil 20.00
    // Short 45 Oil ties up 91,125; each day costs 45 x 250 = 11,250.
    d.order("btnOil", "btnSell", "45");
    d.take();
    d.forward(); // 20.25: account 88,750, margin 91,125: a call of 2,375
    EXPECT_EQ(d.take(), QStringList{"frmPlayerNotification: *** Immediately Liquidate Positions *** | "
                                    "You have a margin call equaling  $2,375.00 dollars"});
    EXPECT_EQ(d.text("lblAvailMarg"), "-2,375.00");
    // The next press buys back what the account cannot carry and stops there,
    // still showing the day of its prices.
    const int before = d.state().periodIndex;
    const QString date = d.text("lblDate") + d.text("lblDay");
    d.forward();
    EXPECT_EQ(d.text("lblDate") + d.text("lblDay"), date);
    const QStringList t = d.take();
    ASSERT_EQ(t.size(), 1) << t.join('\n').toStdString();
    // 88,750 carries 43.8 contracts: keep 44, buy q + 1 = 2.
    EXPECT_EQ(t[0], "frmPlayerNotification: * Margin Call Liquidation * | Mandatory Buy: 2 Oil at $20.25");
    EXPECT_EQ(d.state().periodIndex, before); // the press ends with the liquidation
    EXPECT_FLOAT_EQ(d.position(Market::Oil), -43.0f);
    const TradeRecord& last = d.state().desk.trades.records().last();
    EXPECT_EQ(last.transaction, "Buy - Margin Call");
    EXPECT_FLOAT_EQ(last.amount, 2.0f);
    // Then the game goes on.
    d.forward();
    EXPECT_EQ(d.state().periodIndex, before + 1);
}

TEST(Desk, CommissionStatementChargesTwentyFiveATrade) {
    Desk d;
    d.forward();
    for (int i = 0; i < 6; ++i) {
        d.order("btnGold", "btnBuy", "1");
        d.order("btnGold", "btnSell", "1");
    }
    d.take();
    EXPECT_EQ(d.state().desk.tradeCount(), 12);
    EXPECT_FLOAT_EQ(d.state().commissionTotal, 240.0f); // an Expert's running total: 20 a trade
    d.game->click("mnuCommission");
    const QStringList t = d.take();
    ASSERT_EQ(t.size(), 1);
    EXPECT_TRUE(t[0].contains("Score (before commissions): $0.00\\nCommissions: $300.00\\n"
                              "Score (after commissions): $-300.00"))
        << t[0].toStdString();
}
