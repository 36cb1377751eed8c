#pragma once
#include "app/game_state.h"
#include "app/player_dialogs.h"
#include "app/presentation.h"

#include <functional>

namespace pellucar {

// The trading desk's order flow: Trade, the market, Buy / Sell / Hold, the
// units, the read-back with Enter Order or Cancel, and the trade history
// report. The rules live in the trading classes; this runs their steps in
// order and arranges the trader-input panel.
class OrderDesk {
public:
    // `afterFill` runs after every fill: the account's revaluation (the game
    // may end there) and the charts that mark the fill belong to the game.
    OrderDesk(GameState& state, PresentationModel& model, PlayerDialogs& dialogs,
              std::function<void()> afterFill);

    // Arranges the trader-input panel for `state` and keeps it as the desk's.
    void SetOrderState(OrderState state);

    // The player's steps of an order.
    void btnTrade_Click();
    void marketButton_Click(Market m);
    void sideButton_Click(Side side);
    void btnHold_Click();
    // Tab or Enter in the units box.
    void InputUnits_KeyDown();
    void btnYes_Click();
    void btnNo_Click();
    // Escape: backs out of the order at whatever step it stands (market,
    // side, units or read-back) to the desk as it was when Trade was
    // pressed; nothing is traded. Does nothing between orders.
    void cancelOrder();
    // Fills the pending order at its quote and books it (a margin call's
    // trade too, without the confirmation); false when nothing was booked.
    bool ExecuteOrder(Fill fill = Fill::Player);

    void btnTradeHist_Click();
    void btnCloseTradeHistory_Click();
    // Options > Maximum: per transaction or per position.
    void mnuMaximum_Click(int index);

private:
    void ClearOrder();
    void RefreshMaxima();
    void ShowSelectedMaximum();
    void VerifyOrder();
    double quoteFor(Market m, Side side) const;
    void FillOrder(Fill fill);
    void notifyRecordFull();
    QString periodTimeOfDay(int period) const;

    GameState& s_;
    PresentationModel& model_;
    PlayerDialogs& dialogs_;
    std::function<void()> afterFill_;
};

} // namespace pellucar
