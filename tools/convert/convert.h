#pragma once
// Turns the public raw price files into the project's normalised daily files
// (data/daily/<Market>.csv). Every function here is pure text-in, rows-out so
// the parsing rules can be tested on small inputs without the raw files.

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace pellucar::convert {

struct Bar {
    QDate date;
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    qint64 volume = 0;
    qint64 openInterest = 0;
    QString contract; // delivery month as YYYYMM
    QString source;   // tag of the raw file (and column) the row came from
};

using Bars = std::vector<Bar>;

// What the converter did to a row (or, without a date, to a whole file). The
// parsers read whole files for context; the caller keeps the notes of the
// dates it keeps.
struct Note {
    QDate date;
    QString text;
};
using Notes = std::vector<Note>;

// A number as the raw files write it; empty, "." and text that is not a number
// are missing values.
std::optional<double> parseNumber(QStringView text);

// Front-month continuous series with Date, Open, High, Low, Settle, Volume and
// "Open Interest" columns, in any row order (the published crude file is
// newest first). Settle is the close; a missing or zero open, high or low takes
// the settle. Rows without a settle are dropped and noted. Result is ascending.
Bars parseContinuous(const QString& text, const QString& tag, Notes* notes);

// The continuous crude series carries no contract ids. The front month is the
// one that has not yet expired: NYMEX crude stops trading three business days
// before the 25th of the month before delivery (four when the 25th is itself
// no business day). The series' own dates serve as the business calendar;
// before its first date every weekday counts.
void assignCrudeContracts(Bars& bars);

// Quantiacs front-month files (DATE, OPEN, HIGH, LOW, CLOSE, VOL, OI, P, R,
// RINFO; prices times the point value). P on a row names the contract the
// series rolls into after that row; rows before the first roll belong to the
// contract that precedes it in the file's own delivery cycle.
Bars parseQuantiacs(const QString& text, double divisor, const QString& tag, Notes* notes);

// pysystemtrade "multiple prices" files (settlement only). Each day takes the
// nearer of the PRICE and CARRY contracts that has a price that day, keeps that
// contract's id, and uses its settlement as open, high, low and close.
Bars parseSettlement(const QString& text, const QString& fileName, Notes* notes);

// A row of the primary series that repeats the previous close with no volume
// (a day the publisher filled in) is replaced by the backup row of that date
// when the backup holds the same contract.
void replaceFilledRows(Bars& primary, const Bars& backup, Notes* notes);

// Adds the backup's rows for dates the primary lacks, where the primary rows
// on both sides of the gap hold the backup row's contract (so the added row
// is the same front month the primary would have shown).
void fillGaps(Bars& primary, const Bars& backup, Notes* notes);

// Restores prices quoted in fractions (TBond: 64ths) that the raw file rounded
// to a few decimals. Values farther than `tolerance` from the grid stay as they
// are and are noted. Returns how many prices it moved.
int snapToGrid(Bars& bars, double step, double tolerance, Notes* notes);

// Grain prices were quoted in cents and eighths ("753-6" is 753 6/8 cents). A
// price off the `step` grid written with one decimal digit d, where d/8 cents
// lies on the grid, was copied from such a quote as "753.6"; it is read back
// as eighths and noted. Prices on the grid are never touched.
void readEighths(Bars& bars, double step, Notes* notes);

Bars between(const Bars& bars, QDate first, QDate last);

// Re-tags the rows from `from` on (used where the publisher switched contract
// size but kept the file).
void retagFrom(Bars& bars, QDate from, const QString& tag);

// Shortest decimal text of a price, at most six decimals.
QString formatNumber(double value);

QString toCsv(const Bars& bars);

// Reads the raw folder, writes the six market files to outDir.
// Returns false (with the reason in notes) when a raw file is missing.
bool convertAll(const QString& rawDir, const QString& outDir, Notes* notes);

} // namespace pellucar::convert
