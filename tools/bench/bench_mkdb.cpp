// Building the bundled database as pellucar-mkdb does (the same function,
// the same inputs, into a temporary file), against SQLite alone writing the
// same rows into the same tables with the same settings.
#include "bench_support.h"

#include "market/schema.h"
#include "mkdb.h"

#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace pellucar::bench {
namespace {

void BM_Mkdb_Build(benchmark::State& state) {
    QTemporaryDir dir;
    if (!dir.isValid()) return state.SkipWithError("no temporary folder");
    Samples samples;
    qint64 rows = 0;
    for (auto _ : state) {
        mkdb::Options options;
        options.dataDir = dataDir();
        options.output = dir.filePath(QStringLiteral("futures.mdb"));
        mkdb::Report report;
        QString error;
        const auto t0 = Samples::start();
        const bool ok = mkdb::buildDatabase(options, &report, &error);
        samples.stop(t0);
        if (!ok) return state.SkipWithError(error.toStdString().c_str());
        rows = 0;
        for (const auto& [table, n] : report.rowsPerTable) rows += n;
    }
    state.counters["rows"] = static_cast<double>(rows);
    samples.publish(state, "mkdb");
}

bool exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

// Every row of every table of the bundled database, written through bound
// INSERTs in one transaction into a new file with the tool's settings and
// schema: the least any builder of this file must spend in SQLite.
bool copyThroughInserts(const QString& output, qint64* rows) {
    sqlite3* src = nullptr;
    sqlite3* dst = nullptr;
    struct Close {
        sqlite3*& a;
        sqlite3*& b;
        ~Close() {
            sqlite3_close(a);
            sqlite3_close(b);
        }
    } closer{src, dst};
    if (sqlite3_open_v2(databasePath().toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return false;
    if (sqlite3_open_v2(output.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        return false;
    if (!exec(dst, "PRAGMA page_size=4096; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;") ||
        !exec(dst, schema::kCreateSql) || !exec(dst, "BEGIN"))
        return false;
    static const char* const tables[] = {"DailyData",    "TickTradeDaysResults",   "TickData",
                                         "OverviewNews", "SortedTickNewsReleases", "DataSources"};
    *rows = 0;
    for (const char* table : tables) {
        sqlite3_stmt* read = nullptr;
        sqlite3_stmt* write = nullptr;
        const QByteArray select = QByteArray("SELECT * FROM ") + table + " ORDER BY rowid";
        if (sqlite3_prepare_v2(src, select.constData(), -1, &read, nullptr) != SQLITE_OK) return false;
        const int columns = sqlite3_column_count(read);
        QByteArray insert = QByteArray("INSERT INTO ") + table + " VALUES (";
        for (int c = 0; c < columns; ++c) insert += c ? ",?" : "?";
        insert += ")";
        if (sqlite3_prepare_v2(dst, insert.constData(), -1, &write, nullptr) != SQLITE_OK) {
            sqlite3_finalize(read);
            return false;
        }
        bool ok = true;
        while (ok && sqlite3_step(read) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) sqlite3_bind_value(write, c + 1, sqlite3_column_value(read, c));
            ok = sqlite3_step(write) == SQLITE_DONE;
            sqlite3_reset(write);
            ++*rows;
        }
        sqlite3_finalize(read);
        sqlite3_finalize(write);
        if (!ok) return false;
    }
    return exec(dst, "COMMIT");
}

void BM_Mkdb_Build_SqliteFloor(benchmark::State& state) {
    QTemporaryDir dir;
    if (!dir.isValid()) return state.SkipWithError("no temporary folder");
    const QString output = dir.filePath(QStringLiteral("floor.mdb"));
    Samples samples;
    qint64 rows = 0;
    for (auto _ : state) {
        QFile::remove(output);
        const auto t0 = Samples::start();
        const bool ok = copyThroughInserts(output, &rows);
        samples.stop(t0);
        if (!ok) return state.SkipWithError("writing the floor copy failed");
    }
    state.counters["rows"] = static_cast<double>(rows);
    samples.publish(state, "mkdb.floor");
}

} // namespace

void registerMkdbBenchmarks() {
    benchmark::RegisterBenchmark("Mkdb/Build", BM_Mkdb_Build)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Mkdb/Build/SqliteFloor", BM_Mkdb_Build_SqliteFloor)->Unit(benchmark::kMillisecond);
}

} // namespace pellucar::bench
