#include "convert.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>
#include <set>

namespace pellucar::convert {
namespace {

struct Table {
    QStringList header;
    std::vector<QStringList> rows;
    int column(const QString& name) const { return header.indexOf(name); }
};

// The raw price files are plain comma-separated text without quoting.
Table splitTable(const QString& text) {
    Table table;
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool first = true;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty()) continue;
        QStringList fields = line.split(QLatin1Char(','));
        for (QString& f : fields) f = f.trimmed();
        if (first) {
            table.header = fields;
            first = false;
        } else {
            table.rows.push_back(fields);
        }
    }
    return table;
}

QString field(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row[column] : QString();
}

std::optional<double> positive(QStringView text) {
    auto v = parseNumber(text);
    if (v && *v > 0) return v;
    return std::nullopt;
}

qint64 wholeNumber(QStringView text) {
    auto v = parseNumber(text);
    return v ? static_cast<qint64>(std::llround(*v)) : 0;
}

QString monthId(QDate monthStart) {
    return QStringLiteral("%1%2")
        .arg(monthStart.year(), 4, 10, QLatin1Char('0'))
        .arg(monthStart.month(), 2, 10, QLatin1Char('0'));
}

void note(Notes* notes, QDate date, const QString& text) {
    if (notes) notes->push_back({date, text});
}

// Sorts by date; on a repeated date the later row in the input wins.
void sortUnique(Bars& bars, const QString& tag, Notes* notes) {
    std::stable_sort(bars.begin(), bars.end(), [](const Bar& a, const Bar& b) { return a.date < b.date; });
    Bars unique;
    for (const Bar& b : bars) {
        if (!unique.empty() && unique.back().date == b.date) {
            unique.back() = b;
            note(notes, b.date, QStringLiteral("%1: date repeated, last row kept").arg(tag));
        } else {
            unique.push_back(b);
        }
    }
    bars.swap(unique);
}

