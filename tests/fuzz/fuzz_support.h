#pragma once
// What the fuzz targets share: Qt's application object, scratch files, the
// small market they play on, and the way a broken rule stops the run.
#include "support/fixture_db.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <span>

struct sqlite3_stmt;

namespace pellucar::fuzz {

// Qt wants its application object before dates, files and locales are used;
// SQLite is told here, before its first use, to read "file:" names as URIs
// (MemoryDatabase below).
void startQt();

// The bytes of a file; a broken run when it cannot be read.
QByteArray fileBytes(const QString& path);

// A file name of this process's own in a fast scratch folder.
QString scratchPath(const QString& name);

// A database file held in memory by SQLite's memdb store under a name of this
// process. The game opens path() exactly as it opens a file on disk, read
// only, through its own open(); no input touches the file system, and one
// built fixture serves every input.
class MemoryDatabase {
public:
    explicit MemoryDatabase(const QString& name);
    ~MemoryDatabase();
    MemoryDatabase(const MemoryDatabase&) = delete;
    MemoryDatabase& operator=(const MemoryDatabase&) = delete;

    // "file:/pellucar-NAME-PID?vfs=memdb".
    const QString& path() const { return path_; }
    // Makes the bytes the whole file, whatever they hold. Only while no
    // other connection is open on it.
    void write(const QByteArray& bytes);
    QByteArray read() const;
    // The small market below, in memory under `name`.
    static std::unique_ptr<MemoryDatabase> smallMarket(const QString& name);

private:
    QString path_;
    void* holder_ = nullptr; // keeps the store alive; never reads it
    void* file_ = nullptr;
};

// A year of daily prices (1990, every weekday, Oil rising by 0.25 a day),
// the disclaimer and a background story, and January 1996 in ticks with a
// few news stories: enough for a daily and a tick game of any length.
void buildSmallMarket(test::FixtureDb& db);
// That market as a whole file, with or without the hourly figures the
// database builder adds.
QByteArray smallMarketFile(bool hourlyFigures = false);

// Binds parameter i to a value the input chooses: null, any integer, any
// double (NaN and infinities too), a text, a blob, or one of `texts` (near-
// valid values reach further into the readers than random bytes).
void bindValue(FuzzedDataProvider& in, sqlite3_stmt* st, int i, std::span<const char* const> texts);

// A table whose values the input may rewrite, and the fields it may set.
struct EditableTable {
    const char* name;
    std::span<const char* const> fields;
};

// Rewrites values of `tables` in the SQLite file at `path` (a file name or a
// MemoryDatabase's path) through the engine, so the file stays well formed
// and its contents do not: a field of one of the first `rows` rows set to a
// value bindValue chooses, now and then in a copy of that row added to the
// table. NOT NULL refuses some of the edits, as it would anyone's.
void editValues(FuzzedDataProvider& in, const QString& path, std::span<const EditableTable> tables,
                std::span<const char* const> texts, int rows);

// Overwrites bytes of the file where the input says; now and then cuts it short.
void patchBytes(FuzzedDataProvider& in, QByteArray& file);

// A broken rule: libFuzzer keeps the input that led here.
[[noreturn]] void fail(const char* rule, const QString& detail);
[[noreturn]] void fail(const char* rule, const QStringList& details);

} // namespace pellucar::fuzz
