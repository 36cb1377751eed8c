#pragma once
#include "app/dialogs/player_dialogs.h"
#include "ui/windows.h"

#include <QAbstractTableModel>

#include <vector>

class QSortFilterProxyModel;
class QTableView;

namespace pellucar::ui {

// The recorded games as table rows: the texts the player reads, and under
// kSortRole the values they sort by (scores and trades as numbers, times as
// dates), so a click on a header orders them as values, not as texts.
class PastGamesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Played, Period, Level, Data, Length, Trades, Score, Ending, Scenario, Verdict, ColumnCount };
    static constexpr int kSortRole = Qt::UserRole + 1;

    explicit PastGamesModel(std::vector<PastGame> games, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    const PastGame& game(int row) const { return games_[static_cast<size_t>(row)]; }

private:
    std::vector<PastGame> games_;
};

// frmPastGames: the best score of each level above the list of every
// finished game, newest first; a header click sorts by that column.
class PastGamesWindow : public GameWindow {
    Q_OBJECT
public:
    explicit PastGamesWindow(const PastGamesReport& report, QWidget* parent = nullptr);

    QTableView* table() const { return table_; }
    QSortFilterProxyModel* sorted() const { return sorted_; }
    // Opens the review of the chosen game, or says why it has none.
    void reviewChosen();

private:
    PastGamesModel* model_;
    std::function<std::optional<ReviewRecord>(qint64, QString*)> review_;
    QTableView* table_;
    QSortFilterProxyModel* sorted_;
};

} // namespace pellucar::ui
