#pragma once
#include <QString>
#include <QStringList>

namespace pellucar {

// Finds one of the game's own files (futures.mdb, dunmere.hlp). A build keeps
// them beside the programs; an install puts them in the data folder
// <prefix>/share/pellucar. Looked for, in order: beside the program; in the
// data folder relative to the program (so an unpacked package works wherever
// it lies); in "pellucar" under each of the system's data folders
// ($XDG_DATA_HOME, $XDG_DATA_DIRS). When none has it, the path beside the
// program is returned, and opening it fails with the usual message.
QString locateDataFile(const QString& fileName, const QString& programDir);

// The same, for the running program.
QString locateDataFile(const QString& fileName);

// The folders locateDataFile looks in, in its order, so a program that
// cannot use the file it was given can tell the player where to put one.
QStringList dataSearchFolders(const QString& programDir);
QStringList dataSearchFolders();

// What a program says when one of its files cannot be used: the file it
// tried and, when it had looked for it, the folders it looked in.
QString dataFileProblem(const QString& what, const QString& triedPath, const QStringList& searched);

} // namespace pellucar
