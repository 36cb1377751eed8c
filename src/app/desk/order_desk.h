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

    // A replay nobody sees (Resume): the texts no rule reads back (the
    // read-back, the maximum beside the order) are not written and the fill
    // is not confirmed in a window; the game that takes the replay's state
    // presents its own.
    void setUnseen(bool unseen) { unseen_ = unseen; }

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
    // The journal: writes the note on `trade` (an empty text removes it);
    // empty, or why not. The menu's item asks the player for the note on
    // `trade`, or on the last trade when no trade is named.
    QString writeNote(int trade, const QString& text);
    void mnuTradeNote_Click(int trade);
    // A resumed game's notes, checked with its file.
    void restoreJournal(const QMap<int, QString>& notes) { desk_.journal.restore(notes); }
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

    // Trainer rules, between presses: the player's working orders. Each
    // returns an empty text when done, else the refusal, told to the player
    // first. An order is checked against the limits as if it filled now; a
    // market order fills at once at the quote (a bracket's exits then start
    // working). Every decision is kept for a resumed game to make again.
    QString placeWorking(const OrderRequest& request, int* id = nullptr);
    QString changeWorkingPrice(int id, double price);
    QString changeWorkingUnits(int id, int units);
    QString cancelWorking(int id);
    // In a press, once the period's prices are stored: the working orders
    // the ranges reach fill in the owner's order, each checked again against
    // the limits with the account marked to `marks` (an exit that only
    // reduces a position never is). A refused fill is cancelled with a
    // notice naming the limit.
    void fillWorking(const PeriodRanges& ranges, const MarketPrices& marks);
    // A margin call's trade liquidates `m`: its working orders go, with a notice.
    void cancelWorkingFor(Market m);

private:
    void ClearOrder();
    void RefreshMaxima();
    void ShowSelectedMaximum();
    void VerifyOrder();
    double quoteFor(Market m, Side side) const;
    void FillOrder(Fill fill);
    void notifyRecordFull();
    QString periodTimeOfDay(int period) const;
    QString refuse(const QString& why);
    // The refusal of `units` of `m` by the limits as if they filled now, told
    // to the player; empty when they pass.
    QString limitRefusal(Market m, Side side, int units);
    void keepDecision(OrderDecision d);
    // A change of a working order the book took (`p` None) kept as the
    // player's decision, else refused with the problem's text.
    QString keepChange(OrderProblem p, Market m, OrderDecision::Kind kind, int id, double price = 0, int units = 0);
    // Records, books and charges one working order's fill; false when the
    // trade record has no room for it.
    bool bookWorkingFill(const OrderFill& fill);

    const GameState& s_;
    TradingDesk& desk_;
    PresentationModel& model_;
    PlayerDialogs& dialogs_;
    std::function<void()> afterFill_;
    bool unseen_ = false;
};

} // namespace pellucar
