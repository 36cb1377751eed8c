#pragma once
#include <QString>

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

} // namespace pellucar
