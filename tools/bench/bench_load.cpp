// Loading a game's period from the bundled database: what the game does
// (the market-data functions its period load calls, on an open database)
// against SQLite alone stepping the same statements.
#include "bench_support.h"

#include "app/view/control_table.h"
#include "market/database.h"
#include "market/market_data.h"
#include "mkdb.h"
#include "synthetic_trades.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <map>
#include <memory>

namespace pellucar::bench {
namespace {

const QDate kDailyStart(1994, 1, 1);
const QDate kTickStart(1996, 1, 1);

// The game's statements, word for word as MarketDatabase runs them; the
// floor must step exactly what the game asks for.
const char* const kTradingDaysDailySql =
    "SELECT DISTINCT Date FROM DailyData WHERE Date >= date(?1) AND Date < date(?2) ORDER BY Date";
const char* const kTradingDaysTickSql =
    "SELECT Date FROM TickTradeDaysResults WHERE date(Date) >= date(?1) AND date(Date) < date(?2) "
    "ORDER BY date(Date)";
const char* const kDailySql = "SELECT OpenInterest, DayVolume, Open, High, Low, Close, Date FROM DailyData "
                              "WHERE CommodityID = ?1 AND Date >= date(?2) AND Date < date(?3) ORDER BY Date";
const char* const kTickSql =
    "SELECT DateTime, realprice FROM TickData "
    "WHERE CommodityID = ?1 AND DateTime >= date(?2) AND DateTime < date(?3) ORDER BY DateTime";
const char* const kTickPeriodsSql = "SELECT Date, Period, Price, High, Low, Last FROM TickPeriods "
                                    "WHERE CommodityID = ?1 AND Date >= date(?2) AND Date < date(?3) "
                                    "ORDER BY Date, Period";

// A reader's connection as the game opens its own: one thread, so without
// the engine's per-call lock, and each query prepared once and kept.
struct Connection {
    sqlite3* db = nullptr;
    std::map<const char*, sqlite3_stmt*> prepared;
    explicit Connection(const QString& path = databasePath()) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK) {
            sqlite3_close(db);
            db = nullptr;
        }
    }
    ~Connection() {
        for (const auto& [sql, st] : prepared) sqlite3_finalize(st);
        sqlite3_close(db);
    }
    sqlite3_stmt* statement(const char* sql) {
        sqlite3_stmt*& st = prepared[sql];
        if (!st && sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            st = nullptr;
        }
        return st;
    }
};

// Binds, steps every row reading each column as its type, and resets the
// kept statement: what any reader of these rows must at least do. Returns rows.
long long stepAll(Connection& c, const char* sql, int commodityId, const std::string& from, const std::string& to,
                  int columns) {
    sqlite3_stmt* st = c.statement(sql);
    if (!st) return -1;
    int i = 1;
    if (commodityId > 0) sqlite3_bind_int(st, i++, commodityId);
    sqlite3_bind_text(st, i++, from.c_str(), static_cast<int>(from.size()), SQLITE_STATIC);
    sqlite3_bind_text(st, i, to.c_str(), static_cast<int>(to.size()), SQLITE_STATIC);
    long long rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER: benchmark::DoNotOptimize(sqlite3_column_int64(st, c)); break;
            case SQLITE_FLOAT: benchmark::DoNotOptimize(sqlite3_column_double(st, c)); break;
            default:
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
                benchmark::DoNotOptimize(sqlite3_column_bytes(st, c));
            }
        }
        ++rows;
    }
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    return rows;
}

std::string iso(const QDate& d) { return d.toString(Qt::ISODate).toStdString(); }

} // namespace

long long stepDailyYearRows(const QDate& start) {
    static Connection c;
    if (!c.db) return -1;
    const std::string from = iso(start), to = iso(start.addYears(1));
    long long rows = stepAll(c, kTradingDaysDailySql, 0, from, to, 1);
    for (int id = 1; id <= kMarketCount; ++id) rows += stepAll(c, kDailySql, id, from, to, 7);
    return rows;
}

