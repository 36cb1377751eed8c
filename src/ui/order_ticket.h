#pragma once
#include "trading/working_orders.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pellucar {
class Game;
}

namespace pellucar::ui {

// The Trainer's order ticket: one window with every field of an order, a
// bracket's exits and the risk to the stop-loss. It stays open beside the
// desk; Enter sends the order, Escape closes the ticket. What the fields
// make, and what the order risks, the game's ticket reading says.
class OrderTicket : public QDialog {
    Q_OBJECT
public:
    // `send` places the order (through the main window, which brings the
    // desk up to date) and returns the rules' refusal, or empty.
    using Send = std::function<QString(const OrderRequest&)>;
    OrderTicket(const Game& game, Send send, QWidget* parent = nullptr);

    // The game moved (a press, an order): the quote, the account and
    // whether orders are taken now are read again.
    void refresh();
    void setMarket(Market m);

private:
    void send();

    const Game& game_;
    Send send_;
    QComboBox* market_;
    QComboBox* side_;
    QLineEdit* units_;
    QComboBox* type_;
    QLineEdit* price_;
    QComboBox* tif_;
    QLineEdit* stopLoss_;
    QLineEdit* target_;
    QComboBox* exitUnit_;
    QLabel* quote_;
    QLabel* risk_;
    QLabel* status_;
    QPushButton* sendButton_;
};

} // namespace pellucar::ui
