#pragma once
// Made-up intraday trades in the form pellucar-mkdb --ticks imports, for
// loading a period as large as a real trade record would make it (the load
// tests and pellucar-bench). Nothing of the game's data is made up this way.

#include <QDate>
#include <QString>

namespace pellucar::mkdb {

// Writes `count` trades (CSV market,datetime,price) spread evenly over the
// six markets and over each market's trading days in [from, to) as its
// daily file in `dataDir` lists them, between 7:00 and 15:00, each price a
// small step from the last, starting at the day's open. The same arguments
// always give the same file. False (with the reason) when a daily file
// cannot be read, no day lies in the range, or the file cannot be written.
bool writeSyntheticTrades(const QString& dataDir, const QDate& from, const QDate& to, qint64 count,
                          const QString& outPath, QString* error);

} // namespace pellucar::mkdb
