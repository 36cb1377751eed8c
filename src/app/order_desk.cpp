#include "app/order_desk.h"
#include "app/desk_presenter.h"
#include "app/game_calendar.h"
#include "common/format.h"
#include "trading/order_texts.h"
#include "trading/trade_report.h"

namespace pellucar {

OrderDesk::OrderDesk(GameState& state, PresentationModel& model, PlayerDialogs& dialogs,
                     std::function<void()> afterFill)
    : s_(state), model_(model), dialogs_(dialogs), afterFill_(std::move(afterFill)) {}

void OrderDesk::SetOrderState(OrderState state) {
    presentOrderState(state, model_);
    s_.desk.state = state;
    layoutCharts(model_);
}

void OrderDesk::ClearOrder() { s_.desk.clearOrder(); }

void OrderDesk::RefreshMaxima() { s_.desk.limits.refresh(s_.desk.account, s_.clock.periodIndex()); }

void OrderDesk::ShowSelectedMaximum() {
    const PendingOrder& o = s_.desk.pending;
    if (!o.market || !o.side) return;
    TradingDesk& d = s_.desk;
    const int shown = s_.settings.maximumDisplay == MaximumDisplay::Positions
                          ? d.limits.positionMaximum(*o.market, d.account)
                          : OrderLimits::selectedMaximum(*o.market, *o.side, d.account);
    model_.setText("lblMaxSelected", formatWhole(shown));
}

void OrderDesk::btnTrade_Click() {
    if (s_.desk.trades.full()) {
        // Told before any step of an order rather than after its read-back.
        notifyRecordFull();
        return;
    }
    ClearOrder();
    const bool novice = s_.settings.level == Level::Novice;
    SetOrderState(OrderState::Trade);
    for (Market m : kTradingOrder) setMarketButtonVisible(model_, m, !novice || m == Market::Oil, true);
    if (novice) {
        // A Novice trades Oil alone: the side comes straight away.
        s_.desk.pending.market = Market::Oil;
        offerSides(model_);
    } else {
        model_.setText("lblTraderInput", QStringLiteral("Trader Input: (Select Security)"));
    }
}

void OrderDesk::marketButton_Click(Market m) {
    s_.desk.pending.market = m;
    // The chosen market stays in view, pressed; the others go.
    for (Market other : kTradingOrder) setMarketButtonVisible(model_, other, other == m, other != m);
    SetOrderState(OrderState::Trade);
    offerSides(model_);
}

void OrderDesk::sideButton_Click(Side side) {
    PendingOrder& o = s_.desk.pending;
    if (!o.market) o.market = Market::Oil;
    o.side = side;
    RefreshMaxima();
    ShowSelectedMaximum();
    model_.setText("promptUnits", unitsPrompt(side));
    SetOrderState(OrderState::GetUnits);
    model_.setText("inputUnits", QString());
    model_.setVisible("inputUnits", true);
}

void OrderDesk::btnHold_Click() {
    for (const char* k : {"btnBuy", "btnSell", "btnHold"}) {
        model_.setEnabled(k, false);
        model_.setVisible(k, false);
    }
    RefreshMaxima();
    ClearOrder();
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
}

void OrderDesk::InputUnits_KeyDown() {
    TradingDesk& d = s_.desk;
    PendingOrder& o = d.pending;
    if (d.state != OrderState::GetUnits || !o.market || !o.side) return;
    const QString entry = model_.text("inputUnits");
    const UnitsCheck check = d.limits.check(*o.market, *o.side, entry, d.account);
    if (check.refused()) dialogs_.notify(check.title, check.message, 0);
    model_.setText("inputUnits", QString());
    switch (check.next) {
    case NextStep::VerifyOrder:
        o.units = check.units;
        VerifyOrder();
        break;
    case NextStep::AskAgain:
        ShowSelectedMaximum();
        SetOrderState(OrderState::GetUnits);
        model_.setVisible("inputUnits", true);
        break;
    case NextStep::Trade:
        // Back to choosing the side (or Hold) for the same market.
        model_.setVisible("promptUnits", false);
        model_.setVisible("inputUnits", false);
        RefreshMaxima();
        SetOrderState(OrderState::Trade);
        offerSides(model_);
        break;
    case NextStep::ChangePeriod:
        ClearOrder();
            SetOrderState(OrderState::ChangePeriod);
        break;
    }
}

void OrderDesk::VerifyOrder() {
    const PendingOrder& o = s_.desk.pending;
    const double price = quoteFor(*o.market, *o.side);
    SetOrderState(OrderState::CorrOrd);
    model_.setText("lblorderverify", orderReadBack(*o.market, *o.side, o.units, price));
}

double OrderDesk::quoteFor(Market m, Side side) const {
    const size_t i = static_cast<size_t>(index(m));
    return side == Side::Buy ? s_.prices.buyQuote[i] : s_.prices.sellQuote[i];
}

void OrderDesk::btnYes_Click() {
    ExecuteOrder();
    s_.desk.limits.releaseHeldMarket();
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
}

void OrderDesk::btnNo_Click() {
    s_.desk.limits.releaseHeldMarket();
    RefreshMaxima();
    ClearOrder();
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
    model_.setVisible("Label8", true); // the reports heading the units step hid
}

void OrderDesk::cancelOrder() {
    const OrderState st = s_.desk.state;
    if (st != OrderState::Trade && st != OrderState::GetUnits && st != OrderState::CorrOrd) return;
    // What Cancel Order does at the read-back does at every step.
    btnNo_Click();
}

bool OrderDesk::ExecuteOrder(Fill fill) {
    TradingDesk& d = s_.desk;
    PendingOrder& o = d.pending;
    if (!o.market || !o.side || o.units == 0) return false;
    if (d.trades.full() && fill == Fill::Player) {
        // Trade refuses to start an order on a full record; one already
        // entered (a resumed game's) is dropped whole.
        notifyRecordFull();
        ClearOrder();
        return false;
    }
    FillOrder(fill);
    const Booking booked = d.account.applyFill(*o.market, o.units, o.fillPrice);
    Q_ASSERT(booked.booked); // the lot-book guard keeps a full book from opening lots
    afterFill_();
    ClearOrder();
    return booked.booked;
}

void OrderDesk::notifyRecordFull() {
    dialogs_.notify(QString::fromLatin1(kTradeLogFullTitle), QString::fromLatin1(kTradeLogFullMessage), 0);
}

void OrderDesk::FillOrder(Fill fill) {
    TradingDesk& d = s_.desk;
    PendingOrder& o = d.pending;
    o.fillPrice = quoteFor(*o.market, *o.side);
    const bool marginCall = fill == Fill::MarginCall;
    if (!marginCall) {
        const OrderState before = d.state;
        SetOrderState(OrderState::TradeConfirmation);
        dialogs_.tradeConfirmation(fillConfirmation(*o.market, o.units, o.fillPrice));
        d.state = before;
    }
    d.trades.record(s_.clock.periodIndex(), *o.market, *o.side, marginCall, o.units, static_cast<float>(o.fillPrice));
    model_.setText("lblTotTrades", QString::number(d.tradeCount()));
    s_.commissionTotal = commissionAfterTrade(s_.commissionTotal, s_.settings.level);
    model_.setText("lblTraderInput", QStringLiteral("Trader Input:"));
}

void OrderDesk::btnTradeHist_Click() {
    const auto timeOf = [this](int day) { return periodTimeOfDay(day); };
    model_["TradeGrid"].grid = tradeReport(s_.desk.trades, s_.desk.account, timeOf);
    model_.setText("LabelTH", QStringLiteral("Trade History"));
    showReport(model_, QStringLiteral("TradeGrid"), QStringLiteral("LabelTH"), QStringLiteral("btnCloseTradeHistory"));
    layoutCharts(model_);
}

void OrderDesk::btnCloseTradeHistory_Click() {
    closeReport(model_, QStringLiteral("TradeGrid"), QStringLiteral("LabelTH"), QStringLiteral("btnCloseTradeHistory"));
    layoutCharts(model_);
}

QString OrderDesk::periodTimeOfDay(int period) const {
    if (s_.clock.dataMode() != DataMode::Tick) return QStringLiteral("4:00");
    // The hour without its suffix, as the clock names the period.
    QString t = traderTickTime(period);
    return t.left(t.indexOf(' '));
}

void OrderDesk::mnuMaximum_Click(int index) {
    if (index != 0 && index != 1) return;
    s_.settings.maximumDisplay = index == 1 ? MaximumDisplay::Positions : MaximumDisplay::Transaction;
    presentSettings(s_.settings, model_);
    ShowSelectedMaximum();
}

} // namespace pellucar
