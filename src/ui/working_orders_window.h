#pragma once
#include "trading/working_orders.h"

#include <QDialog>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pellucar {
class Game;
}

namespace pellucar::ui {

// The Trainer's working orders, listed with their market, side, type, size,
// price and time in force, with Change and Cancel. Ctrl+Up and Ctrl+Down on
// the list move the chosen order's price a tick. It stays open beside the
// desk and is read again after every press and every order.
class WorkingOrdersWindow : public QDialog {
    Q_OBJECT
public:
    // `run` makes one decision on the orders through the main window (which
    // brings the desk up to date) and returns the rules' refusal, or empty.
    using Run = std::function<QString(const std::function<QString(Game&)>&)>;
    WorkingOrdersWindow(const Game& game, Run run, QWidget* parent = nullptr);

    void refresh();
    // The id of the order chosen in the list, or 0.
    int chosenOrder() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void decide(const std::function<QString(Game&)>& decision);
    void moveChosen(int ticks);
    // Change and Cancel are offered for a chosen order while orders are taken.
    void updateButtons();

    const Game& game_;
    Run run_;
    QTableWidget* list_;
    QLineEdit* price_;
    QLineEdit* units_;
    QPushButton* changePrice_;
    QPushButton* changeUnits_;
    QPushButton* cancel_;
    QLabel* status_;
    std::vector<WorkingOrder> shown_; // the orders the list shows
};

} // namespace pellucar::ui
