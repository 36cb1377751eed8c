#include "csv.h"

namespace pellucar::mkdb {

bool parseCsv(const QString& text, std::vector<CsvRecord>* records, QString* error) {
    records->clear();
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (n > 0 && text[0] == QChar(0xFEFF)) i = 1; // byte-order mark

    while (i < n) {
        CsvRecord record;
        record.line = line;
        bool endOfRecord = false;
        while (!endOfRecord) {
            QString value;
            if (i < n && text[i] == QLatin1Char('"')) {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= n) {
                        *error = QStringLiteral("line %1: quoted field never closed").arg(opened);
                        return false;
                    }
                    const QChar c = text[i++];
                    if (c == QLatin1Char('"')) {
                        if (i < n && text[i] == QLatin1Char('"')) {
                            value += QLatin1Char('"');
                            ++i;
                        } else {
                            break;
                        }
                    } else {
                        if (c == QLatin1Char('\n')) ++line;
                        if (c == QLatin1Char('\r') && i < n && text[i] == QLatin1Char('\n')) continue;
                        value += c;
                    }
                }
                if (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n') &&
                    text[i] != QLatin1Char('\r')) {
                    *error = QStringLiteral("line %1: text after a closing quote").arg(line);
                    return false;
                }
            } else {
                while (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n') &&
                       text[i] != QLatin1Char('\r'))
                    value += text[i++];
            }
            record.fields.append(value);
            if (i >= n) {
                endOfRecord = true;
            } else if (text[i] == QLatin1Char(',')) {
                ++i;
            } else {
                if (text[i] == QLatin1Char('\r')) ++i;
                if (i < n && text[i] == QLatin1Char('\n')) ++i;
                ++line;
                endOfRecord = true;
            }
        }
        const bool blank = record.fields.size() == 1 && record.fields[0].trimmed().isEmpty();
        if (!blank) records->push_back(record);
    }
    return true;
}

} // namespace pellucar::mkdb
