// The order desk alone, on a bare state: a full trade record drops the
// order before the account is touched or revalued.
#include "app/controls.h"
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
    OrderDesk desk{s, model, dialogs, [this] { ++revalued; }};

    BareDesk() {
        applyDesignState(model);
        s.desk.account.reset(Level::Expert);
        s.periodIndex = 1;
        const auto oil = static_cast<size_t>(index(Market::Oil));
        s.prices.buyQuote[oil] = 20.25;
        s.prices.sellQuote[oil] = 20.0;
    }
    void enter(Side side, const QString& units) {
        desk.btnTrade_Click();
        desk.marketButton_Click(Market::Oil);
        desk.sideButton_Click(side);
        model.setText("inputUnits", units);
        desk.InputUnits_KeyDown();
    }
};

} // namespace

TEST(OrderDesk, FullTradeRecordDropsTheOrderWithoutTouchingTheAccount) {
    BareDesk b;
    while (!b.s.desk.trades.full())
        b.s.desk.trades.record(1, Market::Gold, Side::Buy, false, 1, 400);
    b.enter(Side::Buy, "3");
    b.desk.btnYes_Click();
    EXPECT_EQ(b.revalued, 0);
    EXPECT_EQ(b.s.desk.account.position(Market::Oil), 0.0f);
    EXPECT_EQ(b.s.desk.pending, PendingOrder{});
    EXPECT_EQ(b.dialogs.transcript().size(), 1);
}
