#pragma once
// What the fuzz targets share: Qt, scratch files, the small market they play on, and how a broken rule stops the run.
#include "support/game_harness.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <span>

struct sqlite3_file;

namespace pellucar::fuzz {

// Qt's application object, and SQLite told to read "file:" names as URIs (MemoryDatabase): before either is used.
void startQt();

// A file name of this process's own in a fast scratch folder, removed at exit.
QString scratchPath(const QString& name);

// A database file in SQLite's memory store, for the life of this object: the game opens path() as a file, without
// a system call.
class MemoryDatabase {
public:
    explicit MemoryDatabase(const QString& name);
    // The store under a file name of the disk's, for code that opens the name as a plain file: SQLite finds it there
    // once storeFilesInMemory() has been called.
    struct AtPath {
        QString path;
    };
    explicit MemoryDatabase(const AtPath& at);
    ~MemoryDatabase();
    MemoryDatabase(const MemoryDatabase&) = delete;
    MemoryDatabase& operator=(const MemoryDatabase&) = delete;
    const QString& path() const { return path_; }
    // Makes the bytes the whole file. Only while no other connection is open on it.
    void write(const QByteArray& bytes);
    // The whole file into `bytes`, in the room it already has.
    void read(QByteArray& bytes) const;

private:
    QString path_;
    sqlite3* holder_ = nullptr; // the connection that keeps the store; never reads it
    sqlite3_file* file_ = nullptr;
};

// From here on SQLite keeps every database file it opens by a plain name in its memory store, shared by name (the
// journals still go to disk); a file already on disk is not read. Code that looks for the file outside SQLite still
// finds whatever is on disk under that name.
void storeFilesInMemory();

// The tests' daily 1990 and tick January 1996 fixtures in one file, each up to its last day.
void buildSmallMarket(test::FixtureDb& db, const QDate& lastDaily = QDate(1990, 12, 31),
                      const QDate& lastTick = QDate(1996, 1, 31));
// That market in memory under `name`, made and opened once a process: the connection its games read.
MarketDatabase& smallMarket(const QString& name);

struct EditableTable {
    const char* name;
    std::span<const char* const> fields;
};

// Rewrites values of `tables` in the SQLite file at `path` through the engine, so the file stays well formed and its
// contents do not: a field of one of the first `rows` rows (or of a copy added) set to any value or one of `texts`.
void editValues(FuzzedDataProvider& in, const QString& path, std::span<const EditableTable> tables,
                std::span<const char* const> texts, int rows);

// Overwrites bytes of the file where the input says; now and then cuts it short.
void patchBytes(FuzzedDataProvider& in, QByteArray& file);

// A broken rule: libFuzzer keeps the input that led here.
[[noreturn]] void fail(const char* rule, const QString& detail);
[[noreturn]] void fail(const char* rule, const QStringList& details);

} // namespace pellucar::fuzz
