// Help > Past Games over a record of 20,000 games, up to the list painted,
// beside a floor: the same rows read from the same file by one SELECT into a
// plain QTableView, shown and painted. Run at each screen size the
// small-screen test uses (QT_QPA_PLATFORM=offscreen:configfile=...) and at
// QT_SCALE_FACTOR=2: a list that measures every row grows with the record
// on a narrow screen, one that fetches rows on demand does not.
#include "bench_support.h"

#include "app/desk/file_desk.h"
#include "app/record/past_games.h"
#include "app/record/scenarios.h"
#include "common/sqlite_statement.h"
#include "ui/past_games_window.h"

#include <QAbstractTableModel>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <array>
#include <map>

namespace pellucar::bench {
namespace {

constexpr int kGames = 20000;

// A record of kGames games in its own folder: one game recorded by the
// game, then copied by SQLite. `longest`: every verdict and scenario as long
// as the record takes.
struct RecordFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("past-games.sqlite"));
};

const RecordFile* recordOf(bool longest, std::string* error) {
    static std::map<bool, std::unique_ptr<RecordFile>> made;
    if (auto it = made.find(longest); it != made.end()) return it->second.get();
    auto file = std::make_unique<RecordFile>();
    PastGames store(file->path);
    PastGame g;
    g.playedAt = QDateTime(QDate(2026, 1, 1), QTime(20, 0));
    g.periodStart = QDate(1994, 1, 3);
    g.periodEnd = QDate(1994, 12, 30);
    g.periods = 252;
    g.trades = 40;
    g.score = 12345.5;
    g.verdict = longest ? QStringLiteral("W").repeated(PastGames::kMostVerdict)
                        : QStringLiteral("Do Not Pass Go, Move Immediately to Wall Street!");
    g.scenario = longest ? QStringLiteral("W").repeated(PastGames::kMostScenario) : scenarios().front().name;
    if (!store.record(g)) {
        *error = store.lastError().toStdString();
        return nullptr;
    }
    // The copies differ in time and score, so sorting has work to do.
    sqlite3* db = nullptr;
    const QByteArray copy = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                            QByteArray::number(kGames - 1) +
                            ") INSERT INTO PastGames (PlayedAt, PeriodStart, PeriodEnd, Level, DataMode, GameLength,"
                            " Periods, Trades, Score, Verdict, Ending, Scenario, StartingCapital, RuleSet, Practice,"
                            " Commissions) SELECT strftime('%Y-%m-%dT%H:%M:%S', PlayedAt, '+' || i || ' minutes'),"
                            " PeriodStart, PeriodEnd, Level, DataMode, GameLength, Periods, Trades,"
                            " Score - (i * 7919 % 20000), Verdict, Ending, Scenario, StartingCapital, RuleSet,"
                            " Practice, Commissions FROM PastGames, n";
    const bool ok = sqlite3_open(QFile::encodeName(file->path).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, copy.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) *error = db ? sqlite3_errmsg(db) : "cannot open the record";
    sqlite3_close(db);
    if (!ok) return nullptr;
    return (made[longest] = std::move(file)).get();
}

// The floor's model: the rows' texts as read, nothing more.
class PlainModel : public QAbstractTableModel {
public:
    std::vector<std::array<QString, 11>> rows;
    int rowCount(const QModelIndex& = {}) const override { return static_cast<int>(rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 11; }
    QVariant data(const QModelIndex& i, int role) const override {
        if (role != Qt::DisplayRole) return {};
        return rows[static_cast<size_t>(i.row())][static_cast<size_t>(i.column())];
    }
};

// The window's own work: the record read through its checks, the window
// built, shown and its list painted.
void BM_PastGames(benchmark::State& state) {
    const bool longest = state.range(0) != 0;
    std::string error;
    const RecordFile* file = recordOf(longest, &error);
    if (!file) return state.SkipWithError(error.c_str());
    PastGames store(file->path);
    Samples samples;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        const PastGamesReport report = pastGamesReport(store);
        if (report.games.size() != static_cast<size_t>(kGames)) return state.SkipWithError("games missing");
        ui::PastGamesWindow w(report);
        PaintWatch paints;
        paints.watch(w.table()->viewport());
        w.show();
        if (!processUntilPainted(paints, {w.table()->viewport()})) return state.SkipWithError("never painted");
        samples.stop(t0);
    }
    samples.publish(state, longest ? "pastgames.longest" : "pastgames");
}

// The floor: one SELECT of the same columns from the same file into a
// plain table, shown and painted.
void BM_PastGames_Floor(benchmark::State& state) {
    const bool longest = state.range(0) != 0;
    std::string error;
    const RecordFile* file = recordOf(longest, &error);
    if (!file) return state.SkipWithError(error.c_str());
    Samples samples;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(file->path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            return state.SkipWithError("cannot open the record");
        auto* model = new PlainModel;
        {
            SqliteStatement st(db, "SELECT PlayedAt, PeriodStart || ' - ' || PeriodEnd, Level, RuleSet, DataMode,"
                                   " GameLength, Trades, Score, Ending, Scenario, Verdict FROM PastGames"
                                   " ORDER BY PlayedAt DESC, GameID DESC");
            while (st.step() == SQLITE_ROW) {
                std::array<QString, 11> row;
                for (int c = 0; c < 11; ++c) row[static_cast<size_t>(c)] = st.text(c);
                model->rows.push_back(std::move(row));
            }
        }
        sqlite3_close(db);
        QTableView view;
        model->setParent(&view);
        view.setModel(model);
        view.resize(900, 500);
        PaintWatch paints;
        paints.watch(view.viewport());
        view.show();
        if (!processUntilPainted(paints, {view.viewport()})) return state.SkipWithError("never painted");
        if (model->rows.size() != static_cast<size_t>(kGames)) return state.SkipWithError("games missing");
        samples.stop(t0);
    }
    samples.publish(state, longest ? "pastgames.longest.floor" : "pastgames.floor");
}

} // namespace

void registerPastGamesBenchmarks() {
    for (const int longest : {0, 1}) {
        benchmark::RegisterBenchmark("PastGames/20000", BM_PastGames)->Arg(longest)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("PastGames/20000/Floor", BM_PastGames_Floor)
            ->Arg(longest)
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace pellucar::bench
