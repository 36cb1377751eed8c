// Help > Past Games over a record of 20,000 games, up to the list painted,
// beside a floor: the same rows read from the same file by one SELECT into a
// plain QTableView of the list's size and column widths, shown and painted.
// A screen is the process's own: run once per screen and scale
// (QT_QPA_PLATFORM=offscreen:configfile=..., QT_SCALE_FACTOR), at least the
// small-screen test's 1024x768 at 100 % and 200 % and 1920x1080 at 200 %;
// each result is labelled with the screen it ran on. A list that measured
// every row would grow with the record on a narrow screen; one that fetches
// rows on demand does not.
#include "bench_support.h"

#include "app/desk/file_desk.h"
#include "app/record/past_games.h"
#include "app/record/scenarios.h"
#include "common/sqlite_statement.h"
#include "ui/past_games_window.h"

#include <QAbstractTableModel>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
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

// How the window lays its list out: the floor's table takes the same size,
// row height and column widths, so both paint the same cells and cut the
// same long texts at the same width.
struct ListShape {
    QSize size;
    int rowHeight = 0;
    std::array<int, 11> widths{};
};

// The screen the run is on, in device pixels, and its scale: "1024x768 at 200 %".
std::string screenLabel() {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return "no screen";
    const QSize px = s->geometry().size() * s->devicePixelRatio();
    return QStringLiteral("%1x%2 at %3 %")
        .arg(px.width())
        .arg(px.height())
        .arg(qRound(100 * s->devicePixelRatio()))
        .toStdString();
}

// The window's own work: the record read through its checks, the window
// built, shown and its list painted.
bool showPastGames(PastGames& store, ListShape* shape) {
    const PastGamesReport report = pastGamesReport(store);
    if (report.games.size() != static_cast<size_t>(kGames)) return false;
    ui::PastGamesWindow w(report);
    PaintWatch paints;
    paints.watch(w.table()->viewport());
    w.show();
    if (!processUntilPainted(paints, {w.table()->viewport()})) return false;
    if (shape) {
        shape->size = w.table()->size();
        shape->rowHeight = w.table()->verticalHeader()->defaultSectionSize();
        for (int c = 0; c < 11; ++c) shape->widths[static_cast<size_t>(c)] = w.table()->columnWidth(c);
    }
    return true;
}

// The floor: one SELECT of the same columns from the same file into a
// plain table of the window's list's shape, shown and painted.
bool showPlainTable(const QString& path, const ListShape& shape) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
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
    view.setWordWrap(false);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(shape.rowHeight);
    view.horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < 11; ++c) view.setColumnWidth(c, shape.widths[static_cast<size_t>(c)]);
    view.resize(shape.size);
    PaintWatch paints;
    paints.watch(view.viewport());
    view.show();
    if (!processUntilPainted(paints, {view.viewport()})) return false;
    return model->rows.size() == static_cast<size_t>(kGames);
}

// The openings measured, apart from the warming ones, so that callgrind can
// collect these alone (--toggle-collect='*openPastGames*', '*openPlainTable*').
[[gnu::noinline]] bool openPastGames(PastGames& store) { return showPastGames(store, nullptr); }
[[gnu::noinline]] bool openPlainTable(const QString& path, const ListShape& shape) {
    return showPlainTable(path, shape);
}

// Each benchmark starts warm: the window and the plain table opened once
// each (once a process for each record), so that fonts, styles and the
// engine's first use are in neither figure. Returns the list's shape, or
// none.
const ListShape* warmUp(const RecordFile& file) {
    static std::map<const RecordFile*, ListShape> shapes;
    if (auto it = shapes.find(&file); it != shapes.end()) return &it->second;
    PastGames store(file.path);
    ListShape shape;
    if (!showPastGames(store, &shape) || !showPlainTable(file.path, shape)) return nullptr;
    return &(shapes[&file] = shape);
}

void BM_PastGames(benchmark::State& state) {
    const bool longest = state.range(0) != 0;
    std::string error;
    const RecordFile* file = recordOf(longest, &error);
    if (!file) return state.SkipWithError(error.c_str());
    if (!warmUp(*file)) return state.SkipWithError("the window or the table never showed");
    PastGames store(file->path);
    Samples samples;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        if (!openPastGames(store)) return state.SkipWithError("games missing or never painted");
        samples.stop(t0);
    }
    state.SetLabel(screenLabel());
    samples.publish(state, longest ? "pastgames.longest" : "pastgames");
}

void BM_PastGames_Floor(benchmark::State& state) {
    const bool longest = state.range(0) != 0;
    std::string error;
    const RecordFile* file = recordOf(longest, &error);
    if (!file) return state.SkipWithError(error.c_str());
    const ListShape* shape = warmUp(*file);
    if (!shape) return state.SkipWithError("the window or the table never showed");
    Samples samples;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        if (!openPlainTable(file->path, *shape)) return state.SkipWithError("games missing or never painted");
        samples.stop(t0);
    }
    state.SetLabel(screenLabel());
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
