#pragma once
// What the fuzz targets share: Qt's application object, scratch files, the
// small market they play on, and the way a broken rule stops the run.
#include "support/game_harness.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <span>

namespace pellucar::fuzz {

// Qt wants its application object before dates, files and locales are used;
// SQLite is told here, before its first use, to read "file:" names as URIs
// (MemoryDatabase below).
void startQt();

// A file name of this process's own in a fast scratch folder, removed at exit.
QString scratchPath(const QString& name);

// A database file held in memory by SQLite's memdb store under a name of this
// process. The game opens path() as it opens a file, through its own open(),
// without a system call; the store lives as long as this object.
class MemoryDatabase {
public:
    explicit MemoryDatabase(const QString& name);
    ~MemoryDatabase();
    MemoryDatabase(const MemoryDatabase&) = delete;
    MemoryDatabase& operator=(const MemoryDatabase&) = delete;
    // "file:/pellucar-NAME-PID?vfs=memdb".
    const QString& path() const { return path_; }
    // Makes the bytes the whole file. Only while no other connection is open on it.
    void write(const QByteArray& bytes);
    QByteArray read() const;

private:
    QString path_;
    void* holder_ = nullptr; // the connection that keeps the store; never reads it
    void* file_ = nullptr;
};

// The tests' daily 1990 and tick January 1996 fixtures in one file.
void buildSmallMarket(test::FixtureDb& db);
// That market in memory under `name`; its path.
QString smallMarket(const QString& name);

// A table whose values the input may rewrite, and the fields it may set.
struct EditableTable {
    const char* name;
    std::span<const char* const> fields;
};

// Rewrites values of `tables` in the SQLite file at `path` through the
// engine, so the file stays well formed and its contents do not: a field of
// one of the first `rows` rows set to a value of any type (or one of
// `texts`), now and then in a copy of that row added to the table.
void editValues(FuzzedDataProvider& in, const QString& path, std::span<const EditableTable> tables,
                std::span<const char* const> texts, int rows);

// Overwrites bytes of the file where the input says; now and then cuts it short.
void patchBytes(FuzzedDataProvider& in, QByteArray& file);

// A broken rule: libFuzzer keeps the input that led here.
[[noreturn]] void fail(const char* rule, const QString& detail);
[[noreturn]] void fail(const char* rule, const QStringList& details);

} // namespace pellucar::fuzz
