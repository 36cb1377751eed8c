#pragma once
#include "app/dialogs/player_dialogs.h"
#include "app/state/game_state.h"
#include "app/view/actions.h"
#include "app/view/presentation_model.h"

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
    // The desk is the one writer of `desk`; the rest of the game it reads.
    OrderDesk(const GameState& game, TradingDesk& desk, PresentationModel& model, PlayerDialogs& dialogs,
              std::function<void()> afterFill);

    // The order's buttons and the trade report's.
    void addActions(ActionTable& actions);

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
    // Options > Maximum changed what the maximum beside the order counts.
    void maximumDisplayChanged() { ShowSelectedMaximum(); }
    // The account valued at the period's prices, and the maxima with it.
    void revalue(const MarketPrices& marks);
    // A margin call's mandatory trade, filled without asking; false when
    // nothing was booked.
    bool fillMandatory(const MandatoryTrade& trade);
    // The order being entered is dropped (a new period begins).
    void dropOrder() { desk_.clearOrder(); }
    // A resumed game carries the commissions of the games before it.
    void carryCommissions(float total) { desk_.commissionTotal = total; }
    // The level changed before a game: an empty account at that level.
    void resetAccount(Level level) { desk_.account.reset(level); }
    // A new game: an empty account at `level`, fresh limits and record, no
    // order (the commissions run on).
    void newGame(Level level);

private:
    void ClearOrder();
    void RefreshMaxima();
    void ShowSelectedMaximum();
    void VerifyOrder();
    double quoteFor(Market m, Side side) const;
    void FillOrder(Fill fill);
    void notifyRecordFull();
    QString periodTimeOfDay(int period) const;

    const GameState& s_;
    TradingDesk& desk_;
    PresentationModel& model_;
    PlayerDialogs& dialogs_;
    std::function<void()> afterFill_;
};

} // namespace pellucar
