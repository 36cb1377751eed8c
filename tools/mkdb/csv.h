#pragma once
// RFC 4180 text: fields separated by commas, optionally quoted; a quoted field
// may hold commas, line breaks and doubled quotes. CRLF and LF both end a record.

#include <QString>
#include <QStringList>

#include <vector>

namespace pellucar::mkdb {

struct CsvRecord {
    int line = 0; // line number where the record starts, from 1
    QStringList fields;
};

// Returns false with a message (line number included) on an unterminated
// quote or text after a closing quote. Blank lines are skipped.
bool parseCsv(const QString& text, std::vector<CsvRecord>* records, QString* error);

} // namespace pellucar::mkdb