namespace {

void BM_PeriodLoad_DailyYear(benchmark::State& state) {
    MarketDatabase db;
    if (!db.open(databasePath())) return state.SkipWithError(db.lastError().toStdString().c_str());
    auto md = std::make_unique<MarketData>();
    Samples samples;
    long long rows = 0;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        // As the game's period load: the trading days, six series, aligned.
        md->clearPeriod();
        LoadTradingDays(db, QStringLiteral("Daily"), false, kDailyStart, md->tradingDays);
        rows = md->tradingDays.count();
        for (int id = 1; id <= kMarketCount; ++id) rows += LoadDailyData(db, id, kDailyStart, md->series[id]);
        AlignSeriesToTradingDays(*md);
        samples.stop(t0);
    }
    state.counters["rows"] = static_cast<double>(rows);
    samples.publish(state, "load.daily");
}

void BM_PeriodLoad_DailyYear_SqliteFloor(benchmark::State& state) {
    if (stepDailyYearRows(kDailyStart) < 0) return state.SkipWithError("cannot open futures.mdb");
    Samples samples;
    long long rows = 0;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        rows = stepDailyYearRows(kDailyStart);
        samples.stop(t0);
    }
    state.counters["rows"] = static_cast<double>(rows);
    samples.publish(state, "load.daily.floor");
}

// A tick quarter as the game's period load reads one not read before.
long long loadTickQuarter(MarketDatabase& db, MarketData& md) {
    md.clearPeriod();
    const int n = LoadTradingDays(db, QStringLiteral("Tick"), false, kTickStart, md.tradingDays);
    md.startTickDays();
    long long rows = n;
    for (int id = 1; id <= kMarketCount; ++id) rows += LoadTickData(db, id, kTickStart, false, md);
    return rows;
}

// The statements the game runs for that quarter, stepped by SQLite alone.
long long stepTickQuarter(Connection& db, bool hours) {
    const std::string from = iso(kTickStart), to = iso(kTickStart.addMonths(3));
    long long rows = stepAll(db, kTradingDaysTickSql, 0, from, to, 1);
    for (int id = 1; id <= kMarketCount; ++id)
        rows += hours ? stepAll(db, kTickPeriodsSql, id, from, to, 6) : stepAll(db, kTickSql, id, from, to, 2);
    return rows;
}

// A market database of the bundled data with `trades` made-up trades in the
// first quarter of 1996, built once per run; `hours` false drops its hourly
// figures, as a file of an older builder lacks them.
QString databaseWithTrades(qint64 trades, bool hours) {
    static QTemporaryDir dir;
    static std::map<std::pair<qint64, bool>, QString> built;
    if (trades == 0 && hours) return databasePath();
    const auto key = std::pair(trades, hours);
    if (auto it = built.find(key); it != built.end()) return it->second;
    const QString csv = dir.filePath(QStringLiteral("trades-%1.csv").arg(trades));
    const QString path = dir.filePath(QStringLiteral("trades-%1-%2.mdb").arg(trades).arg(hours));
    QString error;
    mkdb::Report report;
    if (trades > 0 && !QFile::exists(csv) &&
        !mkdb::writeSyntheticTrades(dataDir(), kTickStart, kTickStart.addMonths(3), trades, csv, &error))
        return {};
    if (!mkdb::buildDatabase({dataDir(), trades > 0 ? csv : QString(), path}, &report, &error)) return {};
    if (!hours) {
        sqlite3* db = nullptr;
        const bool dropped = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK &&
                             sqlite3_exec(db, "DROP TABLE TickPeriods; VACUUM", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        if (!dropped) return {};
    }
    return built[key] = path;
}

// "load.tick[.Nk][.trades][.floor]".
std::string tickFigure(qint64 trades, bool hours, bool floor) {
    std::string name = "load.tick";
    if (trades > 0) name += "." + std::to_string(trades / 1000) + "k";
    if (!hours) name += ".trades";
    if (floor) name += ".floor";
    return name;
}

// state.range(0): made-up trades in the quarter (0: the bundled file);
// state.range(1): 1 to read the hourly figures, 0 to read trade by trade.
void BM_PeriodLoad_TickQuarter(benchmark::State& state) {
    const qint64 trades = state.range(0);
    const bool hours = state.range(1) != 0;
    const QString path = databaseWithTrades(trades, hours);
    MarketDatabase db;
    if (path.isEmpty() || !db.open(path)) return state.SkipWithError("cannot build or open the database");
    auto md = std::make_unique<MarketData>();
    Samples samples;
    long long rows = 0;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        rows = loadTickQuarter(db, *md);
        samples.stop(t0);
    }
    state.counters["rows"] = static_cast<double>(rows);
    samples.publish(state, tickFigure(trades, hours, false));
}

