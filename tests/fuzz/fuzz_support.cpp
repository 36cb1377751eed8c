#include "fuzz_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sanitizer/common_interface_defs.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace pellucar::fuzz {

void startQt() {
    // Before SQLite's first use, or the setting is refused.
    sqlite3_config(SQLITE_CONFIG_URI, 1);
    static int argc = 1;
    static char name[] = "pellucar-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

QString scratchPath(const QString& name) {
    // Every input writes its file anew; memory-backed storage keeps that cheap.
    static const QTemporaryDir dir(
        (QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/pellucar-fuzz-XXXXXX"));
    return dir.filePath(name);
}

void buildSmallMarket(test::FixtureDb& db) {
    test::buildDaily1990(db);
    // Each half carries the disclaimer row, which is one per file.
    db.exec(QStringLiteral("DELETE FROM OverviewNews WHERE CommodityID = 0"));
    test::buildTickJanuary1996(db);
}

MemoryDatabase::MemoryDatabase(const QString& name)
    : path_(QStringLiteral("file:/pellucar-%1-%2?vfs=memdb").arg(name).arg(QCoreApplication::applicationPid())) {
    sqlite3* db = nullptr;
    sqlite3_file* file = nullptr;
    if (sqlite3_open_v2(path_.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                        nullptr) != SQLITE_OK ||
        sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        fail("memory database", path_);
    holder_ = db;
    file_ = file;
}

MemoryDatabase::~MemoryDatabase() { sqlite3_close(static_cast<sqlite3*>(holder_)); }

void MemoryDatabase::write(const QByteArray& bytes) {
    // The store's own file methods: its size and contents become the
    // bytes, as a file written anew would.
    auto* f = static_cast<sqlite3_file*>(file_);
    if (f->pMethods->xTruncate(f, 0) != SQLITE_OK ||
        (!bytes.isEmpty() && f->pMethods->xWrite(f, bytes.constData(), static_cast<int>(bytes.size()), 0) != SQLITE_OK))
        fail("memory database", QStringLiteral("%1 bytes not written").arg(bytes.size()));
}

QByteArray MemoryDatabase::read() const {
    auto* f = static_cast<sqlite3_file*>(file_);
    sqlite3_int64 size = 0;
    if (f->pMethods->xFileSize(f, &size) != SQLITE_OK) fail("memory database", QStringLiteral("no size"));
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (size > 0 && f->pMethods->xRead(f, bytes.data(), static_cast<int>(size), 0) != SQLITE_OK)
        fail("memory database", QStringLiteral("not read"));
    return bytes;
}

QString smallMarket(const QString& name) {
    test::FixtureDb db(QStringLiteral("fuzz-small-market"));
    buildSmallMarket(db);
    static std::vector<std::unique_ptr<MemoryDatabase>> held; // one a target
    held.push_back(std::make_unique<MemoryDatabase>(name));
    held.back()->write(test::fileBytes(db.path()));
    return held.back()->path();
}

namespace {

// Binds parameter i to a value the input chooses: null, any integer, any
// double (NaN and infinities too), a text, a blob, or one of `texts` (near-
// valid values reach further into the readers than random bytes).
void bindValue(FuzzedDataProvider& in, sqlite3_stmt* st, int i, std::span<const char* const> texts) {
    switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: sqlite3_bind_null(st, i); break;
    case 1: sqlite3_bind_int64(st, i, in.ConsumeIntegral<sqlite3_int64>()); break;
    case 2: {
        double v = 0;
        const std::vector<uint8_t> bits = in.ConsumeBytes<uint8_t>(sizeof v);
        if (!bits.empty()) std::memcpy(&v, bits.data(), std::min(bits.size(), sizeof v));
        sqlite3_bind_double(st, i, v);
        break;
    }
    case 3: sqlite3_bind_double(st, i, in.ConsumeFloatingPointInRange<double>(-1e6, 1e6)); break;
    case 4: {
        const std::string s = in.ConsumeRandomLengthString(600);
        sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case 5: {
        const std::string s = in.ConsumeRandomLengthString(32);
        sqlite3_bind_blob(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
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
                st = nullptr;
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
    // A run with -close_fd_mask=2 discards stderr; the sanitizers' own
    // report channel still reaches the log, so the rule goes there too.
    const QByteArray summary = QByteArray("pellucar broken rule: ") + rule + ": " + details.value(0).toUtf8();
    __sanitizer_report_error_summary(summary.constData());
    std::abort();
}

} // namespace pellucar::fuzz
