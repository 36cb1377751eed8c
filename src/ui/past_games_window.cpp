#include "ui/past_games_window.h"

#include "common/dates.h"
#include "common/format.h"
#include "ui/game_review_window.h"
#include "ui/metrics.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace pellucar::ui {

namespace {

QString money(double v) { return QStringLiteral("$") + formatStandard(v); }

QString lengthText(GameLength l) {
    switch (l) {
    case GameLength::Month: return QStringLiteral("One Month");
    case GameLength::Quarter: return QStringLiteral("One Quarter");
    case GameLength::Year: return QStringLiteral("One Year");
    }
    return {};
}

QString endingText(GameEnding e) {
    switch (e) {
    case GameEnding::LengthReached: return QStringLiteral("Full Length");
    case GameEnding::BlownOut: return QStringLiteral("Blown Out");
    case GameEnding::EndedByPlayer: return QStringLiteral("Ended by Player");
    }
    return {};
}

QString periodText(const PastGame& g) {
    return shortDate(g.periodStart) + QStringLiteral(" - ") + shortDate(g.periodEnd);
}

QString playedText(const QDateTime& t) { return shortDate(t.date()) + QLatin1Char(' ') + clockTime12(t.time()); }

} // namespace

PastGamesModel::PastGamesModel(std::vector<PastGame> games, QObject* parent)
    : QAbstractTableModel(parent), games_(std::move(games)) {}

int PastGamesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(games_.size());
}

int PastGamesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant PastGamesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PastGame& g = games_[static_cast<size_t>(index.row())];
    const auto column = static_cast<Column>(index.column());
    if (role == Qt::TextAlignmentRole) {
        const bool figure = column == Trades || column == Score;
        return QVariant::fromValue(Qt::AlignVCenter | (figure ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == kSortRole) {
        switch (column) {
        case Played: return g.playedAt;
        case Period: return g.periodStart;
        case Length: return static_cast<int>(g.length);
        case Trades: return g.trades;
        case Score: return g.score;
        case Ending: return static_cast<int>(g.ending);
        default: break; // the rest sort by their text
        }
    } else if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (column) {
    case Played: return playedText(g.playedAt);
    case Period: return periodText(g);
    case Level: return levelName(g.level);
    case Data: return dataModeName(g.dataMode);
    case Length: return lengthText(g.length);
    case Trades: return QString::number(g.trades);
    case Score: return money(g.score);
    case Ending: return endingText(g.ending);
    case Scenario: return g.scenario;
    case Verdict: return g.verdict;
    case ColumnCount: break;
    }
    return {};
}

QVariant PastGamesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[ColumnCount] = {"Played", "Period", "Level",        "Data",     "Length",
                                                    "Trades", "Score",  "How It Ended", "Scenario", "Verdict"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section]) : QVariant();
}

