#include "app/desk/order_desk.h"
#include "app/state/clock.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"
#include "app/view/ticket_presenter.h"
#include "common/format.h"
#include "trading/contract_terms.h"
#include "trading/order_limits.h"
#include "trading/order_texts.h"
#include "trading/trade_report.h"

#include <cmath>

namespace pellucar {

namespace {

// The order panel's own controls, written at every step of every order:
// their keys are found once (controlKey).
constexpr char kUnits[] = "inputUnits";
constexpr char kUnitsPrompt[] = "promptUnits";
constexpr char kMaxSelected[] = "lblMaxSelected";
constexpr char kTraderInput[] = "lblTraderInput";
constexpr char kTotalTrades[] = "lblTotTrades";
constexpr char kReadBack[] = "lblorderverify";

} // namespace

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
    desk_.journal.clear();
    desk_.clearOrder();
    desk_.orders.clear();
    desk_.decisions.clear();
    desk_.lastOrderEvents.clear();
    desk_.lastFillPeriod = 0;
    model_.setText(controlKey<keys::kOrderFills>(), QString());
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
    if (!o.market || !o.side || unseen_) return;
    TradingDesk& d = desk_;
    const int shown = s_.settings.maximumDisplay == MaximumDisplay::Positions
                          ? d.limits.positionMaximum(*o.market, d.account)
                          : OrderLimits::selectedMaximum(*o.market, *o.side, d.account);
    model_.setText(controlKey<kMaxSelected>(), formatWhole(shown));
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
        model_.setText(controlKey<kTraderInput>(), QStringLiteral("Trader Input: (Select Security)"));
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
    model_.setText(controlKey<kUnitsPrompt>(), unitsPrompt(side));
    SetOrderState(OrderState::GetUnits);
    model_.setText(controlKey<kUnits>(), QString());
    model_.setVisible(controlKey<kUnits>(), true);
}

void OrderDesk::btnHold_Click() {
    for (const char* k : {"btnBuy", "btnSell", "btnHold"}) {
        model_.setEnabled(k, false);
        model_.setVisible(k, false);
    }
    RefreshMaxima();
    ClearOrder();
    model_.setText(controlKey<kMaxSelected>(), QString());
    SetOrderState(OrderState::ChangePeriod);
}

void OrderDesk::InputUnits_KeyDown() {
    TradingDesk& d = desk_;
    PendingOrder& o = d.pending;
    if (d.state != OrderState::GetUnits || !o.market || !o.side) return;
    const QString entry = model_.text(controlKey<kUnits>());
    const UnitsCheck check = d.limits.check(*o.market, *o.side, entry, d.account);
    if (check.refused()) dialogs_.notify(check.title, check.message, 0);
    model_.setText(controlKey<kUnits>(), QString());
    switch (check.next) {
    case NextStep::VerifyOrder:
        o.units = check.units;
        VerifyOrder();
        break;
    case NextStep::AskAgain:
        ShowSelectedMaximum();
        SetOrderState(OrderState::GetUnits);
        model_.setVisible(controlKey<kUnits>(), true);
        break;
    case NextStep::Trade:
        // Back to choosing the side (or Hold) for the same market.
        model_.setVisible(controlKey<kUnitsPrompt>(), false);
        model_.setVisible(controlKey<kUnits>(), false);
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
    if (!unseen_) model_.setText(controlKey<kReadBack>(), orderReadBack(*o.market, *o.side, o.units, price));
}

double OrderDesk::quoteFor(Market m, Side side) const {
    const size_t i = static_cast<size_t>(index(m));
    return side == Side::Buy ? s_.prices.buyQuote[i] : s_.prices.sellQuote[i];
}

void OrderDesk::btnYes_Click() {
    ExecuteOrder();
    desk_.limits.releaseHeldMarket();
    model_.setText(controlKey<kMaxSelected>(), QString());
    SetOrderState(OrderState::ChangePeriod);
}

void OrderDesk::btnNo_Click() {
    desk_.limits.releaseHeldMarket();
    RefreshMaxima();
    ClearOrder();
    model_.setText(controlKey<kMaxSelected>(), QString());
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
        if (!unseen_) dialogs_.tradeConfirmation(fillConfirmation(*o.market, o.units, o.fillPrice));
        d.state = before;
    }
    d.trades.record(s_.clock.periodIndex(), *o.market, *o.side, marginCall, o.units, static_cast<float>(o.fillPrice));
    model_.setText(controlKey<kTotalTrades>(), QString::number(d.tradeCount()));
    desk_.commissionTotal = commissionAfterTrade(desk_.commissionTotal, s_.settings.level);
    // Trainer rules charge every fill, the desk's and a margin call's too.
    if (s_.settings.rules == RuleSet::Trainer)
        d.account.chargeCommission(commissionAtFill(static_cast<int>(std::abs(o.units)), s_.settings.commissionRate));
    model_.setText(controlKey<kTraderInput>(), QStringLiteral("Trader Input:"));
}

