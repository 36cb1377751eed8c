#include "ui/order_ticket.h"

#include "app/game/game.h"
#include "app/view/ticket_presenter.h"
#include "common/format.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellucar::ui {

namespace {

QComboBox* choices(QWidget* parent, const char* name, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
    return c;
}

QLineEdit* box(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

// A field with its caption, whose '&' key takes the player to the field.
void field(QGridLayout* g, int row, int column, const QString& caption, QWidget* w) {
    auto* l = new QLabel(caption, w->parentWidget());
    l->setBuddy(w);
    g->addWidget(l, row, column * 2);
    g->addWidget(w, row, column * 2 + 1);
}

} // namespace

OrderTicket::OrderTicket(const Game& game, Send send, QWidget* parent)
    : QDialog(parent), game_(game), send_(std::move(send)) {
    setObjectName(QStringLiteral("OrderTicket"));
    setWindowTitle(QStringLiteral("Order Ticket"));
    setModal(false);
    // In trading order, as the quote column lists them: an entry's place is its market's.
    QStringList markets;
    for (Market m : kTradingOrder) markets << marketName(m);
    market_ = choices(this, "cboTicketMarket", markets);
    side_ = choices(this, "cboTicketSide", {QStringLiteral("Buy"), QStringLiteral("Sell")});
    units_ = box(this, "txtTicketUnits");
    type_ = choices(this, "cboTicketType", {QStringLiteral("Market"), QStringLiteral("Limit"), QStringLiteral("Stop")});
    type_->setCurrentIndex(1);
    price_ = box(this, "txtTicketPrice");
    tif_ = choices(this, "cboTicketTif", {QStringLiteral("Until cancelled"), QStringLiteral("This period only")});
    stopLoss_ = box(this, "txtTicketStop");
    target_ = box(this, "txtTicketTarget");
    exitUnit_ = choices(
        this, "cboTicketExitUnit",
        {QStringLiteral("Prices"), QStringLiteral("Ticks from entry"), QStringLiteral("$ a contract from entry")});
    quote_ = new QLabel(this);
    quote_->setObjectName(QStringLiteral("lblTicketQuote"));
    risk_ = new QLabel(this);
    risk_->setObjectName(QStringLiteral("lblTicketRisk"));
    risk_->setWordWrap(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblTicketStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QLineEdit* e : {units_, price_, stopLoss_, target_})
        e->setMinimumWidth(fontMetrics().horizontalAdvance("0000.0000"));

    auto* g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(3);
    field(g, 0, 0, QStringLiteral("&Market:"), market_);
    field(g, 0, 1, QStringLiteral("&Side:"), side_);
    field(g, 1, 0, QStringLiteral("&Quantity:"), units_);
    field(g, 1, 1, QStringLiteral("T&ype:"), type_);
    field(g, 2, 0, QStringLiteral("&Price:"), price_);
    field(g, 2, 1, QStringLiteral("T&ime:"), tif_);
    field(g, 3, 0, QStringLiteral("Stop-&loss:"), stopLoss_);
    field(g, 3, 1, QStringLiteral("T&arget:"), target_);
    field(g, 4, 0, QStringLiteral("E&xits as:"), exitUnit_);
    g->addWidget(quote_, 4, 2, 1, 2);
    auto* riskCaption = new QLabel(QStringLiteral("Risk to stop:"), this);
    g->addWidget(riskCaption, 5, 0);
    g->addWidget(risk_, 5, 1, 1, 3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);

    auto* buttons = new QDialogButtonBox(this);
    sendButton_ = buttons->addButton(QStringLiteral("Se&nd Order"), QDialogButtonBox::AcceptRole);
    sendButton_->setObjectName(QStringLiteral("btnTicketSend"));
    sendButton_->setDefault(true);
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnTicketClose"));
    close->setAutoDefault(false);
    connect(sendButton_, &QPushButton::clicked, this, &OrderTicket::send);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(8, 6, 8, 6);
    v->setSpacing(4);
    v->addLayout(g);
    v->addWidget(status_);
    v->addWidget(buttons);

    for (QComboBox* c : {market_, side_, type_, tif_, exitUnit_})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            status_->clear();
            refresh();
        });
    for (QLineEdit* e : {units_, price_, stopLoss_, target_})
        connect(e, &QLineEdit::textEdited, this, [this] {
            status_->clear();
            refresh();
        });
    const QList<QWidget*> order{market_,   side_,   units_,    type_,       price_, tif_,
                                stopLoss_, target_, exitUnit_, sendButton_, close};
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    refresh();
}

void OrderTicket::setMarket(Market m) { market_->setCurrentIndex(index(m)); }

namespace {

TicketInput inputOf(QComboBox* market, QComboBox* side, QLineEdit* units, QComboBox* type, QLineEdit* price,
                    QComboBox* tif, QLineEdit* stop, QLineEdit* target, QComboBox* exitUnit) {
    TicketInput in;
    in.market = static_cast<Market>(std::clamp(market->currentIndex(), 0, kMarketCount - 1));
    in.side = side->currentIndex() == 1 ? Side::Sell : Side::Buy;
    in.units = units->text();
    in.type = static_cast<OrderType>(std::clamp(type->currentIndex(), 0, 2));
    in.price = price->text();
    in.tif = tif->currentIndex() == 1 ? TimeInForce::ThisPeriod : TimeInForce::UntilCancelled;
    in.stopLoss = stop->text();
    in.target = target->text();
    in.exitUnit = static_cast<ExitUnit>(std::clamp(exitUnit->currentIndex(), 0, 2));
    return in;
}

} // namespace

void OrderTicket::refresh() {
    const TicketInput in = inputOf(market_, side_, units_, type_, price_, tif_, stopLoss_, target_, exitUnit_);
    const TicketReading r = readTicket(in, game_.state());
    price_->setEnabled(in.type != OrderType::Market);
    quote_->setText(r.entry > 0 ? QStringLiteral("Entry: %1").arg(formatPlain(r.entry)) : QString());
    risk_->setText(r.risk);
    const QString gate = game_.orderGate();
    sendButton_->setEnabled(gate.isEmpty() && r.request.has_value());
    if (status_->text().isEmpty() || status_->property("reading").toBool()) {
        status_->setText(!gate.isEmpty() ? QStringLiteral("No order now: ") + gate : r.problem);
        status_->setProperty("reading", true);
    }
}

void OrderTicket::send() {
    const TicketInput in = inputOf(market_, side_, units_, type_, price_, tif_, stopLoss_, target_, exitUnit_);
    const TicketReading r = readTicket(in, game_.state());
    if (!r.request) return;
    const int before = game_.workingOrders().nextId();
    const QString refusal = send_(*r.request);
    status_->setProperty("reading", false);
    status_->setText(refusal.isEmpty() ? QStringLiteral("Order %1 sent").arg(before) : refusal);
    refresh();
}

} // namespace pellucar::ui