PastGamesWindow::PastGamesWindow(const PastGamesReport& report, QWidget* parent)
    : GameWindow(QStringLiteral("frmPastGames"), QStringLiteral("Past Games"), parent) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(18, 14, 18, 12);
    v->setSpacing(10);

    if (!report.problem.isEmpty()) {
        QLabel* problem = label(QStringLiteral("lblProblem"), report.problem, true);
        problem->setWordWrap(true);
        v->addWidget(problem);
    }

    // The best of each level, above the list.
    auto* best = new QGridLayout;
    best->setHorizontalSpacing(14);
    best->addWidget(label(QStringLiteral("lblBestCaption"), QStringLiteral("Best Scores:")), 0, 0);
    int row = 0;
    for (const BestScore& b : report.best) {
        const QString name = levelName(b.level);
        best->addWidget(label(QStringLiteral("lblBestLevel%1").arg(name), name + QLatin1Char(':')), row, 1);
        QLabel* score = label(QStringLiteral("lblBest%1").arg(name), money(b.game.score), true);
        score->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        best->addWidget(score, row, 2);
        QLabel* game = label(QStringLiteral("lblBestGame%1").arg(name),
                             QStringLiteral("%1, %2, %3, played %4")
                                 .arg(periodText(b.game), dataModeName(b.game.dataMode), lengthText(b.game.length),
                                      shortDate(b.game.playedAt.date())));
        // On a narrow screen the line wraps instead of widening the window
        // past the screen.
        game->setWordWrap(true);
        best->addWidget(game, row, 3);
        ++row;
    }
    if (report.best.empty())
        best->addWidget(label(QStringLiteral("lblBestNone"), QStringLiteral("No games finished yet.")), 0, 1, 1, 3);
    best->setColumnStretch(3, 1);
    v->addLayout(best);

    auto* model = new PastGamesModel(report.games, this);
    model_ = model;
    review_ = report.review;
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model);
    sorted_->setSortRole(PastGamesModel::kSortRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("gridPastGames"));
    table_->setModel(sorted_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->setSortingEnabled(true);
    table_->sortByColumn(PastGamesModel::Played, Qt::DescendingOrder);
    QHeaderView* header = table_->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    table_->resizeColumnsToContents();
    // The header's sort arrow must not crowd a column's title.
    const int arrow = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    for (int c = 0; c < PastGamesModel::ColumnCount; ++c) {
        const QString title = model->headerData(c, Qt::Horizontal).toString();
        const int wanted = header->fontMetrics().horizontalAdvance(title) + arrow + 24;
        table_->setColumnWidth(c, qMax(table_->columnWidth(c), wanted));
    }
    v->addWidget(table_, 1);

    QPushButton* ok = button(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Review opens the chosen game (the newest until one is chosen).
    QPushButton* review = button(QStringLiteral("cmdReview"), QStringLiteral("&Review..."));
    review->setVisible(review_ && !report.games.empty());
    connect(review, &QPushButton::clicked, this, &PastGamesWindow::reviewChosen);
    connect(table_, &QTableView::doubleClicked, this, &PastGamesWindow::reviewChosen);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(review);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    v->addLayout(buttons);

    // Wide enough for every column as it stands (within the screen), and
    // tall enough for a dozen games before the list scrolls.
    int width = table_->frameWidth() * 2 + table_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < PastGamesModel::ColumnCount; ++c) width += table_->columnWidth(c);
    const int rows = 12;
    const int height =
        header->sizeHint().height() + table_->verticalHeader()->defaultSectionSize() * rows + table_->frameWidth() * 2;
    const QScreen* s = parent ? parent->screen() : QApplication::primaryScreen();
    const QRect avail = s ? s->availableGeometry() : QRect(0, 0, 1280, 1024);
    const int room = avail.width() * 9 / 10 - 36;
    if (width > room) {
        // A narrow screen: the long texts wrap within their columns, down to
        // their headings' width, rather than the list scrolling sideways.
        table_->setWordWrap(true);
        table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        int excess = width - room;
        for (int c : {PastGamesModel::Verdict, PastGamesModel::Scenario, PastGamesModel::Period, PastGamesModel::Ending,
                      PastGamesModel::Played, PastGamesModel::Length}) {
            const QString title = model->headerData(c, Qt::Horizontal).toString();
            const int least = header->fontMetrics().horizontalAdvance(title) + arrow + 24;
            const int cut = qMax(0, qMin(excess, table_->columnWidth(c) - least));
            table_->setColumnWidth(c, table_->columnWidth(c) - cut);
            excess -= cut;
        }
        width = room + excess;
    }
    table_->setMinimumSize(qMin(width, room), qMin(height, avail.height() / 2));
    resize(sizeHint());
}

void PastGamesWindow::reviewChosen() {
    const QModelIndex chosen = table_->currentIndex().isValid() ? table_->currentIndex() : sorted_->index(0, 0);
    const QModelIndex current = sorted_->mapToSource(chosen);
    if (!current.isValid() || !review_) return;
    const PastGame& g = model_->game(current.row());
    QString why;
    const std::optional<ReviewRecord> record = review_(g.id, &why);
    if (!record) {
        NotificationWindow(QStringLiteral("Past Games"), why, 0, this).exec();
        return;
    }
    const QString title = g.scenario.isEmpty() ? QStringLiteral("Game Review: %1").arg(periodText(g))
                                               : QStringLiteral("Game Review: %1, %2").arg(g.scenario, periodText(g));
    GameReviewWindow(*record, title, this).exec();
}

} // namespace pellucar::ui
