#pragma once
#include <QString>

#include <span>

struct sqlite3;

namespace pellucar {

// An SQLite file from outside runs whatever its schema holds whenever the
// game reads or writes it: a trigger on the game's own insert, a view that
// recurses without end, a default or check that calls a function. Every such
// file is opened through these two steps before anything else is asked of it.

// Turns off what a planted schema object could run or change: triggers and
// views do nothing, functions with side effects are refused in the schema,
// and the schema itself cannot be written but through the usual statements.
// Empty, or the engine's reason when the connection refused a setting.
QString guardSqliteConnection(sqlite3* db);

// Compares the file's schema with the layout the statements in `layout`
// make on an empty database: every object of the file (table, index,
// trigger, view) must be one of them, of the same name and text. With
// `complete`, every object of the layout must be there too. Empty, or which
// object is not the game's.
QString sqliteLayoutProblem(sqlite3* db, std::span<const char* const> layout, bool complete);

} // namespace pellucar
