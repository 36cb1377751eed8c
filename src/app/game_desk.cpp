// The trading desk: the order flow from Trade to Enter Order, execution and
// the trade history report. The rules live in the trading classes; this
// file runs their steps in order and arranges the trader-input panel.
#include "app/game.h"
#include "common/format.h"
#include "trading/order_texts.h"
#include "trading/trade_report.h"

namespace pellucar {

namespace {

struct StateRow {
    OrderState state;
    QStringList hide;
    QStringList show;
    const char* heading; // nullptr keeps the heading
};

const QList<StateRow>& orderStates() {
    static const QList<StateRow> rows{
        {OrderState::ChangePeriod,
         {"btnYes", "btnNo", "btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice",
          "inputUnits", "inputPrice", "lblorderverify"},
         {"ShapeNextPeriod", "btnChangePeriod", "btnTrade"},
         "Trader Input:"},
        {OrderState::Trade,
         {"promptUnits", "btnYes", "btnNo", "btnChangePeriod", "btnTrade", "ShapeNextPeriod", "lblorderverify"},
         {"shapeTradeCentral"},
         nullptr},
        {OrderState::GetUnits,
         {"btnBuy", "btnSell", "btnHold", "ShapeNextPeriod", "lblorderverify", "Label8"},
         {"shapeTradeCentral", "promptUnits", "lblTraderInput", "Shape3"},
         nullptr},
        {OrderState::CorrOrd,
         {"btnBuy", "btnSell", "btnHold", "ShapeNextPeriod", "promptUnits", "inputUnits", "promptPrice",
          "inputPrice"},
         {"shapeTradeCentral", "lblorderverify", "btnYes", "btnNo"},
         "Order Verification:"},
        {OrderState::TradeConfirmation,
         {"btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice", "inputUnits",
          "inputPrice", "lblorderverify"},
         {"ShapeNextPeriod", "lblTraderInput"},
         nullptr},
        {OrderState::Restart,
         {"btnYes", "btnNo", "btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice",
          "inputUnits", "inputPrice", "lblorderverify"},
         {"btnTrade", "ShapeNextPeriod", "lblTraderInput", "btnTradeHist", "btnNewsHist"},
         nullptr},
    };
    return rows;
}

const char* const kMarketButtons[] = {"btnOil", "btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean"};

QString marketButton(Market m) { return QString::fromLatin1(kMarketButtons[index(m)]); }

} // namespace

void Game::SetOrderState(OrderState state) {
    for (const StateRow& row : orderStates()) {
        if (row.state != state) continue;
        for (const QString& k : row.hide) model_.setVisible(k, false);
        for (const QString& k : row.show) model_.setVisible(k, true);
        if (row.heading) model_.setText("lblTraderInput", QString::fromLatin1(row.heading));
        break;
    }
    if (state == OrderState::ChangePeriod || state == OrderState::Restart) tradebuttonvisible(false);
    if (state == OrderState::Restart) model_.setEnabled("btnTrade", false);
    s_.desk.state = state;
    LayoutCharts();
}

void Game::ClearOrder() { s_.desk.clearOrder(); }

void Game::RefreshMaxima() { s_.desk.limits.refresh(s_.desk.account, s_.periodIndex); }

void Game::ShowSelectedMaximum() {
    const PendingOrder& o = s_.desk.pending;
    if (!o.market || !o.side) return;
    TradingDesk& d = s_.desk;
    const int shown = s_.settings.maximumDisplay == MaximumDisplay::Positions
                          ? d.limits.positionMaximum(*o.market, d.account)
                          : OrderLimits::selectedMaximum(*o.market, *o.side, d.account);
    model_.setText("lblMaxSelected", formatWhole(shown));
}

void Game::btnTrade_Click() {
    historyButtonsEnabled(false);
    ClearOrder();
    const bool novice = s_.settings.level == Level::Novice;
    SetOrderState(OrderState::Trade);
    for (Market m : kTradingOrder) {
        model_.setVisible(marketButton(m), !novice || m == Market::Oil);
        model_.setEnabled(marketButton(m), true);
    }
    if (novice) {
        // A Novice trades Oil alone: the side comes straight away.
        s_.desk.pending.market = Market::Oil;
        offerSides();
    } else {
        model_.setText("lblTraderInput", QStringLiteral("Trader Input: (Select Security)"));
    }
}

void Game::marketButton_Click(Market m) {
    s_.desk.pending.market = m;
    for (Market other : kTradingOrder) model_.setVisible(marketButton(other), other == m);
    // The chosen market stays in view, pressed.
    model_.setEnabled(marketButton(m), false);
    SetOrderState(OrderState::Trade);
    offerSides();
}

void Game::offerSides() {
    for (const char* k : {"btnBuy", "btnSell", "btnHold"}) {
        model_.setVisible(k, true);
        model_.setEnabled(k, true);
    }
}

void Game::sideButton_Click(Side side) {
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

void Game::btnHold_Click() {
    for (const char* k : {"btnBuy", "btnSell", "btnHold"}) {
        model_.setEnabled(k, false);
        model_.setVisible(k, false);
    }
    historyButtonsEnabled(true);
    RefreshMaxima();
    ClearOrder();
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
}

void Game::InputUnits_KeyDown(Key) {
    TradingDesk& d = s_.desk;
    PendingOrder& o = d.pending;
    if (d.state != OrderState::GetUnits || !o.market || !o.side) return;
    const QString entry = model_.text("inputUnits");
    const UnitsCheck check = d.limits.check(*o.market, *o.side, entry, d.account);
    if (check.refused()) NotifyPlayer(check.title, check.message);
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
        offerSides();
        break;
    case NextStep::ChangePeriod:
        ClearOrder();
        historyButtonsEnabled(true);
        SetOrderState(OrderState::ChangePeriod);
        break;
    }
}

void Game::VerifyOrder() {
    const PendingOrder& o = s_.desk.pending;
    const double price = quoteFor(*o.market, *o.side);
    SetOrderState(OrderState::CorrOrd);
    model_.setText("lblorderverify", orderReadBack(*o.market, *o.side, o.units, price));
}

double Game::quoteFor(Market m, Side side) const {
    const size_t i = static_cast<size_t>(index(m));
    return side == Side::Buy ? s_.prices.buyQuote[i] : s_.prices.sellQuote[i];
}

void Game::btnYes_Click() {
    ExecuteOrder();
    s_.desk.limits.releaseHeldMarket();
    historyButtonsEnabled(true);
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
}

void Game::btnNo_Click() {
    s_.desk.limits.releaseHeldMarket();
    RefreshMaxima();
    ClearOrder();
    historyButtonsEnabled(true);
    model_.setText("lblMaxSelected", QString());
    SetOrderState(OrderState::ChangePeriod);
}

bool Game::ExecuteOrder() {
    TradingDesk& d = s_.desk;
    PendingOrder& o = d.pending;
    if (!o.market || !o.side || o.units == 0) return false;
    if (d.trades.full()) {
        // The record of trades has no room: the order is dropped whole.
        NotifyPlayer(QString::fromLatin1(kTradeLogFullTitle), QString::fromLatin1(kTradeLogFullMessage));
        ClearOrder();
        return false;
    }
    FillOrder();
    const Booking booked = d.account.applyFill(*o.market, o.units, o.fillPrice);
    Q_ASSERT(booked.booked); // the lot-book guard keeps a full book from opening lots
    RevalueAccount();
    ClearOrder();
    return booked.booked;
}

void Game::FillOrder() {
    TradingDesk& d = s_.desk;
    PendingOrder& o = d.pending;
    o.fillPrice = quoteFor(*o.market, *o.side);
    if (!d.mandatory) {
        const OrderState before = d.state;
        SetOrderState(OrderState::TradeConfirmation);
        dialogs_.tradeConfirmation(fillConfirmation(*o.market, o.units, o.fillPrice));
        d.state = before;
    }
    d.trades.record(s_.periodIndex, *o.market, *o.side, d.mandatory, o.units, static_cast<float>(o.fillPrice));
    model_.setText("lblTotTrades", QString::number(d.tradeCount()));
    s_.commissionTotal = commissionAfterTrade(s_.commissionTotal, s_.settings.level);
    model_.setText("lblTraderInput", QStringLiteral("Trader Input:"));
}

void Game::btnTradeHist_Click() {
    const auto timeOf = [this](int day) { return periodTimeOfDay(day); };
    model_["TradeGrid"].rows = tradeReportRows(s_.desk.trades, s_.desk.account, timeOf);
    model_.setText("LabelTH", QStringLiteral("Trade History"));
    showReport(QStringLiteral("TradeGrid"), QStringLiteral("LabelTH"), QStringLiteral("btnCloseTradeHistory"));
}

void Game::btnCloseTradeHistory_Click() {
    closeReport(QStringLiteral("TradeGrid"), QStringLiteral("LabelTH"), QStringLiteral("btnCloseTradeHistory"));
}

QString Game::periodTimeOfDay(int period) const {
    if (s_.dataMode != DataMode::Tick) return QStringLiteral("4:00");
    // The hour without its suffix, as the clock names the period.
    QString t = TraderTickTime(period);
    return t.left(t.indexOf(' '));
}

void Game::showReport(const QString& grid, const QString& caption, const QString& closeButton) {
    for (const char* k : {"GraphLeft", "GraphRight", "cboCommodity"}) model_.setVisible(k, false);
    for (const char* k : {"mnuGraphOpt", "mnuGraphType", "btnTradeHist", "btnNewsHist", "btnChangePeriod", "btnTrade"})
        model_.setEnabled(k, false);
    for (const QString& k : {grid, caption, closeButton}) model_.setVisible(k, true);
    LayoutCharts();
}

void Game::closeReport(const QString& grid, const QString& caption, const QString& closeButton) {
    for (const QString& k : {grid, caption, closeButton}) model_.setVisible(k, false);
    for (const char* k : {"GraphLeft", "GraphRight", "cboCommodity"}) model_.setVisible(k, true);
    for (const char* k : {"mnuGraphOpt", "mnuGraphType", "btnTradeHist", "btnNewsHist", "btnChangePeriod"})
        model_.setEnabled(k, true);
    model_.setEnabled("btnTrade", s_.periodIndex > 0 && s_.restartRequested != 1);
    LayoutCharts();
}

void Game::mnuMaximum_Click(int index) {
    if (index != 0 && index != 1) return;
    s_.settings.maximumDisplay = index == 1 ? MaximumDisplay::Positions : MaximumDisplay::Transaction;
    presentSettings(s_.settings, model_);
    ShowSelectedMaximum();
}

} // namespace pellucar
