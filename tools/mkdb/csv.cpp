#include "csv.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>

namespace pellucar::mkdb {

int CsvReader::peek(qsizetype ahead) {
    while (pos_ + ahead >= buffer_.size()) {
        const QByteArray more = in_->read(block_);
        if (more.isEmpty()) return -1;
        buffer_.remove(0, pos_);
        pos_ = 0;
        buffer_ += more;
    }
    return static_cast<unsigned char>(buffer_.constData()[pos_ + ahead]);
}

bool CsvReader::next(CsvRecord* record) {
    if (!next(&scratch_)) return false;
    record->line = scratch_.line;
    record->fields.clear();
    for (int i = 0; i < scratch_.size(); ++i) record->fields.append(scratch_.text(i));
    return true;
}

namespace {

bool blankRecord(const CsvFields& r) {
    if (r.size() != 1) return false;
    for (const char c : r.bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return r.text(0).trimmed().isEmpty(); // Unicode blanks too
        if (c != ' ' && (c < '\t' || c > '\r')) return false;
    }
    return true;
}

} // namespace

bool CsvReader::plainRecord(CsvFields* record) {
    const char* line = buffer_.constData() + pos_;
    // A record that may go on in the next block is left to the careful
    // reading, and so is a long one: a file without line feeds is not
    // searched to its end for one at every record.
    const size_t left = std::min(static_cast<size_t>(buffer_.size() - pos_), size_t{4096});
    const char* feed = static_cast<const char*>(std::memchr(line, '\n', left));
    if (!feed) return false;
    const char* cr = static_cast<const char*>(std::memchr(line, '\r', static_cast<size_t>(feed - line)));
    const char* end = cr ? cr : feed;
    const size_t length = static_cast<size_t>(end - line);
    if (std::memchr(line, '"', length)) return false;
    QByteArray& value = record->bytes;
    record->ends.clear();
    value.resize(static_cast<qsizetype>(length));
    char* out = value.data();
    qsizetype held = 0;
    for (size_t i = 0; i < length; ++i) {
        if (line[i] == ',') record->ends.push_back(held);
        else out[held++] = line[i];
    }
    record->ends.push_back(held);
    value.resize(held);
    record->line = line_++;
    pos_ += static_cast<qsizetype>(length) + (cr && cr + 1 == feed ? 2 : 1);
    return true;
}

bool CsvReader::next(CsvFields* record) {
    if (!started_) {
        started_ = true;
        if (peek(0) == 0xEF && peek(1) == 0xBB && peek(2) == 0xBF) pos_ += 3; // byte-order mark
    }
    QByteArray& value = record->bytes;
    while (peek() >= 0) {
        if (plainRecord(record)) {
            if (!blankRecord(*record)) return true;
            continue;
        }
        record->line = line_;
        value.resize(0); // keeps its room for the next record
        record->ends.clear();
        bool endOfRecord = false;
        while (!endOfRecord) {
            if (peek() == '"') {
                const int opened = line_;
                ++pos_;
                for (;;) {
                    const int c = peek();
                    if (c < 0) {
                        error_ = QStringLiteral("line %1: quoted field never closed").arg(opened);
                        return false;
                    }
                    ++pos_;
                    if (c == '"') {
                        if (peek() != '"') break;
                        value += '"';
                        ++pos_;
                    } else {
                        if (c == '\n') ++line_;
                        if (c == '\r' && peek() == '\n') continue;
                        value += static_cast<char>(c);
                    }
                }
                const int after = peek();
                if (after >= 0 && after != ',' && after != '\n' && after != '\r') {
                    error_ = QStringLiteral("line %1: text after a closing quote").arg(line_);
                    return false;
                }
            } else {
                // The field's bytes in the block at once, as far as it reaches.
                for (int c = peek(); c >= 0 && c != ',' && c != '\n' && c != '\r'; c = peek()) {
                    const char* bytes = buffer_.constData();
                    qsizetype end = pos_ + 1;
                    while (end < buffer_.size() && bytes[end] != ',' && bytes[end] != '\n' && bytes[end] != '\r') ++end;
                    value.append(bytes + pos_, end - pos_);
                    pos_ = end;
                }
            }
            record->ends.push_back(value.size());
            const int c = peek();
            if (c < 0) {
                endOfRecord = true;
            } else if (c == ',') {
                ++pos_;
            } else {
                if (c == '\r') ++pos_;
                if (peek() == '\n') ++pos_;
                ++line_;
                endOfRecord = true;
            }
        }
        if (!blankRecord(*record)) return true;
    }
    return false;
}

bool parseCsv(const QString& text, std::vector<CsvRecord>* records, QString* error) {
    records->clear();
    QByteArray bytes = text.toUtf8();
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    CsvReader reader(&device);
    CsvRecord record;
    while (reader.next(&record)) records->push_back(record);
    if (!reader.error().isEmpty()) {
        *error = reader.error();
        return false;
    }
    return true;
}

} // namespace pellucar::mkdb