void OrderDesk::btnTradeHist_Click() {
    const auto timeOf = [this](int day) { return periodTimeOfDay(day); };
    model_[controlKey<keys::kTradeGrid>()].grid =
        tradeReport(desk_.trades, desk_.account, timeOf, s_.settings.rules == RuleSet::Trainer, &desk_.journal);
    model_.setText("LabelTH", QStringLiteral("Trade History"));
    showReport(model_, QString::fromLatin1(keys::kTradeGrid), QStringLiteral("LabelTH"),
               QStringLiteral("btnCloseTradeHistory"));
    layoutCharts(model_);
}

QString OrderDesk::writeNote(int trade, const QString& text) {
    const QString why = desk_.journal.write(trade, text, desk_.tradeCount());
    if (why.isEmpty() && model_.visible("TradeGrid")) btnTradeHist_Click(); // the report shown takes the note
    return why;
}

void OrderDesk::mnuTradeNote_Click(int trade) {
    if (trade < 1 || trade > desk_.tradeCount()) trade = desk_.tradeCount();
    if (trade < 1) return;
    const TradeRecord& t = desk_.trades.records()[trade - 1];
    const QString about = QStringLiteral("Trade %1: %2 %3 %4 @ %5")
                              .arg(trade)
                              .arg(t.transaction())
                              .arg(std::fabs(t.amount), 0, 'f', 0)
                              .arg(marketName(t.market), formatPlainF(t.price));
    const std::optional<QString> text = dialogs_.tradeNote(about, desk_.journal.note(trade));
    if (!text) return;
    if (const QString why = writeNote(trade, *text); !why.isEmpty())
        dialogs_.notify(QStringLiteral("Trade Note"), why, 0);
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

// The Trainer's working orders: entry, change and cancel between presses,
// and their fills inside a press.

namespace {

const QString kNoticeTitle = QString::fromLatin1(kTraderNotificationTitle);

float signedUnits(Side side, int units) { return side == Side::Buy ? float(units) : -float(units); }

} // namespace

QString OrderDesk::refuse(const QString& why) {
    dialogs_.notify(kNoticeTitle, why, 0);
    return why;
}

QString OrderDesk::limitRefusal(Market m, Side side, int units) {
    // A copy: the desk's own limits hold the figures of the order on the desk.
    OrderLimits probe = desk_.limits;
    const UnitsCheck c = probe.check(m, side, QString::number(units), desk_.account);
    if (c.accepted()) return {};
    dialogs_.notify(c.title, c.message, 0);
    return c.message;
}

void OrderDesk::keepDecision(OrderDecision d) {
    d.period = s_.clock.periodIndex();
    d.tradesBefore = desk_.trades.count();
    desk_.decisions.append(d);
}

QString OrderDesk::keepChange(OrderProblem p, Market m, OrderDecision::Kind kind, int id, double price, int units) {
    if (p != OrderProblem::None) return refuse(orderProblemText(p, m));
    OrderDecision d;
    d.kind = kind;
    d.id = id;
    d.price = price;
    d.units = units;
    keepDecision(d);
    return {};
}

QString OrderDesk::placeWorking(const OrderRequest& r, int* placedId) {
    if (s_.settings.level == Level::Novice && r.market != Market::Oil)
        return refuse(QStringLiteral("A Novice trades Oil only"));
    const double quote = quoteFor(r.market, r.side);
    if (const OrderProblem p = requestProblem(r, quote); p != OrderProblem::None)
        return refuse(orderProblemText(p, r.market));
    if (desk_.trades.full()) {
        notifyRecordFull();
        return QString::fromLatin1(kTradeLogFullMessage);
    }
    if (QString why = limitRefusal(r.market, r.side, r.units); !why.isEmpty()) return why;
    OrderDecision d;
    d.request = r;
    keepDecision(d);
    const int period = s_.clock.periodIndex();
    const int id = desk_.orders.place(r, period, quote);
    if (placedId) *placedId = id;
    if (r.type == OrderType::Market) {
        // A market order fills now, at the quote; its exits work from the next period.
        bookWorkingFill(OrderFill{id, r.market, r.side, r.units, OrderType::Market, OrderRole::Entry, 0, quote});
        desk_.orders.entryExecuted(id, r.units, period);
        OrderEvent filled;
        filled.price = quote;
        filled.order.id = id;
        filled.order.market = r.market;
        filled.order.side = r.side;
        filled.order.units = r.units;
        filled.order.type = OrderType::Market;
        model_.setText(controlKey<keys::kOrderFills>(), fillsLine({filled}));
        if (model_.visible(controlKey<keys::kTradeGrid>())) btnTradeHist_Click(); // the report shown takes the fill
        afterFill_();
    }
    return {};
}

QString OrderDesk::changeWorkingPrice(int id, double price) {
    const WorkingOrder* o = desk_.orders.find(id);
    const OrderProblem p = desk_.orders.changePrice(id, price, s_.clock.periodIndex());
    return keepChange(p, o ? o->market : Market::Oil, OrderDecision::Kind::ChangePrice, id, price);
}

QString OrderDesk::changeWorkingUnits(int id, int units) {
    const WorkingOrder* o = desk_.orders.find(id);
    if (!o) return refuse(orderProblemText(OrderProblem::NoSuchOrder, Market::Oil));
    // A larger entry is checked as a new one would be; an exit only follows
    // the position it protects.
    if (o->role == OrderRole::Entry && units > o->units && units <= contractTerms(o->market).transactionLimit)
        if (QString why = limitRefusal(o->market, o->side, units); !why.isEmpty()) return why;
    const OrderProblem p = desk_.orders.changeUnits(id, units, s_.clock.periodIndex());
    return keepChange(p, o->market, OrderDecision::Kind::ChangeUnits, id, 0, units);
}

QString OrderDesk::cancelWorking(int id) {
    const bool cancelled = !desk_.orders.cancel(id).empty();
    return keepChange(cancelled ? OrderProblem::None : OrderProblem::NoSuchOrder, Market::Oil,
                      OrderDecision::Kind::Cancel, id);
}

bool OrderDesk::bookWorkingFill(const OrderFill& f) {
    const float units = signedUnits(f.side, f.units);
    if (!desk_.trades.recordFill(s_.clock.periodIndex(), f, units)) return false;
    desk_.account.applyFill(f.market, units, f.price);
    desk_.account.chargeCommission(commissionAtFill(f.units, s_.settings.commissionRate));
    desk_.commissionTotal = commissionAfterTrade(desk_.commissionTotal, s_.settings.level);
    model_.setText(controlKey<kTotalTrades>(), QString::number(desk_.tradeCount()));
    return true;
}

void OrderDesk::fillWorking(const PeriodRanges& ranges, const MarketPrices& marks) {
    desk_.lastOrderEvents.clear();
    desk_.lastFillPeriod = s_.clock.periodIndex();
    model_.setText(controlKey<keys::kOrderFills>(), QString());
    if (desk_.orders.empty()) return;
    QStringList notices;
    const auto execute = [&](const OrderFill& f) {
        const float units = signedUnits(f.side, f.units);
        const float held = desk_.account.position(f.market);
        const bool reducesOnly = held != 0 && (held > 0) != (units > 0) && std::abs(units) <= std::abs(held);
        if (!reducesOnly) {
            // The limits as they stand at this fill: the period's prices and
            // the fills before it.
            desk_.account.revalue(marks);
            OrderLimits probe = desk_.limits;
            const UnitsCheck c = probe.check(f.market, f.side, QString::number(f.units), desk_.account);
            if (!c.accepted()) {
                notices << QStringLiteral("Order %1 was cancelled at its fill: %2").arg(f.id).arg(c.message.trimmed());
                return false;
            }
        }
        // The price as the decimal it stands for (a range is read with its binary noise).
        OrderFill cleared = f;
        cleared.price = readQuote(f.market, f.price);
        if (!bookWorkingFill(cleared)) {
            notices << QStringLiteral("Order %1 was cancelled at its fill: %2")
                           .arg(f.id)
                           .arg(QString::fromLatin1(kTradeLogFullMessage));
            return false;
        }
        return true;
    };
    desk_.lastOrderEvents = desk_.orders.step(s_.clock.periodIndex(), ranges, execute);
    for (OrderEvent& e : desk_.lastOrderEvents) e.price = readQuote(e.order.market, e.price);
    model_.setText(controlKey<keys::kOrderFills>(), fillsLine(desk_.lastOrderEvents));
    if (model_.visible(controlKey<keys::kTradeGrid>())) btnTradeHist_Click(); // the report shown takes the fills
    for (const QString& n : notices) dialogs_.notify(kNoticeTitle, n, 0);
}

void OrderDesk::cancelWorkingFor(Market m) {
    const std::vector<WorkingOrder> gone = desk_.orders.cancelMarket(m);
    if (gone.empty()) return;
    QStringList ids;
    for (const WorkingOrder& o : gone) ids << QString::number(o.id);
    dialogs_.notify(kNoticeTitle,
                    QStringLiteral("The margin call's trade in %1 cancelled its working orders (%2)")
                        .arg(marketName(m), ids.join(QStringLiteral(", "))),
                    0);
}

} // namespace pellucar
