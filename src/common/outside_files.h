#pragma once
#include <QByteArray>
#include <QString>

namespace pellucar {

// Files from outside the game: the saved game, the record of past games, the
// settings and the market database are files anything can replace, and an
// export goes wherever the player points it. What such a path names is
// checked before the game reads or replaces it: a FIFO or a device would
// block the window or never end, and a file far larger than the game ever
// writes would exhaust the memory it is read into.

// What a check of a path from outside found.
enum class OutsideFile {
    Fine,    // a regular file within the bound
    Missing, // nothing is there
    Refused, // something else, or too large: the reason is given
};

// Checks `path` without opening it: a regular file (or a link to one) of at
// most `maxBytes` is Fine; otherwise `why` says what it is.
OutsideFile checkOutsideFile(const QString& path, qint64 maxBytes, QString* why);

// Reads `path` whole when it is a regular file of at most `maxBytes`; the
// kind and size are judged on the opened file, so nothing swapped in
// between a check and the read is read instead. Opening never waits.
OutsideFile readOutsideFile(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* why);

// Writes `bytes` as the file `path` in one step (a new file, or a regular
// file replaced whole; a FIFO or device is refused): either the new file
// stands there or, when any write or the final rename fails, the file as it
// was. Returns an empty text, or why nothing was written (the system's
// reason). The saved game and every export are written so.
QString writeFileWhole(const QString& path, const QByteArray& bytes);

} // namespace pellucar
