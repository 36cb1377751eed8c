#include "ui/past_games_window.h"

#include "app/record/game_statistics.h"
#include "common/dates.h"
#include "common/format.h"
#include "ui/game_review_window.h"
#include "ui/metrics.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

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

// "Classic", "Trainer", or either marked as practice.
QString rulesText(const PastGame& g) {
    return g.practice ? ruleSetName(g.rules) + QStringLiteral(" (practice)") : ruleSetName(g.rules);
}

} // namespace

PastGamesModel::PastGamesModel(std::vector<PastGame> games, QObject* parent)
    : QAbstractTableModel(parent), games_(std::move(games)), shown_(std::min(gameCount(), kBatch)) {}

int PastGamesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

bool PastGamesModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && shown_ < gameCount(); }

void PastGamesModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    const int more = std::min(kBatch, gameCount() - shown_);
    beginInsertRows({}, shown_, shown_ + more - 1);
    shown_ += more;
    endInsertRows();
}

void PastGamesModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount || (column == sortColumn_ && order == sortOrder_)) return;
    sortColumn_ = column;
    sortOrder_ = order;
    // Values where the column has them, texts otherwise; ties keep the
    // order they had, so a second sort refines the first.
    std::vector<std::pair<QVariant, size_t>> keys;
    keys.reserve(games_.size());
    for (size_t i = 0; i < games_.size(); ++i) {
        const QVariant v = sortValue(games_[i], static_cast<Column>(column));
        keys.emplace_back(v.isValid() ? v : displayText(games_[i], static_cast<Column>(column)), i);
    }
    std::stable_sort(keys.begin(), keys.end(), [order](const auto& a, const auto& b) {
        const QPartialOrdering c = QVariant::compare(a.first, b.first);
        return order == Qt::AscendingOrder ? c == QPartialOrdering::Less : c == QPartialOrdering::Greater;
    });
    std::vector<PastGame> sorted;
    sorted.reserve(games_.size());
    for (const auto& k : keys) sorted.push_back(std::move(games_[k.second]));
    beginResetModel();
    games_ = std::move(sorted);
    shown_ = std::min(gameCount(), kBatch);
    endResetModel();
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
    // A text longer than its column is cut; the tip shows it whole.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return displayText(g, column);
    if (role != kSortRole) return {};
    const QVariant v = sortValue(g, column);
    return v.isValid() ? v : displayText(g, column);
}

QVariant PastGamesModel::sortValue(const PastGame& g, Column column) {
    switch (column) {
    case Played: return g.playedAt;
    case Period: return g.periodStart;
    case Length: return static_cast<int>(g.length);
    case Trades: return g.trades;
    case Score: return g.score;
    case Ending: return static_cast<int>(g.ending);
    default: return {}; // the rest sort by their text
    }
}

