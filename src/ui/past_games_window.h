#pragma once
#include "app/dialogs/player_dialogs.h"
#include "ui/windows.h"

#include <QAbstractTableModel>

#include <vector>

class QChartView;
class QTableView;
class QTableWidget;

namespace pellucar::ui {

// The recorded games as table rows: the texts the player reads, and under
// kSortRole the values they sort by (scores and trades as numbers, times as
// dates), so a click on a header orders them as values, not as texts.
//
// The model sorts the whole record itself and hands the view its rows a
// batch at a time (fetchMore), so a record of thousands of games is never
// laid out whole: the view asks for more as the list scrolls.
class PastGamesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Played, Period, Level, Rules, Data, Length, Trades, Score, Ending, Scenario, Verdict, ColumnCount };
    static constexpr int kSortRole = Qt::UserRole + 1;
    static constexpr int kBatch = 200;

    // `games` as the record lists them, the most recent first.
    explicit PastGamesModel(std::vector<PastGame> games, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    const PastGame& game(int row) const { return games_[static_cast<size_t>(row)]; }
    int gameCount() const { return static_cast<int>(games_.size()); }
    const std::vector<PastGame>& games() const { return games_; }

    // What `column` shows of row `row`, whole.
    QString text(int row, Column column) const { return displayText(game(row), column); }

private:
    static QString displayText(const PastGame& g, Column column);
    // The value `column` sorts by; none for a column that sorts by its text.
    static QVariant sortValue(const PastGame& g, Column column);

    std::vector<PastGame> games_; // in the order shown
    int shown_ = 0;               // the rows the view has fetched
    // The order the games are in: a sort asked for again is no work.
    int sortColumn_ = Played;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};

// frmPastGames: the best score of each level above the list of every
// finished game, newest first; a header click sorts by that column.
class PastGamesWindow : public GameWindow {
    Q_OBJECT
public:
    explicit PastGamesWindow(const PastGamesReport& report, QWidget* parent = nullptr);

    QTableView* table() const { return table_; }
    PastGamesModel* sorted() const { return model_; }
    // Opens the review of the chosen game, or says why it has none.
    void reviewChosen();
    // Opens the statistics of every game in the record.
    void showStatistics();

private:
    PastGamesModel* model_;
    std::function<std::optional<ReviewRecord>(qint64, QString*)> review_;
    QTableView* table_;
};

// frmGameStatistics: the record summed up by rule set, level and scenario
// (games, average and best score, games won), and every game's score over
// time as a chart, a line for each rule set.
class GameStatisticsWindow : public GameWindow {
    Q_OBJECT
public:
    explicit GameStatisticsWindow(const std::vector<PastGame>& games, QWidget* parent = nullptr);
    QTableWidget* table() const { return table_; }
    QChartView* chart() const { return chart_; }

private:
    QTableWidget* table_;
    QChartView* chart_;
};

} // namespace pellucar::ui
