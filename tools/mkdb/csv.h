#pragma once
// RFC 4180 text: fields separated by commas, optionally quoted; a quoted field
// may hold commas, line breaks and doubled quotes. CRLF and LF both end a record.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

class QIODevice;

namespace pellucar::mkdb {

struct CsvRecord {
    int line = 0; // line number where the record starts, from 1
    QStringList fields;
};

// A record as its bytes (UTF-8, quotes undone): a file of millions of records
// is read through one of these without a text or an allocation a field.
struct CsvFields {
    int line = 0;
    QByteArray bytes;            // the fields one after another
    std::vector<qsizetype> ends; // where each field ends in `bytes`
    int size() const { return static_cast<int>(ends.size()); }
    QByteArrayView field(int i) const {
        const qsizetype from = i == 0 ? 0 : ends[static_cast<size_t>(i) - 1];
        return QByteArrayView(bytes).sliced(from, ends[static_cast<size_t>(i)] - from);
    }
    QString text(int i) const { return QString::fromUtf8(field(i)); }
};

// Reads records one at a time from a device, holding only a block of its
// bytes: a file of millions of trades is read without being held whole.
class CsvReader {
public:
    // `block`: the bytes read from the device at a time.
    explicit CsvReader(QIODevice* in, qint64 block = 1 << 20) : in_(in), block_(block) {}
    // The next record that is not blank. False at the end of the text, or on
    // an unterminated quote or text after a closing quote, for which error()
    // then gives the reason with its line number.
    bool next(CsvRecord* record);
    bool next(CsvFields* record);
    const QString& error() const { return error_; }

private:
    // The byte `ahead` places on, reading a further block when needed; -1
    // past the end.
    int peek(qsizetype ahead = 0);
    // The next record when the block holds the whole of it and it has no
    // quotes, the common line of a large file: split in one pass over its
    // bytes. False, having moved nothing, for any other record.
    bool plainRecord(CsvFields* record);

    QIODevice* in_;
    qint64 block_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    int line_ = 1;
    bool started_ = false;
    QString error_;
    CsvFields scratch_;
};

// The whole of `text`. Returns false with a message (line number included) on
// an unterminated quote or text after a closing quote. Blank lines are skipped.
bool parseCsv(const QString& text, std::vector<CsvRecord>* records, QString* error);

} // namespace pellucar::mkdb
