#include "synthetic_trades.h"

#include "csv.h"
#include "mkdb.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace pellucar::mkdb {

namespace {

struct Day {
    QString date;
    double open = 0;
};

// The market's trading days in [from, to) with their opening prices.
bool readDays(const QString& path, const QDate& from, const QDate& to, std::vector<Day>* out, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    std::vector<CsvRecord> rows;
    if (!parseCsv(QString::fromUtf8(f.readAll()), &rows, error)) return false;
    const QString first = from.toString(Qt::ISODate), last = to.toString(Qt::ISODate);
    for (size_t i = 1; i < rows.size(); ++i) { // the first record is the header
        const QStringList& r = rows[i].fields;
        if (r.size() < 2 || r[0] < first || r[0] >= last) continue;
        out->push_back({r[0], r[1].toDouble()});
    }
    return true;
}

} // namespace

bool writeSyntheticTrades(const QString& dataDir, const QDate& from, const QDate& to, qint64 count,
                          const QString& outPath, QString* error) {
    std::vector<std::vector<Day>> days;
    qint64 dayCount = 0;
    for (const MarketInfo& m : markets()) {
        days.emplace_back();
        const QString path = QDir(dataDir).filePath(QStringLiteral("daily/%1.csv").arg(QLatin1String(m.name)));
        if (!readDays(path, from, to, &days.back(), error)) return false;
        dayCount += static_cast<qint64>(days.back().size());
    }
    if (dayCount == 0) {
        *error =
            QStringLiteral("no trading day from %1 to %2").arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
        return false;
    }
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write %1").arg(outPath);
        return false;
    }
    // Eight hours of trading from 7:00; the day's trades share them evenly.
    constexpr int kOpenSecond = 7 * 3600, kSeconds = 8 * 3600;
    quint32 state = 12345;
    auto step = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 16) % 5) - 2; // -2 .. +2 ticks
    };
    QByteArray text = "market,datetime,price\n";
    qint64 written = 0;
    qint64 daysDone = 0;
    char line[96];
    for (size_t k = 0; k < days.size(); ++k) {
        const char* name = markets()[k].name;
        for (const Day& d : days[k]) {
            // Trades still owed, shared by the days left, so the total is exact.
            const qint64 n = (count - written) / (dayCount - daysDone);
            ++daysDone;
            const QByteArray date = d.date.toLatin1();
            double price = d.open > 0 ? d.open : 1.0;
            const double tick = price / 2000.0;
            for (qint64 i = 0; i < n; ++i) {
                const int second = kOpenSecond + static_cast<int>(i * kSeconds / n);
                price = std::max(tick, price + step() * tick);
                const int len = std::snprintf(line, sizeof line, "%s,%s %02d:%02d:%02d,%.4f\n", name, date.constData(),
                                              second / 3600, second / 60 % 60, second % 60, price);
                text.append(line, len);
            }
            written += n;
            if (text.size() > (1 << 20)) {
                if (out.write(text) != text.size()) break;
                text.clear();
            }
        }
    }
    if (out.write(text) != text.size() || !out.flush()) {
        *error = QStringLiteral("cannot write %1").arg(outPath);
        return false;
    }
    return true;
}

} // namespace pellucar::mkdb