bool requireColumns(const Table& t, const QStringList& names, const QString& tag, Notes* notes) {
    for (const QString& n : names) {
        if (t.column(n) < 0) {
            note(notes, {}, QStringLiteral("%1: no column %2").arg(tag, n));
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<double> parseNumber(QStringView text) {
    const QStringView t = text.trimmed();
    if (t.isEmpty() || t == u".") return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

Bars parseContinuous(const QString& text, const QString& tag, Notes* notes) {
    const Table t = splitTable(text);
    Bars bars;
    if (!requireColumns(t, {"Date", "Open", "High", "Low", "Settle"}, tag, notes)) return bars;
    const int cDate = t.column("Date"), cOpen = t.column("Open"), cHigh = t.column("High"), cLow = t.column("Low"),
              cSettle = t.column("Settle"), cVol = t.column("Volume"), cOi = t.column("Open Interest");
    for (const QStringList& row : t.rows) {
        Bar b;
        b.date = QDate::fromString(field(row, cDate), Qt::ISODate);
        const auto settle = positive(field(row, cSettle));
        if (!b.date.isValid() || !settle) {
            note(notes, b.date, QStringLiteral("%1: row without a date or settle dropped").arg(tag));
            continue;
        }
        b.close = *settle;
        const auto o = positive(field(row, cOpen)), h = positive(field(row, cHigh)), l = positive(field(row, cLow));
        if (!o || !h || !l)
            note(notes, b.date, QStringLiteral("%1: missing open/high/low taken from the settle").arg(tag));
        b.open = o.value_or(b.close);
        b.high = h.value_or(b.close);
        b.low = l.value_or(b.close);
        // A settle outside a day's partly missing range still bounds it.
        b.high = std::max({b.high, b.open, b.close});
        b.low = std::min({b.low, b.open, b.close});
        b.volume = wholeNumber(field(row, cVol));
        b.openInterest = wholeNumber(field(row, cOi));
        b.source = tag;
        bars.push_back(b);
    }
    sortUnique(bars, tag, notes);
    return bars;
}

void assignCrudeContracts(Bars& bars) {
    if (bars.empty()) return;
    std::set<QDate> business;
    for (const Bar& b : bars) business.insert(b.date);
    const QDate first = bars.front().date;
    for (QDate d = QDate(first.year(), first.month(), 1).addMonths(-1); d < first; d = d.addDays(1))
        if (d.dayOfWeek() <= 5) business.insert(d);

    QHash<int, QDate> expiries;
    auto expiry = [&](int year, int month) {
        const int key = year * 100 + month;
        if (auto it = expiries.find(key); it != expiries.end()) return *it;
        const QDate the25th(year, month, 25);
        std::vector<QDate> before;
        for (auto it = business.lower_bound(QDate(year, month, 1)); it != business.end() && *it < the25th; ++it)
            before.push_back(*it);
        const size_t back = business.count(the25th) ? 3 : 4;
        const QDate e = before.size() >= back ? before[before.size() - back] : QDate(year, month, 1);
        expiries.insert(key, e);
        return e;
    };
    for (Bar& b : bars) {
        const QDate e = expiry(b.date.year(), b.date.month());
        const int ahead = b.date <= e ? 1 : 2;
        b.contract = monthId(QDate(b.date.year(), b.date.month(), 1).addMonths(ahead));
    }
}

Bars parseQuantiacs(const QString& text, double divisor, const QString& tag, Notes* notes) {
    const Table t = splitTable(text);
    Bars bars;
    if (!requireColumns(t, {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI", "P"}, tag, notes)) return bars;
    const int cDate = t.column("DATE"), cOpen = t.column("OPEN"), cHigh = t.column("HIGH"), cLow = t.column("LOW"),
              cClose = t.column("CLOSE"), cVol = t.column("VOL"), cOi = t.column("OI"), cRoll = t.column("P");

    std::vector<int> rollTo; // per row: contract YYYYMM rolled into after it, or 0
    for (const QStringList& row : t.rows) {
        Bar b;
        b.date = QDate::fromString(field(row, cDate), QStringLiteral("yyyyMMdd"));
        const auto c = positive(field(row, cClose));
        if (!b.date.isValid() || !c) {
            note(notes, b.date, QStringLiteral("%1: row without a date or close dropped").arg(tag));
            continue;
        }
        b.close = *c / divisor;
        b.open = positive(field(row, cOpen)).value_or(*c) / divisor;
        b.high = std::max({positive(field(row, cHigh)).value_or(*c) / divisor, b.open, b.close});
        b.low = std::min({positive(field(row, cLow)).value_or(*c) / divisor, b.open, b.close});
        b.volume = wholeNumber(field(row, cVol));
        b.openInterest = wholeNumber(field(row, cOi));
        b.source = tag;
        bars.push_back(b);
        rollTo.push_back(static_cast<int>(wholeNumber(field(row, cRoll))));
    }
    if (bars.empty()) return bars;
    // The file is ascending; checked rather than sorted, since the roll flags
    // only make sense in file order.
    for (size_t i = 1; i < bars.size(); ++i) {
        if (bars[i].date <= bars[i - 1].date) {
            note(notes, {},
                 QStringLiteral("%1: dates out of order at %2").arg(tag, bars[i].date.toString(Qt::ISODate)));
            return {};
        }
    }

    std::vector<size_t> flags;
    std::set<int> cycle; // delivery months the file rolls through
    for (size_t i = 0; i < bars.size(); ++i) {
        if (rollTo[i] > 0) {
            flags.push_back(i);
            cycle.insert(rollTo[i] % 100);
        }
    }
    auto previousInCycle = [&](int contract) {
        const int year = contract / 100, month = contract % 100;
        auto it = cycle.find(month);
        if (it == cycle.begin()) return (year - 1) * 100 + *cycle.rbegin();
        return year * 100 + *std::prev(it);
    };

    if (flags.empty()) {
        note(notes, {}, QStringLiteral("%1: no roll flags, contract left empty").arg(tag));
        return bars;
    }
    // Where two successive flags name the same contract, the first names one
    // delivery month too far: the rows between them carry the prices of the
    // intermediate contract, and so does the first flagged row itself (as the
    // settlement files show wherever they hold the contracts concerned).
    std::set<size_t> rollsBeforeRow;
    for (size_t k = 0; k + 1 < flags.size(); ++k) {
        if (rollTo[flags[k]] == rollTo[flags[k + 1]]) {
            const int corrected = previousInCycle(rollTo[flags[k + 1]]);
            note(notes, bars[flags[k]].date,
                 QStringLiteral("%1: roll on %2 names %3, as does the next; taken as %4 from that row")
                     .arg(tag, bars[flags[k]].date.toString(Qt::ISODate))
                     .arg(rollTo[flags[k]])
                     .arg(corrected));
            rollTo[flags[k]] = corrected;
            rollsBeforeRow.insert(flags[k]);
        }
    }
    int current = previousInCycle(rollTo[flags.front()]);
    for (size_t i = 0; i < bars.size(); ++i) {
        if (rollTo[i] > 0 && rollsBeforeRow.count(i)) current = rollTo[i];
        bars[i].contract = QString::number(current);
        if (rollTo[i] > 0) current = rollTo[i];
    }
    return bars;
}

Bars parseSettlement(const QString& text, const QString& fileName, Notes* notes) {
    const Table t = splitTable(text);
    Bars bars;
    if (!requireColumns(t, {"DATETIME", "PRICE", "PRICE_CONTRACT", "CARRY", "CARRY_CONTRACT"}, fileName, notes))
        return bars;
    struct Column {
        int price;
        int contract;
        QString tag;
    };
    const Column columns[] = {
        {t.column("PRICE"), t.column("PRICE_CONTRACT"), fileName + QStringLiteral(":PRICE")},
        {t.column("CARRY"), t.column("CARRY_CONTRACT"), fileName + QStringLiteral(":CARRY")},
    };
    const int cDate = t.column("DATETIME");
    for (const QStringList& row : t.rows) {
        const QDate date = QDate::fromString(field(row, cDate).left(10), Qt::ISODate);
        const Column* best = nullptr;
        qint64 bestContract = 0;
        double bestPrice = 0;
        for (const Column& c : columns) {
            const auto price = positive(field(row, c.price));
            const auto contract = parseNumber(field(row, c.contract));
            if (!price || !contract || *contract <= 0) continue;
            const auto id = static_cast<qint64>(*contract);
            if (!best || id < bestContract) {
                best = &c;
                bestContract = id;
                bestPrice = *price;
            }
        }
        if (!date.isValid() || !best) {
            note(notes, date, QStringLiteral("%1: row without a price dropped").arg(fileName));
            continue;
        }
        Bar b;
        b.date = date;
        b.open = b.high = b.low = b.close = bestPrice;
        // Contract ids are written YYYYMMDD with day 00.
        b.contract = QString::number(bestContract >= 1000000 ? bestContract / 100 : bestContract);
        b.source = best->tag;
        bars.push_back(b);
    }
    sortUnique(bars, fileName, notes);
    return bars;
}

void replaceFilledRows(Bars& primary, const Bars& backup, Notes* notes) {
    QMap<QDate, const Bar*> byDate;
    for (const Bar& b : backup) byDate.insert(b.date, &b);
    for (size_t i = 1; i < primary.size(); ++i) {
        Bar& b = primary[i];
        const bool flat = b.open == b.close && b.high == b.close && b.low == b.close;
        if (b.volume != 0 || !flat || b.close != primary[i - 1].close) continue;
        const Bar* other = byDate.value(b.date, nullptr);
        const QString day = b.date.toString(Qt::ISODate);
        if (other && other->contract == b.contract) {
            note(notes, b.date,
                 QStringLiteral("%1 %2: filled-in row (no volume, previous close) replaced from %3")
                     .arg(b.source, day, other->source));
            b = *other;
        } else {
            note(notes, b.date,
                 QStringLiteral("%1 %2: filled-in row kept, no same-contract row to replace it").arg(b.source, day));
        }
    }
}

void fillGaps(Bars& primary, const Bars& backup, Notes* notes) {
    if (primary.empty()) return;
    Bars added;
    for (const Bar& b : backup) {
        auto next =
            std::lower_bound(primary.begin(), primary.end(), b.date, [](const Bar& p, QDate d) { return p.date < d; });
        if (next == primary.begin() || next == primary.end() || next->date == b.date) continue;
        const Bar& before = *std::prev(next);
        if (before.contract != b.contract || next->contract != b.contract) continue;
        note(notes, b.date,
             QStringLiteral("%1 %2: missing day taken from %3")
                 .arg(before.source, b.date.toString(Qt::ISODate), b.source));
        added.push_back(b);
    }
    primary.insert(primary.end(), added.begin(), added.end());
    std::stable_sort(primary.begin(), primary.end(), [](const Bar& a, const Bar& b) { return a.date < b.date; });
}

int snapToGrid(Bars& bars, double step, double tolerance, Notes* notes) {
    int moved = 0;
    for (Bar& b : bars) {
        for (double* v : {&b.open, &b.high, &b.low, &b.close}) {
            const double q = std::round(*v / step) * step;
            if (std::abs(q - *v) <= tolerance) {
                // Binary noise of a price already on the grid does not count.
                if (std::abs(q - *v) > 1e-9) ++moved;
                *v = q;
            } else {
                note(notes, b.date,
                     QStringLiteral("%1: price %2 off the 1/%3 grid kept as published")
                         .arg(b.source, formatNumber(*v))
                         .arg(std::lround(1.0 / step)));
            }
        }
    }
    return moved;
}

void readEighths(Bars& bars, double step, Notes* notes) {
    auto onGrid = [step](double v) { return std::abs(v / step - std::round(v / step)) < 1e-6; };
    for (Bar& b : bars) {
        for (double* v : {&b.open, &b.high, &b.low, &b.close}) {
            if (onGrid(*v)) continue;
            const double whole = std::floor(*v);
            const double tenths = (*v - whole) * 10;
            const long digit = std::lround(tenths);
            if (std::abs(tenths - double(digit)) > 1e-6 || digit < 1 || digit > 7) continue;
            const double eighths = whole + double(digit) / 8;
            if (!onGrid(eighths)) continue;
            note(notes, b.date,
                 QStringLiteral("%1 %2: price %3 read as cents and eighths, %4")
                     .arg(b.source, b.date.toString(Qt::ISODate), formatNumber(*v), formatNumber(eighths)));
            *v = eighths;
        }
    }
}

Bars between(const Bars& bars, QDate first, QDate last) {
    Bars out;
    for (const Bar& b : bars)
        if (b.date >= first && b.date <= last) out.push_back(b);
    return out;
}

void retagFrom(Bars& bars, QDate from, const QString& tag) {
    for (Bar& b : bars)
        if (b.date >= from) b.source = tag;
}

QString formatNumber(double value) {
    QString s = QString::number(value, 'f', 6);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s;
}

QString toCsv(const Bars& bars) {
    QString out = QStringLiteral("date,open,high,low,close,volume,open_interest,contract,source\n");
    for (const Bar& b : bars) {
        out += b.date.toString(Qt::ISODate) + QLatin1Char(',') + formatNumber(b.open) + QLatin1Char(',') +
               formatNumber(b.high) + QLatin1Char(',') + formatNumber(b.low) + QLatin1Char(',') +
               formatNumber(b.close) + QLatin1Char(',') + QString::number(b.volume) + QLatin1Char(',') +
               QString::number(b.openInterest) + QLatin1Char(',') + b.contract + QLatin1Char(',') + b.source +
               QLatin1Char('\n');
    }
    return out;
}

namespace {

bool readText(const QString& path, QString* text, Notes* notes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        note(notes, {}, QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
        return false;
    }
    *text = QString::fromUtf8(f.readAll());
    return true;
}

} // namespace

bool convertAll(const QString& rawDir, const QString& outDir, Notes* notes) {
    const QDir raw(rawDir);
    auto read = [&](const QString& name, QString* text) { return readText(raw.filePath(name), text, notes); };
    // Parsers note things across whole files; only what falls inside the part
    // of a file that is used is worth reporting.
    auto keepNotes = [&](Notes&& scratch, QDate from, QDate to) {
        for (Note& n : scratch)
            if (!n.date.isValid() || (n.date >= from && n.date <= to)) note(notes, n.date, n.text);
    };

    const QDate first(1983, 1, 1), last(1997, 12, 31);
    // From 1990 the Quantiacs files give real open/high/low; before it only
    // settlements survive for every market but crude.
    const QDate ohlcFrom(1990, 1, 1), settlementTo(1989, 12, 31);

    struct Source {
        const char* market;
        const char* settlementFile;
        const char* quantiacsFile;
        double divisor;
    };
    const Source others[] = {
        {"Gold", "GOLD.csv", "F_GC.txt", 100},     {"TBond", "US20.csv", "F_US.txt", 1000},
        {"SP500", "SP500.csv", "F_ES.txt", 50},    {"Cattle", "LIVECOW.csv", "F_LC.txt", 400},
        {"Soybean", "SOYBEAN.csv", "F_S.txt", 50},
    };

    QMap<QString, Bars> markets;

    QString cl1Text, fclText;
    if (!read("CHRIS-CME_CL1.csv", &cl1Text) || !read("F_CL.txt", &fclText)) return false;
    Notes scratch;
    Bars oil = parseContinuous(cl1Text, QStringLiteral("CL1"), &scratch);
    assignCrudeContracts(oil);
    oil = between(oil, first, last);
    // Crude's own front-month file agrees with CL1 to the cent wherever both
    // hold the same contract; it mends CL1's few filled-in and missing days.
    const Bars fcl = parseQuantiacs(fclText, 1000, QStringLiteral("F_CL"), nullptr);
    replaceFilledRows(oil, fcl, &scratch);
    fillGaps(oil, fcl, &scratch);
    keepNotes(std::move(scratch), first, last);
    markets.insert(QStringLiteral("Oil"), oil);

    for (const Source& s : others) {
        QString settleText, ohlcText;
        if (!read(s.settlementFile, &settleText) || !read(s.quantiacsFile, &ohlcText)) return false;
        const QString tag = QString::fromLatin1(s.quantiacsFile).section(QLatin1Char('.'), 0, 0);
        Notes early, late;
        Bars bars =
            between(parseSettlement(settleText, QString::fromLatin1(s.settlementFile), &early), first, settlementTo);
        const Bars ohlc = between(parseQuantiacs(ohlcText, s.divisor, tag, &late), ohlcFrom, last);
        bars.insert(bars.end(), ohlc.begin(), ohlc.end());
        keepNotes(std::move(early), first, settlementTo);
        keepNotes(std::move(late), ohlcFrom, last);
        markets.insert(QString::fromLatin1(s.market), bars);
    }
    // Treasury bond futures trade in 32nds (half 32nds at times); the raw files
    // round them to six significant digits (three decimals above 100), which
    // the tick encoding cannot express. A 64th is 0.0156, so a tolerance of
    // 0.001 restores the fraction without ever choosing between two of them.
    const int bondFractions = snapToGrid(markets[QStringLiteral("TBond")], 1.0 / 64, 0.001, notes);
    note(notes, {}, QStringLiteral("TBond: %1 prices restored to their 32nds").arg(bondFractions));
    // Live cattle trade in 0.025 cents a pound. The settlement file writes
    // most prices of 1983-1989 with two decimals, and F_LC does the same from
    // 1997-11-28 (60.425 reads 60.42, 60.675 60.67, 60.875 60.88). Such a text
    // lies within 0.005 of one grid point and at least 0.02 from the next, so
    // the snap cannot pick the wrong tick.
    const int cattleTicks = snapToGrid(markets[QStringLiteral("Cattle")], 0.025, 0.005 + 1e-9, notes);
    note(notes, {}, QStringLiteral("Cattle: %1 two-decimal prices restored to the 0.025-cent grid").arg(cattleTicks));
    // Soybeans trade in quarter cents; F_S has one close (1996-01-05, 753.6)
    // copied from a cents-and-eighths quote.
    readEighths(markets[QStringLiteral("Soybean")], 0.25, notes);
    // The other grids (crude 1 cent, gold 10 cents, the S&P 0.05 point) hold
    // in the raw files as published; these only report a price that leaves
    // them. (The E-mini's quarter points lie on the S&P grid; the database
    // tests hold them to quarters.)
    snapToGrid(markets[QStringLiteral("Soybean")], 0.25, 1e-9, notes);
    snapToGrid(markets[QStringLiteral("Oil")], 0.01, 1e-9, notes);
    snapToGrid(markets[QStringLiteral("Gold")], 0.1, 1e-9, notes);
    snapToGrid(markets[QStringLiteral("SP500")], 0.05, 1e-9, notes);
    // The publisher switched this file to the E-mini contract (same price
    // level, far smaller volume and open interest) from 1997-10-20.
    retagFrom(markets[QStringLiteral("SP500")], QDate(1997, 10, 20), QStringLiteral("F_ES:E-mini"));

    if (!QDir().mkpath(outDir)) {
        note(notes, {}, QStringLiteral("cannot create %1").arg(outDir));
        return false;
    }
    for (auto it = markets.cbegin(); it != markets.cend(); ++it) {
        QFile f(QDir(outDir).filePath(it.key() + QStringLiteral(".csv")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(toCsv(it.value()).toUtf8()) < 0) {
            note(notes, {}, QStringLiteral("cannot write %1: %2").arg(f.fileName(), f.errorString()));
            return false;
        }
        note(notes, {}, QStringLiteral("%1: %2 rows").arg(it.key()).arg(it.value().size()));
    }
    return true;
}

} // namespace pellucar::convert
