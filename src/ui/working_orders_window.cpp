#include "ui/working_orders_window.h"

#include "app/game/game.h"
#include "app/view/ticket_presenter.h"
#include "common/format.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pellucar::ui {

WorkingOrdersWindow::WorkingOrdersWindow(const Game& game, Run run, QWidget* parent)
    : QDialog(parent), game_(game), run_(std::move(run)) {
    setObjectName(QStringLiteral("WorkingOrders"));
    setWindowTitle(QStringLiteral("Working Orders"));
    setModal(false);
    list_ = new QTableWidget(0, 7, this);
    list_->setObjectName(QStringLiteral("gridWorkingOrders"));
    list_->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("Market"), QStringLiteral("Side"),
                                      QStringLiteral("Type"), QStringLiteral("Size"), QStringLiteral("Price"),
                                      QStringLiteral("Time")});
    list_->verticalHeader()->hide();
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->installEventFilter(this);
    auto* listCaption = new QLabel(QStringLiteral("&Orders (Ctrl+Up / Ctrl+Down: a tick):"), this);
    listCaption->setBuddy(list_);

    price_ = new QLineEdit(this);
    price_->setObjectName(QStringLiteral("txtNewPrice"));
    units_ = new QLineEdit(this);
    units_->setObjectName(QStringLiteral("txtNewUnits"));
    changePrice_ = new QPushButton(QStringLiteral("Change P&rice"), this);
    changePrice_->setObjectName(QStringLiteral("btnChangePrice"));
    changeUnits_ = new QPushButton(QStringLiteral("Change &Size"), this);
    changeUnits_->setObjectName(QStringLiteral("btnChangeUnits"));
    cancel_ = new QPushButton(QStringLiteral("Cancel Or&der"), this);
    cancel_->setObjectName(QStringLiteral("btnCancelOrder"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblOrdersStatus"));
    status_->setWordWrap(true);
    auto* priceCaption = new QLabel(QStringLiteral("New &price:"), this);
    priceCaption->setBuddy(price_);
    auto* unitsCaption = new QLabel(QStringLiteral("New si&ze:"), this);
    unitsCaption->setBuddy(units_);

    auto* g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(3);
    g->addWidget(priceCaption, 0, 0);
    g->addWidget(price_, 0, 1);
    g->addWidget(changePrice_, 0, 2);
    g->addWidget(unitsCaption, 1, 0);
    g->addWidget(units_, 1, 1);
    g->addWidget(changeUnits_, 1, 2);
    g->setColumnStretch(1, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cancel_, QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnOrdersClose"));
    for (QPushButton* b : {changePrice_, changeUnits_, cancel_, close}) b->setAutoDefault(false);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(8, 6, 8, 6);
    v->setSpacing(4);
    v->addWidget(listCaption);
    v->addWidget(list_, 1);
    v->addLayout(g);
    v->addWidget(status_);
    v->addWidget(buttons);

    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(changePrice_, &QPushButton::clicked, this, [this] {
        const int id = chosenOrder();
        bool ok = false;
        const double p = price_->text().trimmed().toDouble(&ok);
        if (!ok) return status_->setText(QStringLiteral("Enter the new price"));
        decide([id, p](Game& g) { return g.changeOrderPrice(id, p); });
    });
    connect(changeUnits_, &QPushButton::clicked, this, [this] {
        const int id = chosenOrder();
        bool ok = false;
        const int u = units_->text().trimmed().toInt(&ok);
        if (!ok) return status_->setText(QStringLiteral("Enter the new size"));
        decide([id, u](Game& g) { return g.changeOrderUnits(id, u); });
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        const int id = chosenOrder();
        decide([id](Game& g) { return g.cancelWorkingOrder(id); });
    });
    // Enter in a box presses its own button.
    connect(price_, &QLineEdit::returnPressed, changePrice_, &QPushButton::click);
    connect(units_, &QLineEdit::returnPressed, changeUnits_, &QPushButton::click);
    connect(list_, &QTableWidget::currentCellChanged, this, [this] {
        const WorkingOrder* o = game_.workingOrders().find(chosenOrder());
        price_->setText(o && o->type != OrderType::Market ? formatPlain(o->price) : QString());
        units_->setText(o ? QString::number(o->units) : QString());
        updateButtons();
    });
    resize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 60, 0)));
    refresh();
}

int WorkingOrdersWindow::chosenOrder() const {
    // The row under the list's cursor is the order chosen.
    const QTableWidgetItem* item = list_->currentRow() >= 0 ? list_->item(list_->currentRow(), 0) : nullptr;
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void WorkingOrdersWindow::refresh() {
    const std::vector<WorkingOrder> orders = game_.workingOrders().list();
    // Rebuilt only when the orders moved, so the row chosen stays chosen.
    if (orders != shown_) {
        const int chosen = chosenOrder();
        shown_ = orders;
        const QSignalBlocker quiet(list_);
        list_->setRowCount(static_cast<int>(orders.size()));
        int chosenRow = -1;
        for (int r = 0; r < static_cast<int>(orders.size()); ++r) {
            const WorkingOrder& o = orders[static_cast<size_t>(r)];
            QString type = orderTypeName(o.type);
            if (o.role != OrderRole::Entry) type += o.role == OrderRole::StopLoss ? " (stop-loss)" : " (target)";
            if (o.waiting()) type += QStringLiteral(", waits");
            const QStringList cells{QString::number(o.id),
                                    marketName(o.market),
                                    sideName(o.side),
                                    type,
                                    QString::number(o.units),
                                    o.type == OrderType::Market ? QString() : formatPlain(o.price),
                                    o.tif == TimeInForce::ThisPeriod ? QStringLiteral("This period")
                                                                     : QStringLiteral("Until cancelled")};
            for (int c = 0; c < cells.size(); ++c) {
                auto* item = new QTableWidgetItem(cells[c]);
                item->setData(Qt::UserRole, o.id);
                list_->setItem(r, c, item);
            }
            if (o.id == chosen) chosenRow = r;
        }
        if (chosenRow >= 0) list_->selectRow(chosenRow);
        else list_->setCurrentCell(-1, -1);
    }
    updateButtons();
    if (orders.empty()) status_->setText(QStringLiteral("No working orders"));
    else if (!game_.orderGate().isEmpty()) status_->setText(QStringLiteral("No change now: ") + game_.orderGate());
}

void WorkingOrdersWindow::updateButtons() {
    const bool on = game_.orderGate().isEmpty() && chosenOrder() != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{changePrice_, changeUnits_, cancel_, price_, units_})
        w->setEnabled(on);
}

void WorkingOrdersWindow::decide(const std::function<QString(Game&)>& decision) {
    const QString refusal = run_(decision);
    status_->setText(refusal);
    refresh();
}

void WorkingOrdersWindow::moveChosen(int ticks) {
    const WorkingOrder* o = game_.workingOrders().find(chosenOrder());
    if (!o || o->type == OrderType::Market || !game_.orderGate().isEmpty()) return;
    const int id = o->id;
    const double p = priceTicksAway(o->market, o->price, ticks);
    decide([id, p](Game& g) { return g.changeOrderPrice(id, p); });
    const WorkingOrder* moved = game_.workingOrders().find(id);
    if (moved) price_->setText(formatPlain(moved->price));
}

bool WorkingOrdersWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() == Qt::ControlModifier && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
            moveChosen(k->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pellucar::ui