QString PastGamesModel::displayText(const PastGame& g, Column column) {
    switch (column) {
    case Played: return playedText(g.playedAt);
    case Period: return periodText(g);
    case Level: return levelName(g.level);
    case Rules: return rulesText(g);
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
    static const char* const titles[ColumnCount] = {"Played", "Period", "Level",        "Rules",    "Data",   "Length",
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

    // The best of each rule set and level, above the list.
    auto* best = new QGridLayout;
    best->setHorizontalSpacing(14);
    best->addWidget(label(QStringLiteral("lblBestCaption"), QStringLiteral("Best Scores:")), 0, 0);
    int row = 0;
    for (const BestScore& b : report.best) {
        // A Classic best keeps the names it always had; a Trainer best says
        // its rules.
        const QString level = levelName(b.level);
        const QString name = b.rules == RuleSet::Classic ? level : ruleSetName(b.rules) + level;
        const QString caption = b.rules == RuleSet::Classic ? level : ruleSetName(b.rules) + QLatin1Char(' ') + level;
        best->addWidget(label(QStringLiteral("lblBestLevel%1").arg(name), caption + QLatin1Char(':')), row, 1);
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

    model_ = new PastGamesModel(report.games, this);
    review_ = report.review;
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("gridPastGames"));
    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    // One line a row, every row the same height: nothing is measured row by
    // row, and a text longer than its column ends in an ellipsis (its tip
    // shows it whole).
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideRight);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    QHeaderView* header = table_->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    table_->setSortingEnabled(true);
    table_->sortByColumn(PastGamesModel::Played, Qt::DescendingOrder);
    // Each column as wide as its title or the widest text of the first
    // batch of rows, whichever is more, up to a limit; texts that come later
    // are cut. No text past the limit's length is measured whole, a text
    // met before is not measured again (most columns repeat a few names),
    // and a column at the limit measures no more.
    const int arrow = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    const QFontMetrics cellFont = table_->fontMetrics();
    constexpr int kWidest = 480, kMeasured = 100; // a hundred characters pass the widest a column gets
    QSet<QString> measured;
    for (int c = 0; c < PastGamesModel::ColumnCount; ++c) {
        const QString title = model_->headerData(c, Qt::Horizontal).toString();
        int wanted = header->fontMetrics().horizontalAdvance(title) + arrow + 24;
        measured.clear();
        for (int r = 0; r < model_->rowCount() && wanted < kWidest; ++r) {
            const QString text = model_->text(r, static_cast<PastGamesModel::Column>(c)).left(kMeasured);
            if (measured.contains(text)) continue;
            measured.insert(text);
            wanted = qMax(wanted, cellFont.horizontalAdvance(text) + 14);
        }
        table_->setColumnWidth(c, qMin(wanted, kWidest));
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
    QPushButton* statistics = button(QStringLiteral("cmdStatistics"), QStringLiteral("&Statistics..."));
    statistics->setVisible(!report.games.empty());
    connect(statistics, &QPushButton::clicked, this, &PastGamesWindow::showStatistics);
    connect(table_, &QTableView::doubleClicked, this, &PastGamesWindow::reviewChosen);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(review);
    buttons->addWidget(statistics);
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
        // A narrow screen: the long texts give up room first, down to their
        // headings' width, rather than the list scrolling sideways.
        int excess = width - room;
        for (int c : {PastGamesModel::Verdict, PastGamesModel::Scenario, PastGamesModel::Period, PastGamesModel::Ending,
                      PastGamesModel::Played, PastGamesModel::Length, PastGamesModel::Rules}) {
            const QString title = model_->headerData(c, Qt::Horizontal).toString();
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
    const QModelIndex current = table_->currentIndex().isValid() ? table_->currentIndex() : model_->index(0, 0);
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

namespace pellucar::ui {

void PastGamesWindow::showStatistics() { GameStatisticsWindow(model_->games(), this).exec(); }

GameStatisticsWindow::GameStatisticsWindow(const std::vector<PastGame>& games, QWidget* parent)
    : GameWindow(QStringLiteral("frmGameStatistics"), QStringLiteral("Statistics of Past Games"), parent) {
    setAttribute(Qt::WA_WindowPropagation);
    if (parent) setPalette(parent->palette());
    const std::vector<GameGroupStatistics> groups = gameStatistics(games);
    table_ = new QTableWidget(static_cast<int>(groups.size()), 7, this);
    table_->setObjectName(QStringLiteral("gridStatistics"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Rules"), QStringLiteral("Level"), QStringLiteral("Scenario"),
                                       QStringLiteral("Games"), QStringLiteral("Average"), QStringLiteral("Best"),
                                       QStringLiteral("Won")});
    const auto cell = [](const QString& text, bool figure) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignVCenter | (figure ? Qt::AlignRight : Qt::AlignLeft));
        return item;
    };
    for (int r = 0; r < table_->rowCount(); ++r) {
        const GameGroupStatistics& g = groups[static_cast<size_t>(r)];
        table_->setItem(r, 0, cell(ruleSetName(g.rules), false));
        table_->setItem(r, 1, cell(levelName(g.level), false));
        table_->setItem(r, 2, cell(g.scenario.isEmpty() ? QStringLiteral("(set up by hand)") : g.scenario, false));
        table_->setItem(r, 3, cell(QString::number(g.games), true));
        table_->setItem(r, 4, cell(money(g.averageScore), true));
        table_->setItem(r, 5, cell(money(g.bestScore), true));
        table_->setItem(r, 6, cell(QStringLiteral("%1 (%2%)").arg(g.won).arg(100 * g.winRate, 0, 'f', 0), true));
    }
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->resizeColumnsToContents();
    table_->setMinimumHeight(table_->fontMetrics().height() * 5);

    // Scores over time: a line for each rule set, so one reads beside the other.
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Scores over Time (won above zero)"));
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundBrush(palette().color(QPalette::Window));
    chart->setTitleBrush(palette().color(QPalette::WindowText));
    chart->legend()->setLabelColor(palette().color(QPalette::WindowText));
    auto* x = new QDateTimeAxis;
    x->setTickCount(4);
    auto* y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("$%'.0f"));
    y->setTickCount(4);
    for (QAbstractAxis* a : std::initializer_list<QAbstractAxis*>{x, y}) {
        a->setLabelsColor(palette().color(QPalette::WindowText));
        a->setLinePenColor(palette().color(QPalette::WindowText));
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    const std::vector<ScorePoint> points = scoresOverTime(games);
    double lo = 0, hi = 0;
    for (RuleSet rules : {RuleSet::Classic, RuleSet::Trainer}) {
        auto* line = new QLineSeries;
        // The legend's marks are alike: its names say which line is which.
        line->setName(ruleSetName(rules) + (rules == RuleSet::Trainer ? QStringLiteral(" (dashed)") : QString()));
        QList<QPointF> at;
        for (const ScorePoint& p : points) {
            if (p.rules != rules) continue;
            at.append(QPointF(static_cast<qreal>(p.playedAt.toMSecsSinceEpoch()), p.score));
            lo = std::min(lo, p.score);
            hi = std::max(hi, p.score);
        }
        if (at.isEmpty()) {
            delete line;
            continue;
        }
        line->replace(at);
        // Dashes tell the Trainer's line apart without colour.
        QPen pen(palette().color(QPalette::WindowText), 1.5, rules == RuleSet::Trainer ? Qt::DashLine : Qt::SolidLine);
        line->setPen(pen);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    if (!points.empty()) {
        QDateTime first = points.front().playedAt, last = points.back().playedAt;
        if (first == last) first = first.addDays(-1), last = last.addDays(1);
        x->setRange(first, last);
        // Days over a season's play, months over a longer one.
        x->setFormat(first.daysTo(last) < 90 ? QStringLiteral("MM/dd") : QStringLiteral("MM/yy"));
    }
    y->setRange(lo, hi > lo ? hi : lo + 1);
    y->applyNiceNumbers();
    chart_ = new QChartView(chart, this);
    chart_->setObjectName(QStringLiteral("chartScores"));
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumHeight(150);
    chart_->setFocusPolicy(Qt::NoFocus);

    QPushButton* close = button(QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* v = standardLayout({table_, chart_}, {close}, 8, 0, {12, 10, 12, 10});
    v->setStretchFactor(table_, 2);
    v->setStretchFactor(chart_, 3);
    table_->setFocus();
    // Roomy where the screen allows, never larger than it.
    const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    int wide = table_->frameWidth() * 2 + 40;
    for (int c = 0; c < table_->columnCount(); ++c) wide += table_->columnWidth(c);
    resize(std::min(std::max(wide, 640), avail.width() * 19 / 20), std::min(520, avail.height() * 9 / 10));
}

} // namespace pellucar::ui
