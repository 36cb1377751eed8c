#include "app/desk/order_desk.h"
#include "app/state/clock.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"
#include "common/format.h"
#include "trading/order_texts.h"
#include "trading/trade_report.h"

namespace pellucar {

OrderDesk::OrderDesk(const GameState& game, TradingDesk& desk, PresentationModel& model, PlayerDialogs& dialogs,
                     std::function<void()> afterFill)
    : s_(game), desk_(desk), model_(model), dialogs_(dialogs), afterFill_(std::move(afterFill)) {}

void OrderDesk::addActions(ActionTable& a) {
    a.insert(QString::fromLatin1(keys::kTrade), [this](int) { btnTrade_Click(); });
    a.insert(QStringLiteral("btnHold"), [this](int) { btnHold_Click(); });
    a.insert(QStringLiteral("btnYes"), [this](int) { btnYes_Click(); });
    a.insert(QStringLiteral("btnNo"), [this](int) { btnNo_Click(); });
    a.insert(QStringLiteral("btnBuy"), [this](int) { sideButton_Click(Side::Buy); });
    a.insert(QStringLiteral("btnSell"), [this](int) { sideButton_Click(Side::Sell); });
    a.insert(QString::fromLatin1(keys::kTradeHistory), [this](int) { btnTradeHist_Click(); });
    a.insert(QStringLiteral("btnCloseTradeHistory"), [this](int) { btnCloseTradeHistory_Click(); });
    for (Market m : kTradingOrder) a.insert(keysOf(m).button, [this, m](int) { marketButton_Click(m); });
}

void OrderDesk::revalue(const MarketPrices& marks) {
    desk_.account.revalue(marks);
    desk_.limits.refresh(desk_.account, s_.clock.periodIndex());
}

bool OrderDesk::fillMandatory(const MandatoryTrade& t) {
    PendingOrder& order = desk_.pending;
    order.market = t.market;
    order.side = t.side();
    order.units = t.units;
    return ExecuteOrder(Fill::MarginCall);
}

void OrderDesk::newGame(Level level) {
    desk_.account.reset(level);
    desk_.limits.reset();
    desk_.trades.clear();
    desk_.clearOrder();
}

void OrderDesk::SetOrderState(OrderState state) {
    presentOrderState(state, model_);
    desk_.state = state;
    layoutCharts(model_);
}

void OrderDesk::ClearOrder() { desk_.clearOrder(); }

void OrderDesk::RefreshMaxima() { desk_.limits.refresh(desk_.account, s_.clock.periodIndex()); }

void OrderDesk::ShowSelectedMaximum() {
    const PendingOrder& o = desk_.pending;
    if (!o.market || !o.side) return;
    TradingDesk& d = desk_;
    const int shown = s_.settings.maximumDisplay == MaximumDisplay::Positions
                          ? d.limits.positionMaximum(*o.market, d.account)
                          : OrderLimits::selectedMaximum(*o.market, *o.side, d.account);
    model_.setText("lblMaxSelected", formatWhole(shown));
}

void OrderDesk::btnTrade_Click() {
    if (desk_.trades.full()) {
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
        desk_.pending.market = Market::Oil;
        offerSides(model_);
    } else {
        model_.setText("lblTraderInput", QStringLiteral("Trader Input: (Select Security)"));
    }
}

void OrderDesk::marketButton_Click(Market m) {
    desk_.pending.market = m;
    desk_.pending.marketPressed = true;
    // The chosen market stays in view, pressed; the others go.
    for (Market other : kTradingOrder) setMarketButtonVisible(model_, other, other == m, other != m);
    SetOrderState(OrderState::Trade);
    offerSides(model_);
}

void OrderDesk::sideButton_Click(Side side) {
    PendingOrder& o = desk_.pending;
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
    TradingDesk& d = desk_;
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
    const PendingOrder& o = desk_.pending;
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
    desk_.limits.releaseHeldMarket();
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
}

void OrderDesk::btnNo_Click() {
    desk_.limits.releaseHeldMarket();
    RefreshMaxima();
    ClearOrder();
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
    model_.setVisible("Label8", true); // the reports heading the units step hid
}

void OrderDesk::cancelOrder() {
    const OrderState st = desk_.state;
    if (st != OrderState::Trade && st != OrderState::GetUnits && st != OrderState::CorrOrd) return;
    // What Cancel Order does at the read-back does at every step.
    btnNo_Click();
}

bool OrderDesk::ExecuteOrder(Fill fill) {
    TradingDesk& d = desk_;
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
    TradingDesk& d = desk_;
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
    desk_.commissionTotal = commissionAfterTrade(desk_.commissionTotal, s_.settings.level);
    model_.setText("lblTraderInput", QStringLiteral("Trader Input:"));
}

void OrderDesk::btnTradeHist_Click() {
    const auto timeOf = [this](int day) { return periodTimeOfDay(day); };
    model_[controlKey<keys::kTradeGrid>()].grid = tradeReport(desk_.trades, desk_.account, timeOf);
    model_.setText("LabelTH", QStringLiteral("Trade History"));
    showReport(model_, QString::fromLatin1(keys::kTradeGrid), QStringLiteral("LabelTH"),
               QStringLiteral("btnCloseTradeHistory"));
    layoutCharts(model_);
}

void OrderDesk::btnCloseTradeHistory_Click() {
    closeReport(model_, QString::fromLatin1(keys::kTradeGrid), QStringLiteral("LabelTH"),
                QStringLiteral("btnCloseTradeHistory"));
    layoutCharts(model_);
}

QString OrderDesk::periodTimeOfDay(int period) const {
    if (s_.clock.dataMode() != DataMode::Tick) return QStringLiteral("4:00");
    // The hour without its suffix, as the clock names the period.
    QString t = traderTickTime(period);
    return t.left(t.indexOf(' '));
}

} // namespace pellucar
