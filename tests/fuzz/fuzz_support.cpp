#include "fuzz_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <sqlite3.h>

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <vector>

// The sanitizer keeps a freed block out of use until 256 MB of later frees have passed it, so the blocks it hands out
// again come back cold from memory, and an input spends much of its time waiting for them (about a third of it in
// the past-games target). The most one input frees is a few megabytes (PELLUCAR_FUZZ_FREE_METER measures it), so an
// eighth of the default keeps every block an input frees out of use until long after that input has ended: a use
// after free within an input, or by the next few inputs of one left behind, is still caught.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }

namespace pellucar::fuzz {

void startQt() {
    // Before SQLite's first use, or the settings are refused.
    sqlite3_config(SQLITE_CONFIG_URI, 1);
    // No count of the engine's memory: it takes a global lock around every allocation and free, and the sanitizer's
    // allocator is slow enough without it (about a tenth of an input's time on the database and past-games targets).
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    static int argc = 1;
    static char name[] = "pellucar-fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv); // lives as long as the process
}

QString scratchPath(const QString& name) {
    // Every input writes its file anew; memory-backed storage keeps that cheap.
    static const QTemporaryDir dir(
        (QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/pellucar-fuzz-XXXXXX"));
    return dir.filePath(name);
}

void buildSmallMarket(test::FixtureDb& db, const QDate& lastDaily, const QDate& lastTick) {
    test::buildDaily1990(db, lastDaily);
    // Each half carries the disclaimer row, which is one per file.
    db.exec(QStringLiteral("DELETE FROM OverviewNews WHERE CommodityID = 0"));
    test::buildTickJanuary1996(db, lastTick);
}

namespace {

// Opens the store `uri` names with a connection that keeps it alive; its file.
sqlite3_file* openStore(const QString& uri, sqlite3** holder) {
    sqlite3_file* file = nullptr;
    if (sqlite3_open_v2(uri.toUtf8().constData(), holder, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                        nullptr) != SQLITE_OK ||
        sqlite3_file_control(*holder, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        fail("memory database", uri);
    return file;
}

} // namespace

MemoryDatabase::MemoryDatabase(const QString& name)
    : path_(QStringLiteral("file:/pellucar-%1-%2?vfs=memdb").arg(name).arg(QCoreApplication::applicationPid())) {
    file_ = openStore(path_, &holder_);
}

// A name that starts with a slash is one store for every connection that opens it.
MemoryDatabase::MemoryDatabase(const AtPath& at) : path_(at.path) {
    if (!path_.startsWith(QLatin1Char('/'))) fail("memory database", QStringLiteral("not a full path: ") + path_);
    file_ = openStore(QStringLiteral("file:") + path_ + QStringLiteral("?vfs=memdb"), &holder_);
}

void storeFilesInMemory() {
    sqlite3_vfs* memory = sqlite3_vfs_find("memdb");
    if (!memory || sqlite3_vfs_register(memory, 1) != SQLITE_OK) fail("memory database", QStringLiteral("no store"));
}

MemoryDatabase::~MemoryDatabase() { sqlite3_close(holder_); }

void MemoryDatabase::write(const QByteArray& bytes) {
    const sqlite3_io_methods* f = file_->pMethods;
    if (f->xTruncate(file_, 0) != SQLITE_OK ||
        (!bytes.isEmpty() && f->xWrite(file_, bytes.constData(), static_cast<int>(bytes.size()), 0) != SQLITE_OK))
        fail("memory database", QStringLiteral("%1 bytes not written").arg(bytes.size()));
}

void MemoryDatabase::read(QByteArray& bytes) const {
    sqlite3_int64 size = 0;
    if (file_->pMethods->xFileSize(file_, &size) != SQLITE_OK) fail("memory database", QStringLiteral("no size"));
    bytes.resize(static_cast<qsizetype>(size));
    if (size > 0 && file_->pMethods->xRead(file_, bytes.data(), static_cast<int>(size), 0) != SQLITE_OK)
        fail("memory database", QStringLiteral("not read"));
}

MarketDatabase& smallMarket(const QString& name) {
    test::FixtureDb db(QStringLiteral("fuzz-small-market"));
    buildSmallMarket(db);
    static MemoryDatabase held(name); // the one market of this process
    held.write(test::fileBytes(db.path()));
    static MarketDatabase market;
    if (!market.open(held.path())) fail("the fixture does not open", market.lastError());
    return market;
}

namespace {

// Binds parameter i to a value the input chooses: null, any integer, any double (NaN and infinities too), a text, a
// blob, or one of `texts` (near-valid values reach further into the readers than random bytes).
void bindValue(FuzzedDataProvider& in, sqlite3_stmt* st, int i, std::span<const char* const> texts) {
    const int kind = in.ConsumeIntegralInRange(0, 6);
    switch (kind) {
    case 0: sqlite3_bind_null(st, i); break;
    case 1: sqlite3_bind_int64(st, i, in.ConsumeIntegral<sqlite3_int64>()); break;
    case 2: { // the bits of a double, zero where the input runs out
        std::array<uint8_t, sizeof(double)> bits{};
        in.ConsumeData(bits.data(), bits.size());
        sqlite3_bind_double(st, i, std::bit_cast<double>(bits));
        break;
    }
    case 3: sqlite3_bind_double(st, i, in.ConsumeFloatingPointInRange<double>(-1e6, 1e6)); break;
    case 4:
    case 5: {
        const std::string s = in.ConsumeRandomLengthString(kind == 4 ? 600 : 32);
        if (kind == 4) sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        else sqlite3_bind_blob(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    default: sqlite3_bind_text(st, i, texts[in.ConsumeIntegralInRange<size_t>(0, texts.size() - 1)], -1, SQLITE_STATIC);
    }
}

} // namespace

void editValues(FuzzedDataProvider& in, const QString& path, std::span<const EditableTable> tables,
                std::span<const char* const> texts, int rows) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        sqlite3_exec(db, "PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
        for (int e = in.ConsumeIntegralInRange(1, 8); e > 0 && in.remaining_bytes() > 0; --e) {
            const EditableTable& t = tables[in.ConsumeIntegralInRange<size_t>(0, tables.size() - 1)];
            const QByteArray table(t.name), field(t.fields[in.ConsumeIntegralInRange<size_t>(0, t.fields.size() - 1)]);
            const QByteArray sql = in.ConsumeIntegralInRange(0, 3) != 0
                                       ? "UPDATE " + table + " SET " + field + " = ?1 WHERE rowid = ?2"
                                       : "INSERT INTO " + table + " SELECT * FROM " + table +
                                             " WHERE rowid = ?2; UPDATE " + table + " SET " + field +
                                             " = ?1 WHERE rowid = last_insert_rowid()";
            const char* rest = sql.constData();
            sqlite3_stmt* st = nullptr;
            while (rest && *rest && sqlite3_prepare_v2(db, rest, -1, &st, &rest) == SQLITE_OK && st) {
                if (sqlite3_bind_parameter_count(st) >= 1) bindValue(in, st, 1, texts);
                if (sqlite3_bind_parameter_count(st) >= 2) sqlite3_bind_int(st, 2, in.ConsumeIntegralInRange(1, rows));
                sqlite3_step(st);
                sqlite3_finalize(st);
            }
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

void patchBytes(FuzzedDataProvider& in, QByteArray& file) {
    const int patches = in.ConsumeIntegralInRange(1, 16);
    for (int p = 0; p < patches && in.remaining_bytes() > 0 && !file.isEmpty(); ++p) {
        const qsizetype at = in.ConsumeIntegralInRange<qsizetype>(0, file.size() - 1);
        const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(1, 8));
        for (size_t i = 0; i < bytes.size() && at + static_cast<qsizetype>(i) < file.size(); ++i)
            file[at + static_cast<qsizetype>(i)] = static_cast<char>(bytes[i]);
    }
    if (in.ConsumeIntegralInRange(0, 15) == 0) file.truncate(in.ConsumeIntegralInRange<qsizetype>(0, file.size()));
}

void fail(const char* rule, const QString& detail) { fail(rule, QStringList{detail}); }

void fail(const char* rule, const QStringList& details) {
    std::fprintf(stderr, "BROKEN RULE: %s\n", rule);
    for (const QString& d : details) std::fprintf(stderr, "  %s\n", qPrintable(d));
    std::fflush(stderr);
    // A run with -close_fd_mask=2 discards stderr; the sanitizers' report channel still reaches the log.
    const QByteArray summary = QByteArray("pellucar broken rule: ") + rule + ": " + details.value(0).toUtf8();
    __sanitizer_report_error_summary(summary.constData());
    std::abort();
}

} // namespace pellucar::fuzz
