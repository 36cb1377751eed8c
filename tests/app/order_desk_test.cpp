// The order desk alone, on a bare state: a full trade record refuses the
// player's order at Trade yet records a margin call's; the gain figure.
#include "app/controls.h"
#include "app/desk_presenter.h"
#include "app/order_desk.h"
#include "app/scripted_dialogs.h"

#include <gtest/gtest.h>

using namespace pellucar;

namespace {

struct BareDesk {
    GameState s;
    PresentationModel model;
    ScriptedDialogs dialogs;
    int revalued = 0;
    OrderDesk desk{s, s.desk, model, dialogs, [this] { ++revalued; }};

    BareDesk() {
        applyDesignState(model);
        s.desk.account.reset(Level::Expert);
        s.clock.advance(); // period 1
        const auto oil = static_cast<size_t>(index(Market::Oil));
        s.prices.buyQuote[oil] = 20.25;
        s.prices.sellQuote[oil] = 20.0;
    }
};

} // namespace

TEST(OrderDesk, FullTradeRecordRefusesAtTradeButStillRecordsAMarginCallTrade) {
    BareDesk b;
    while (!b.s.desk.trades.full()) b.s.desk.trades.record(1, Market::Gold, Side::Buy, false, 1, 400);
    b.desk.btnTrade_Click();
    EXPECT_EQ(b.dialogs.transcript(), QStringList{QStringLiteral("frmPlayerNotification: ") + kTradeLogFullTitle +
                                                  " | " + kTradeLogFullMessage});
    EXPECT_EQ(b.s.desk.state, OrderState::ChangePeriod);

    // A margin call is cured whatever the record holds.
    b.s.desk.account.applyFill(Market::Oil, -3, 20);
    b.s.desk.pending = {Market::Oil, Side::Buy, 3, 0};
    EXPECT_TRUE(b.desk.ExecuteOrder(Fill::MarginCall));
    EXPECT_EQ(b.s.desk.account.position(Market::Oil), 0.0f);
    EXPECT_EQ(b.revalued, 1);
    ASSERT_EQ(b.s.desk.tradeCount(), TradeLog::kCapacity + 1);
    EXPECT_EQ(b.s.desk.trades.records().last().transaction(), "Buy - Margin Call");
}

TEST(OrderDesk, GainReadsTheSingleRatioAsItsShortestDecimal) {
    // 775 on 100,000 is 0.00775 in single precision, a hair below once
    // widened: the figure rounds the half the player reads.
    const struct {
        const char* name;
        double gold; // the mark of 1 Gold bought at 380
        const char* shown;
    } kCases[] = {{"half up", 387.75, "0.78%"}, {"half down", 372.25, "-0.78%"}, {"flat", 380, "0.00%"}};
    for (const auto& c : kCases) {
        BareDesk b;
        b.s.desk.account.applyFill(Market::Gold, 1, 380);
        MarketPrices marks{};
        marks[static_cast<size_t>(index(Market::Gold))] = c.gold;
        b.s.desk.account.revalue(marks);
        presentAccount(b.s.desk, Level::Expert, b.model);
        EXPECT_EQ(b.model.text("lblPercentGL").toStdString(), c.shown) << c.name;
    }
}