void BM_PeriodLoad_TickQuarter_SqliteFloor(benchmark::State& state) {
    const qint64 trades = state.range(0);
    const bool hours = state.range(1) != 0;
    Connection c(databaseWithTrades(trades, hours));
    if (!c.db) return state.SkipWithError("cannot open the database");
    Samples samples;
    long long rows = 0;
    for (auto _ : state) {
        const auto t0 = Samples::start();
        rows = stepTickQuarter(c, hours);
        samples.stop(t0);
    }
    state.counters["rows"] = static_cast<double>(rows);
    samples.publish(state, tickFigure(trades, hours, true));
}

// The whole New Game of the core (setup window answered, reset, period load,
// first quotes), repeated on a game that has not started: the period load
// in its setting.
void BM_NewGame_DailyYear_Core(benchmark::State& state) {
    auto rig = std::make_unique<CoreRig>();
    rig->game.startUp();
    if (rig->game.ended()) return state.SkipWithError("start-up failed");
    const SetupPlan p = dailyYear();
    const QHash<QString, QString> setup{{"level", p.level},
                                        {"length", p.length},
                                        {"data", p.data},
                                        {"period", "select"},
                                        {"year", QString::number(p.year)}};
    Samples samples;
    for (auto _ : state) {
        rig->dialogs.queueSetup(setup);
        const auto t0 = Samples::start();
        rig->game.click(QString::fromLatin1(keys::kNewGame));
        samples.stop(t0);
        if (rig->game.state().clock.periodIndex() != 0 || rig->game.state().clock.tradingDayCount() <= 0)
            return state.SkipWithError("New Game did not load a period");
        state.PauseTiming();
        rig->dialogs.clearTranscript();
        state.ResumeTiming();
    }
    samples.publish(state, "newgame.daily");
}

} // namespace

void registerLoadBenchmarks() {
    benchmark::RegisterBenchmark("PeriodLoad/DailyYear", BM_PeriodLoad_DailyYear)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PeriodLoad/DailyYear/SqliteFloor", BM_PeriodLoad_DailyYear_SqliteFloor)
        ->Unit(benchmark::kMillisecond);
    // The bundled file, then how the load grows with the trades a quarter
    // holds, read through the hourly figures and, as an older file is read,
    // trade by trade.
    for (const auto& [trades, hours] : {std::pair<qint64, int>{0, 1},
                                        {250000, 1},
                                        {1000000, 1},
                                        {5000000, 1},
                                        {250000, 0},
                                        {1000000, 0},
                                        {5000000, 0}}) {
        benchmark::RegisterBenchmark("PeriodLoad/TickQuarter", BM_PeriodLoad_TickQuarter)
            ->Args({trades, hours})
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("PeriodLoad/TickQuarter/SqliteFloor", BM_PeriodLoad_TickQuarter_SqliteFloor)
            ->Args({trades, hours})
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("NewGame/DailyYear/Core", BM_NewGame_DailyYear_Core)->Unit(benchmark::kMillisecond);
}

} // namespace pellucar::bench
