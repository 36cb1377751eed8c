#include "mkdb.h"

#include "csv.h"
#include "market/market_data.h"
#include "market/schema.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTime>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

namespace pellucar::mkdb {

const std::array<MarketInfo, 6>& markets() {
    // Times of day at which the game samples each market's six tick periods.
    static const std::array<MarketInfo, 6> table{{
        {1, "Cattle", {"09:00:00", "10:00:00", "10:45:00", "11:20:00", "11:50:00", "12:35:00"}},
        {2, "Gold", {"07:20:00", "08:35:00", "10:05:00", "11:35:00", "12:05:00", "13:45:00"}},
        {3, "Oil", {"08:45:00", "09:30:00", "10:30:00", "11:45:00", "12:45:00", "13:45:00"}},
        {4, "SP500", {"08:30:00", "09:45:00", "11:00:00", "12:15:00", "13:45:00", "14:45:00"}},
        {5, "Soybean", {"09:30:00", "10:15:00", "11:00:00", "11:45:00", "12:30:00", "12:45:00"}},
        {6, "TBond", {"07:20:00", "08:20:00", "09:35:00", "11:20:00", "12:35:00", "13:35:00"}},
    }};
    return table;
}

const MarketInfo* marketByName(const QString& name) {
    for (const MarketInfo& m : markets())
        if (name.trimmed().compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) return &m;
    return nullptr;
}

QString kindOfSource(const QString& tag) {
    return tag.endsWith(QLatin1String(":PRICE")) || tag.endsWith(QLatin1String(":CARRY"))
               ? QStringLiteral("settlement only")
               : QStringLiteral("real OHLC");
}

QString sourceFileOf(const QString& tag) {
    if (tag == QLatin1String("CL1")) return QStringLiteral("CHRIS-CME_CL1.csv");
    const QString file = tag.section(QLatin1Char(':'), 0, 0), detail = tag.section(QLatin1Char(':'), 1);
    const QString name = file.contains(QLatin1Char('.')) ? file : file + QStringLiteral(".txt");
    if (detail.isEmpty()) return name;
    return kindOfSource(tag) == QLatin1String("settlement only") ? QStringLiteral("%1, %2 column").arg(name, detail)
                                                                 : QStringLiteral("%1 (%2)").arg(name, detail);
}

namespace {

// Stored values are rounded so that the same price always gives the same bits
// whatever arithmetic led to it.
double fixed(double v) { return std::round(v * 1e8) / 1e8; }

} // namespace

double encodeTickPrice(int commodityId, double price) {
    switch (commodityId) {
    case 5: {
        // Cents to dollars; the fraction of a dollar is stored times 0.8, the
        // first decimal then counting eighths as the game reads it.
        const double whole = std::floor(price / 100.0 + 1e-9);
        const double fractionCents = price - whole * 100.0;
        return fixed(whole + fractionCents * 0.008);
    }
    case 6: {
        double whole = std::floor(price + 1e-9);
        double n64 = std::round((price - whole) * 64.0);
        if (n64 >= 64) {
            whole += 1;
            n64 = 0;
        }
        return fixed(whole + n64 / 2.0 / 100.0);
    }
    default: return fixed(price / 10.0);
    }
}

std::array<double, 6> periodPrices(const DailyRow& d) {
    const bool upDay = d.close >= d.open;
    const double first = upDay ? d.low : d.high;
    const double second = upDay ? d.high : d.low;
    return {d.open, first, first, second, second, d.close};
}

namespace {

constexpr int kTickFirstYear = 1996;
constexpr int kTickLastYear = 1997;
constexpr int kOverviewFirstYear = 1983;
constexpr int kOverviewLastYear = 1996;
const char* const kDisclaimerDate = "1965-10-17";

bool readFile(const QString& path, QString* text, QString* error) {
    QFile f(path);
    if (!f.exists()) {
        *error = QStringLiteral("%1 is missing").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    *text = QString::fromUtf8(f.readAll());
    return true;
}

// Reads a CSV file whose first record must name exactly `columns`.
bool readTable(const QString& path, const QStringList& columns, std::vector<CsvRecord>* rows, QString* error) {
    QString text;
    if (!readFile(path, &text, error)) return false;
    QString csvError;
    if (!parseCsv(text, rows, &csvError)) {
        *error = QStringLiteral("%1: %2").arg(path, csvError);
        return false;
    }
    if (rows->empty() || rows->front().fields != columns) {
        *error = QStringLiteral("%1: first line must be %2").arg(path, columns.join(QLatin1Char(',')));
        return false;
    }
    rows->erase(rows->begin());
    for (const CsvRecord& r : *rows) {
        if (r.fields.size() != columns.size()) {
            *error = QStringLiteral("%1 line %2: %3 fields, expected %4")
                         .arg(path)
                         .arg(r.line)
                         .arg(r.fields.size())
                         .arg(columns.size());
            return false;
        }
    }
    return true;
}

bool isIsoDate(const QString& s) { return s.size() == 10 && QDate::fromString(s, Qt::ISODate).isValid(); }

bool readDaily(const QString& path, std::vector<DailyRow>* out, QString* error) {
    std::vector<CsvRecord> rows;
    const QStringList columns{"date", "open", "high", "low", "close", "volume", "open_interest", "contract", "source"};
    if (!readTable(path, columns, &rows, error)) return false;
    out->clear();
    for (const CsvRecord& r : rows) {
        auto fail = [&](const QString& why) {
            *error = QStringLiteral("%1 line %2: %3").arg(path).arg(r.line).arg(why);
            return false;
        };
        DailyRow d;
        d.date = r.fields[0];
        if (!isIsoDate(d.date)) return fail(QStringLiteral("date '%1' is not YYYY-MM-DD").arg(d.date));
        if (!out->empty() && d.date <= out->back().date) return fail(QStringLiteral("dates must ascend"));
        bool ok[6];
        d.open = r.fields[1].toDouble(&ok[0]);
        d.high = r.fields[2].toDouble(&ok[1]);
        d.low = r.fields[3].toDouble(&ok[2]);
        d.close = r.fields[4].toDouble(&ok[3]);
        d.volume = r.fields[5].toLongLong(&ok[4]);
        d.openInterest = r.fields[6].toLongLong(&ok[5]);
        if (std::find(std::begin(ok), std::end(ok), false) != std::end(ok)) return fail(QStringLiteral("not a number"));
        if (d.low <= 0) return fail(QStringLiteral("price not above zero"));
        if (d.low > std::min(d.open, d.close) || d.high < std::max(d.open, d.close))
            return fail(QStringLiteral("open or close outside the day's low-high range"));
        if (d.volume < 0 || d.openInterest < 0) return fail(QStringLiteral("negative volume or open interest"));
        d.contract = r.fields[7];
        d.source = r.fields[8];
        if (d.source.isEmpty()) return fail(QStringLiteral("no source"));
        out->push_back(d);
    }
    if (out->empty()) {
        *error = QStringLiteral("%1 holds no rows").arg(path);
        return false;
    }
    return true;
}

struct Release {
    QString date;
    QString time; // HH:MM:00
    QString title;
    QString story;
};

bool readReleases(const QString& path, std::vector<Release>* out, QString* error) {
    std::vector<CsvRecord> rows;
    if (!readTable(path, {"date", "time", "title", "story"}, &rows, error)) return false;
    for (const CsvRecord& r : rows) {
        auto fail = [&](const QString& why) {
            *error = QStringLiteral("%1 line %2: %3").arg(path).arg(r.line).arg(why);
            return false;
        };
        const QString date = r.fields[0].trimmed(), time = r.fields[1].trimmed();
        if (!isIsoDate(date)) return fail(QStringLiteral("date '%1' is not YYYY-MM-DD").arg(date));
        if (time.size() != 5 || !QTime::fromString(time, QStringLiteral("HH:mm")).isValid())
            return fail(QStringLiteral("time '%1' is not HH:MM").arg(time));
        if (r.fields[2].trimmed().isEmpty() || r.fields[3].trimmed().isEmpty())
            return fail(QStringLiteral("empty title or story"));
        out->push_back({date, time + QStringLiteral(":00"), r.fields[2].trimmed(), r.fields[3].trimmed()});
    }
    if (out->empty()) {
        *error = QStringLiteral("%1 holds no releases").arg(path);
        return false;
    }
    std::stable_sort(out->begin(), out->end(), [](const Release& a, const Release& b) {
        return std::tie(a.date, a.time) < std::tie(b.date, b.time);
    });
    return true;
}

using Paragraphs = std::map<std::pair<int, int>, QString>; // (year, id) -> text

bool readParagraphs(const QString& path, Paragraphs* out, QString* error) {
    std::vector<CsvRecord> rows;
    if (!readTable(path, {"year", "market", "text"}, &rows, error)) return false;
    for (const CsvRecord& r : rows) {
        auto fail = [&](const QString& why) {
            *error = QStringLiteral("%1 line %2: %3").arg(path).arg(r.line).arg(why);
            return false;
        };
        bool ok = false;
        const int year = r.fields[0].trimmed().toInt(&ok);
        if (!ok || year < kOverviewFirstYear || year > kOverviewLastYear)
            return fail(QStringLiteral("year '%1' outside %2-%3")
                            .arg(r.fields[0])
                            .arg(kOverviewFirstYear)
                            .arg(kOverviewLastYear));
        const MarketInfo* m = marketByName(r.fields[1]);
        if (!m) return fail(QStringLiteral("unknown market '%1'").arg(r.fields[1]));
        const QString text = r.fields[2].trimmed();
        if (text.isEmpty()) return fail(QStringLiteral("empty text"));
        if (!out->emplace(std::make_pair(year, m->id), text).second)
            return fail(QStringLiteral("second paragraph for %1 %2").arg(QLatin1String(m->name)).arg(year));
    }
    return true;
}

// Trades between two calls of the progress callback.
constexpr qint64 kProgressEvery = 1000000;

// One imported trade, as small as it can be held: a file of millions is
// read into these, not into its text.
struct Trade {
    quint32 day = 0;     // YYYYMMDD
    quint32 seconds = 0; // of the day
    quint32 line = 0;
    quint8 id = 0;
    double price = 0;
    // Market, day and time; trades of the same second keep the file's order.
    bool operator<(const Trade& o) const {
        return std::tie(id, day, seconds, line) < std::tie(o.id, o.day, o.seconds, o.line);
    }
};

// The digits of `text` from `at`, `count` of them; -1 if any is not a digit.
int digits(const QString& text, int at, int count) {
    int v = 0;
    for (int i = at; i < at + count; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

// "YYYY-MM-DD HH:MM:SS" (a 'T' for the blank and no seconds allowed) as a
// day and a second of it; false unless it is a real date and time.
bool readDateTime(QString when, quint32* day, quint32* seconds) {
    when = when.trimmed();
    if (when.size() > 10 && when[10] == QLatin1Char('T')) when[10] = QLatin1Char(' ');
    if (when.size() == 16) when += QStringLiteral(":00");
    if (when.size() != 19) return false;
    for (const auto& [at, c] : {std::pair{4, '-'}, {7, '-'}, {10, ' '}, {13, ':'}, {16, ':'}})
        if (when[at] != QLatin1Char(c)) return false;
    const int y = digits(when, 0, 4), mo = digits(when, 5, 2), d = digits(when, 8, 2);
    const int h = digits(when, 11, 2), mi = digits(when, 14, 2), s = digits(when, 17, 2);
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || s < 0 || !QDate::isValid(y, mo, d) || !QTime::isValid(h, mi, s))
        return false;
    *day = static_cast<quint32>(y * 10000 + mo * 100 + d);
    *seconds = static_cast<quint32>(h * 3600 + mi * 60 + s);
    return true;
}

quint32 dayNumber(const QString& isoDate) {
    return static_cast<quint32>(digits(isoDate, 0, 4) * 10000 + digits(isoDate, 5, 2) * 100 + digits(isoDate, 8, 2));
}

// The stored text of a trade's time: "YYYY-MM-DD HH:MM:SS".
std::array<char, 20> dateTimeText(const Trade& t) {
    std::array<char, 20> text{};
    const auto put = [&](int at, quint32 value, int width) {
        for (int k = at + width - 1; k >= at; --k, value /= 10)
            text[static_cast<size_t>(k)] = static_cast<char>('0' + value % 10);
    };
    put(0, t.day / 10000, 4);
    put(5, t.day / 100 % 100, 2);
    put(8, t.day % 100, 2);
    put(11, t.seconds / 3600, 2);
    put(14, t.seconds / 60 % 60, 2);
    put(17, t.seconds % 60, 2);
    text[4] = text[7] = '-';
    text[10] = ' ';
    text[13] = text[16] = ':';
    return text;
}

// The plain readings of a trade's fields, in bytes, as a trades file
// commonly writes them: a name in ASCII letters, "YYYY-MM-DD HH:MM[:SS]" and
// a decimal price. A field they do not read is read as text by the readers
// above, which have the last word; they never accept what those refuse.
const MarketInfo* plainMarket(QByteArrayView name) {
    for (const MarketInfo& m : markets()) {
        const QByteArrayView known(m.name);
        if (name.size() != known.size()) continue;
        bool same = true;
        for (qsizetype i = 0; same && i < name.size(); ++i) {
            const char k = known[i];
            const bool letter = (k | 0x20) >= 'a' && (k | 0x20) <= 'z';
            same = letter ? (name[i] | 0x20) == (k | 0x20) : name[i] == k;
        }
        if (same) return &m;
    }
    return nullptr;
}

bool plainDateTime(QByteArrayView w, quint32* day, quint32* seconds) {
    if (w.size() != 19 && w.size() != 16) return false;
    const auto num = [&](int at, int count) {
        int v = 0;
        for (int i = at; i < at + count; ++i) {
            if (w[i] < '0' || w[i] > '9') return -1;
            v = v * 10 + (w[i] - '0');
        }
        return v;
    };
    if (w[4] != '-' || w[7] != '-' || (w[10] != ' ' && w[10] != 'T') || w[13] != ':') return false;
    if (w.size() == 19 && w[16] != ':') return false;
    const int y = num(0, 4), mo = num(5, 2), d = num(8, 2), h = num(11, 2), mi = num(14, 2);
    const int s = w.size() == 19 ? num(17, 2) : 0;
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || s < 0 || !QDate::isValid(y, mo, d) || !QTime::isValid(h, mi, s))
        return false;
    *day = static_cast<quint32>(y * 10000 + mo * 100 + d);
    *seconds = static_cast<quint32>(h * 3600 + mi * 60 + s);
    return true;
}

bool plainPrice(QByteArrayView p, double* price) {
    // Digits with at most one point between digits; nothing else.
    qsizetype point = -1;
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (p[i] == '.' && point < 0 && i > 0 && i + 1 < p.size()) point = i;
        else if (p[i] < '0' || p[i] > '9') return false;
    }
    if (p.isEmpty() || p.size() > 32) return false;
    const auto [end, ec] = std::from_chars(p.data(), p.data() + p.size(), *price);
    return ec == std::errc() && end == p.data() + p.size() && *price > 0;
}

// Reads the trades file a record at a time and hands each trade, checked,
// to `take`; nothing of the file is kept here.
bool readTrades(const QString& path, const Progress& progress, const std::function<bool(const Trade&)>& take,
                QString* error) {
    QFile f(path);
    if (!f.exists()) {
        *error = QStringLiteral("%1 is missing").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    const QStringList columns{"market", "datetime", "price"};
    CsvReader reader(&f);
    CsvRecord header;
    if (!reader.next(&header) || header.fields != columns) {
        *error = reader.error().isEmpty()
                     ? QStringLiteral("%1: first line must be %2").arg(path, columns.join(QLatin1Char(',')))
                     : QStringLiteral("%1: %2").arg(path, reader.error());
        return false;
    }
    qint64 read = 0;
    CsvFields r;
    while (reader.next(&r)) {
        auto fail = [&](const QString& why) {
            *error = QStringLiteral("%1 line %2: %3").arg(path).arg(r.line).arg(why);
            return false;
        };
        if (r.size() != columns.size())
            return fail(QStringLiteral("%1 fields, expected %2").arg(r.size()).arg(columns.size()));
        const MarketInfo* m = plainMarket(r.field(0));
        if (!m && !(m = marketByName(r.text(0)))) return fail(QStringLiteral("unknown market '%1'").arg(r.text(0)));
        Trade t;
        if (!plainDateTime(r.field(1), &t.day, &t.seconds) && !readDateTime(r.text(1), &t.day, &t.seconds))
            return fail(QStringLiteral("datetime '%1' is not YYYY-MM-DD HH:MM[:SS]").arg(r.text(1)));
        if (!plainPrice(r.field(2), &t.price)) {
            bool ok = false;
            t.price = r.text(2).trimmed().toDouble(&ok);
            if (!ok || !(t.price > 0))
                return fail(QStringLiteral("price '%1' is not a positive number").arg(r.text(2)));
        }
        t.id = static_cast<quint8>(m->id);
        t.line = static_cast<quint32>(r.line);
        if (!take(t)) return false;
        if (progress && ++read % kProgressEvery == 0) progress("read", read);
    }
    if (!reader.error().isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(path, reader.error());
        return false;
    }
    return true;
}

// ---- SQLite ----

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

class Writer {
public:
    explicit Writer(sqlite3* db) : db_(db) {}

    bool exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            error_ = QString::fromUtf8(message ? message : sqlite3_errmsg(db_));
            sqlite3_free(message);
            return false;
        }
        return true;
    }

    Stmt prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        return Stmt(s);
    }

    // Binds the values in order, runs the statement once and resets it.
    template <typename... Values> bool insert(sqlite3_stmt* s, const Values&... values) {
        [[maybe_unused]] int index = 0;
        (bind(s, ++index, values), ...);
        // Every value is bound again before the next run: no bindings to clear.
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        if (rc != SQLITE_DONE) {
            error_ = QString::fromUtf8(sqlite3_errmsg(db_));
            return false;
        }
        return true;
    }

    const QString& error() const { return error_; }

private:
    static void bind(sqlite3_stmt* s, int i, int v) { sqlite3_bind_int(s, i, v); }
    static void bind(sqlite3_stmt* s, int i, qint64 v) { sqlite3_bind_int64(s, i, v); }
    static void bind(sqlite3_stmt* s, int i, double v) { sqlite3_bind_double(s, i, v); }
    // The text outlives the statement's run (insert() binds, runs and resets
    // while its arguments live): SQLite need not copy it.
    static void bind(sqlite3_stmt* s, int i, const char* v) { sqlite3_bind_text(s, i, v, -1, SQLITE_STATIC); }
    static void bind(sqlite3_stmt* s, int i, const QString& v) {
        const QByteArray utf8 = v.toUtf8();
        sqlite3_bind_text(s, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }

    sqlite3* db_;
    QString error_;
};

// The imported trades, kept on disk as they are read, one file a market, and
// handed back in market, day and time order (trades of the same second in
// the file's order): a file of millions of trades is never held in memory,
// whole or sorted. A record of trades commonly lists each market's trades in
// time order; its files are then read back as they are. Any other order is
// sorted by SQLite's sorter, which spills to disk as well.
class TradeStage {
public:
    // False, with the reason, when the staging files cannot be made.
    bool open(QString* error) {
        for (auto& file : spill_) {
            file = std::make_unique<QTemporaryFile>();
            if (!file->open()) {
                *error = QStringLiteral("staging the trades: %1").arg(file->errorString());
                return false;
            }
        }
        return true;
    }
    bool add(const Trade& t, QString* error) {
        const size_t m = t.id - 1u;
        const Spilled row{t.day, t.seconds, t.price};
        if (std::tie(row.day, row.seconds) < std::tie(last_[m].day, last_[m].seconds)) inOrder_ = false;
        last_[m] = row;
        held_[m].push_back(row);
        return held_[m].size() < kBlock || writeHeld(m, error);
    }
    // Ends the staging and steps to the first trade in order.
    bool rewind(QString* error) {
        for (size_t m = 0; m < spill_.size(); ++m) {
            if (!writeHeld(m, error)) return false;
            held_[m] = {};
            if (!spill_[m]->flush() || !spill_[m]->seek(0)) {
                *error = QStringLiteral("staging the trades: %1").arg(spill_[m]->errorString());
                return false;
            }
        }
        if (!inOrder_ && !sortInSqlite(error)) return false;
        return next(error);
    }
    // The trade the cursor stands on, while there is one.
    bool atEnd() const { return !current_; }
    const Trade& current() const { return *current_; }
    bool next(QString* error) { return read_ ? nextSorted(error) : nextSpilled(error); }

    // Lets go of the staging files and their memory once the trades are written.
    void close() {
        read_.reset();
        w_.reset();
        db_.reset();
        for (auto& file : spill_) file.reset();
        readBlock_ = {};
    }

private:
    struct Spilled {
        quint32 day = 0, seconds = 0;
        double price = 0;
    };

    // Rows go to and come from the files a block at a time: a call of the
    // file's machinery a trade would cost more than the trade's own work.
    static constexpr size_t kBlock = 4096;

    bool writeHeld(size_t m, QString* error) {
        const qint64 bytes = static_cast<qint64>(held_[m].size() * sizeof(Spilled));
        const bool written = spill_[m]->write(reinterpret_cast<const char*>(held_[m].data()), bytes) == bytes;
        held_[m].clear();
        if (!written) *error = QStringLiteral("staging the trades: %1").arg(spill_[m]->errorString());
        return written;
    }

    bool nextSpilled(QString* error) {
        while (readAt_ == readBlock_.size() && market_ < spill_.size()) {
            readBlock_.resize(kBlock);
            const qint64 got =
                spill_[market_]->read(reinterpret_cast<char*>(readBlock_.data()), kBlock * sizeof(Spilled));
            if (got < 0 || got % static_cast<qint64>(sizeof(Spilled)) != 0) {
                *error = QStringLiteral("staging the trades: %1").arg(spill_[market_]->errorString());
                return false;
            }
            readBlock_.resize(static_cast<size_t>(got) / sizeof(Spilled));
            readAt_ = 0;
            if (readBlock_.empty()) ++market_;
        }
        if (readAt_ == readBlock_.size()) {
            current_.reset();
            return true;
        }
        const Spilled& row = readBlock_[readAt_++];
        current_ = Trade{row.day, row.seconds, 0, static_cast<quint8>(market_ + 1), row.price};
        return true;
    }

    // Every spilled trade into a private SQLite file, read back sorted.
    bool sortInSqlite(QString* error) {
        sqlite3* raw = nullptr;
        // An empty name is a file of this connection's own, removed when it closes.
        const bool opened = sqlite3_open_v2("", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                            nullptr) == SQLITE_OK;
        db_.reset(raw);
        w_ = std::make_unique<Writer>(raw);
        // A small page cache and the sorter's runs on disk bound the memory.
        Stmt insert;
        if (!opened ||
            !w_->exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA temp_store=FILE; "
                      "PRAGMA cache_size=-2048; "
                      "CREATE TABLE Trades (CommodityID INTEGER, Day INTEGER, Seconds INTEGER, Price REAL); "
                      "BEGIN") ||
            !(insert = w_->prepare("INSERT INTO Trades VALUES (?, ?, ?, ?)")))
            return failed(error);
        for (;;) {
            if (!nextSpilled(error)) return false;
            if (atEnd()) break;
            const Trade& t = *current_;
            if (!w_->insert(insert.get(), static_cast<int>(t.id), static_cast<qint64>(t.day),
                            static_cast<qint64>(t.seconds), t.price))
                return failed(error);
        }
        insert.reset();
        if (!w_->exec("COMMIT") || !(read_ = w_->prepare("SELECT CommodityID, Day, Seconds, Price FROM Trades "
                                                         "ORDER BY CommodityID, Day, Seconds, rowid")))
            return failed(error);
        return true;
    }

    bool nextSorted(QString* error) {
        const int rc = sqlite3_step(read_.get());
        if (rc == SQLITE_DONE) {
            current_.reset();
            return true;
        }
        if (rc != SQLITE_ROW) {
            *error = QStringLiteral("sorting the trades: %1").arg(QString::fromUtf8(sqlite3_errmsg(db_.get())));
            return false;
        }
        Trade t;
        t.id = static_cast<quint8>(sqlite3_column_int(read_.get(), 0));
        t.day = static_cast<quint32>(sqlite3_column_int64(read_.get(), 1));
        t.seconds = static_cast<quint32>(sqlite3_column_int64(read_.get(), 2));
        t.price = sqlite3_column_double(read_.get(), 3);
        current_ = t;
        return true;
    }

    bool failed(QString* error) {
        *error = QStringLiteral("staging the trades: %1")
                     .arg(w_ && !w_->error().isEmpty() ? w_->error() : QString::fromUtf8(sqlite3_errmsg(db_.get())));
        return false;
    }

    std::array<std::unique_ptr<QTemporaryFile>, kMarketCount> spill_;
    std::array<Spilled, kMarketCount> last_{};
    std::array<std::vector<Spilled>, kMarketCount> held_;
    std::vector<Spilled> readBlock_;
    size_t readAt_ = 0;
    bool inOrder_ = true;
    size_t market_ = 0;
    Db db_;
    std::unique_ptr<Writer> w_;
    Stmt read_;
    std::optional<Trade> current_;
};

// The ticks, written a hundred rows to a statement: one run of SQLite's
// statement machinery a row costs more than storing the row. The rows go
// in in the order given, as one statement a row would put them.
class TickRows {
public:
    explicit TickRows(Writer& w) : w_(w) {}
    bool prepare() {
        QByteArray sql = "INSERT INTO TickData (CommodityID, DateTime, realprice) VALUES (?, ?, ?)";
        one_ = w_.prepare(sql.constData());
        for (int i = 1; i < kBatch; ++i) sql += ", (?, ?, ?)";
        batch_ = w_.prepare(sql.constData());
        return one_ && batch_;
    }
    bool add(int id, const char* when, double price) {
        Row& r = rows_[static_cast<size_t>(held_++)];
        r.id = id;
        const size_t n = std::min(std::strlen(when), r.when.size() - 1);
        std::memcpy(r.when.data(), when, n);
        r.when[n] = 0;
        r.price = price;
        return held_ < kBatch || flush();
    }
    // Writes the rows held; true when there were none.
    bool flush() {
        if (held_ == kBatch) {
            for (int i = 0; i < kBatch; ++i) {
                const Row& r = rows_[static_cast<size_t>(i)];
                sqlite3_bind_int(batch_.get(), 3 * i + 1, r.id);
                sqlite3_bind_text(batch_.get(), 3 * i + 2, r.when.data(), -1, SQLITE_STATIC);
                sqlite3_bind_double(batch_.get(), 3 * i + 3, r.price);
            }
            held_ = 0;
            return w_.insert(batch_.get());
        }
        for (int i = 0; i < held_; ++i) {
            const Row& r = rows_[static_cast<size_t>(i)];
            if (!w_.insert(one_.get(), r.id, r.when.data(), r.price)) return false;
        }
        held_ = 0;
        return true;
    }

private:
    static constexpr int kBatch = 100;
    struct Row {
        int id = 0;
        std::array<char, 20> when{}; // "YYYY-MM-DD HH:MM:SS" and its end
        double price = 0;
    };
    Writer& w_;
    Stmt one_, batch_;
    std::array<Row, kBatch> rows_;
    int held_ = 0;
};

struct SourceKey {
    int id;
    int year;
    QString source;
    QString kind;
    bool operator<(const SourceKey& o) const {
        return std::tie(id, year, source, kind) < std::tie(o.id, o.year, o.source, o.kind);
    }
};

} // namespace

bool buildDatabase(const Options& options, Report* report, QString* error) {
    const QDir data(options.dataDir);

    // ---- read and check every input before touching the output ----
    std::map<int, std::vector<DailyRow>> daily;
    for (const MarketInfo& m : markets()) {
        if (!readDaily(data.filePath(QStringLiteral("daily/%1.csv").arg(QLatin1String(m.name))), &daily[m.id], error))
            return false;
    }
    std::vector<Release> releases;
    if (!readReleases(data.filePath(QStringLiteral("news/releases_1996_1997.csv")), &releases, error)) return false;
    Paragraphs paragraphs;
    if (!readParagraphs(data.filePath(QStringLiteral("news/overview_1983_1996.csv")), &paragraphs, error)) return false;
    QString disclaimer;
    if (!readFile(data.filePath(QStringLiteral("news/disclaimer.txt")), &disclaimer, error)) return false;
    disclaimer.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    disclaimer = disclaimer.trimmed();
    if (disclaimer.isEmpty()) {
        *error = QStringLiteral("%1 is empty").arg(data.filePath(QStringLiteral("news/disclaimer.txt")));
        return false;
    }
    // Tick days: every date of 1996-1997 on which any market traded.
    std::set<QString> tickDays;
    for (const auto& [id, rows] : daily)
        for (const DailyRow& d : rows)
            if (d.date.left(4).toInt() >= kTickFirstYear && d.date.left(4).toInt() <= kTickLastYear)
                tickDays.insert(d.date);
    TradeStage imported;
    if (!options.ticksFile.isEmpty()) {
        std::set<quint32> tradingDays;
        for (const QString& day : tickDays) tradingDays.insert(dayNumber(day));
        // A trade off the trading days is told once the whole file has read
        // well, the first of them in market, day and time order.
        std::optional<Trade> offDay;
        // Trades come day after day: the day is looked up when it changes.
        quint32 day = 0;
        bool trading = false;
        const auto take = [&](const Trade& t) {
            if (t.day != day) trading = tradingDays.count(day = t.day) > 0;
            if (!trading && (!offDay || t < *offDay)) offDay = t;
            return imported.add(t, error);
        };
        if (!imported.open(error) || !readTrades(options.ticksFile, options.progress, take, error)) return false;
        if (offDay) {
            *error = QStringLiteral("%1 line %2: %3 is not a trading day of %4-%5")
                         .arg(options.ticksFile)
                         .arg(offDay->line)
                         .arg(QString::fromLatin1(dateTimeText(*offDay).data(), 10))
                         .arg(kTickFirstYear)
                         .arg(kTickLastYear);
            return false;
        }
        if (!imported.rewind(error)) return false;
    }

    // Overview texts, checked for a paragraph before anything is written.
    std::vector<std::tuple<QString, int, QString>> overviews; // date, id, text
    overviews.emplace_back(QString::fromLatin1(kDisclaimerDate), 0, disclaimer);
    for (int year = kOverviewFirstYear; year <= kOverviewLastYear; ++year) {
        for (const MarketInfo& m : markets()) {
            std::vector<DailyRow> rows;
            for (const DailyRow& d : daily[m.id])
                if (d.date.left(4).toInt() == year) rows.push_back(d);
            if (rows.empty()) continue;
            auto p = paragraphs.find({year, m.id});
            if (p == paragraphs.end()) {
                *error = QStringLiteral("%1 has no paragraph for %2 %3")
                             .arg(data.filePath(QStringLiteral("news/overview_1983_1996.csv")), QLatin1String(m.name))
                             .arg(year);
                return false;
            }
            overviews.emplace_back(QStringLiteral("%1-01-01").arg(year), m.id,
                                   yearSummary(m, year, rows) + QStringLiteral("\n\n") + p->second);
        }
    }
    for (const Release& r : releases)
        if (r.date.left(4).toInt() >= kTickFirstYear && r.date.left(4).toInt() <= kTickLastYear &&
            !tickDays.count(r.date))
            report->warnings.append(
                QStringLiteral("release '%1' on %2 falls on no trading day and will never show").arg(r.title, r.date));

    // ---- write ----
    const QString temp = options.output + QStringLiteral(".tmp");
    QFile::remove(temp);
    sqlite3* raw = nullptr;
    // One thread writes the file: its connection takes no lock at every call.
    if (sqlite3_open_v2(QFile::encodeName(temp).constData(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        *error = QStringLiteral("cannot create %1: %2").arg(temp, QString::fromUtf8(sqlite3_errmsg(raw)));
        sqlite3_close(raw);
        return false;
    }
    Db db(raw);
    Writer w(db.get());
    auto failed = [&]() {
        *error = QStringLiteral("writing %1: %2").arg(temp, w.error());
        db.reset();
        QFile::remove(temp);
        return false;
    };
    // A fixed page size and no journal: the file's bytes then depend only on
    // what is inserted, in what order.
    // The stamp lets the game refuse a foreign SQLite file, or one of a newer
    // layout, from the header alone.
    if (!w.exec("PRAGMA page_size=4096; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;") ||
        !w.exec(pellucar::schema::kStampSql) || !w.exec(pellucar::schema::kCreateSql) || !w.exec("BEGIN"))
        return failed();

    std::map<SourceKey, qint64> sources;
    {
        Stmt s = w.prepare("INSERT INTO DailyData (CommodityID, Date, Open, High, Low, Close, OpenInterest, DayVolume, "
                           "Contract, Source) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        if (!s) return failed();
        for (const MarketInfo& m : markets()) {
            for (const DailyRow& d : daily[m.id]) {
                if (!w.insert(s.get(), m.id, d.date, d.open, d.high, d.low, d.close, d.openInterest, d.volume,
                              d.contract, d.source))
                    return failed();
                ++sources[{m.id, d.date.left(4).toInt(), sourceFileOf(d.source), kindOfSource(d.source)}];
            }
        }
    }
    {
        Stmt s = w.prepare("INSERT INTO TickTradeDaysResults (Date) VALUES (?)");
        if (!s) return failed();
        for (const QString& day : tickDays)
            if (!w.insert(s.get(), day)) return failed();
    }
    // The hourly figures, taken by the game's own rule from the ticks as they
    // are written, so that a game reads them and not every trade.
    struct Figure {
        int id;
        QString date;
        int period;
        TickPeriod p;
    };
    std::vector<Figure> figures;
    const QString derivedSource = QStringLiteral("TickData from the day's open/high/low/close in DailyData");
    const QString repeatedSource = QStringLiteral("TickData repeating the previous close (exchange closed that day)");
    const QString importedSource = QStringLiteral("TickData from ") + QFileInfo(options.ticksFile).fileName();
    {
        TickRows ticks(w);
        if (!ticks.prepare()) return failed();
        // The trades come in market and day order, as the rows are written.
        qint64 written = 0;
        for (const MarketInfo& m : markets()) {
            const std::vector<DailyRow>& rows = daily[m.id];
            auto next = rows.begin();
            double previousClose = 0;
            const TickWindows windows(m.id);
            std::array<TickPeriod, kTicksPerDay + 1> hours;
            // Writes one tick and takes it into its day's hours.
            const auto tick = [&](const char* when, int second, double price) {
                const double stored = encodeTickPrice(m.id, price);
                if (windows.holds(second)) windows.take(second, decodeTickPrice(m.id, stored), hours);
                return ticks.add(m.id, when, stored);
            };
            const auto keepHours = [&](const QString& day) {
                for (int k = 1; k <= kTicksPerDay; ++k)
                    if (hours[static_cast<size_t>(k)].seen)
                        figures.push_back({m.id, day, k, hours[static_cast<size_t>(k)]});
            };
            for (const QString& day : tickDays) {
                while (next != rows.end() && next->date < day) previousClose = (next++)->close;
                const int year = day.left(4).toInt();
                const quint32 number = dayNumber(day);
                hours = {};
                const auto onDay = [&] {
                    return !imported.atEnd() && imported.current().id == m.id && imported.current().day == number;
                };
                if (onDay()) {
                    qint64 count = 0;
                    for (; onDay(); ++count) {
                        const Trade& trade = imported.current();
                        if (!tick(dateTimeText(trade).data(), static_cast<int>(trade.seconds), trade.price))
                            return failed();
                        if (!imported.next(error)) {
                            db.reset();
                            QFile::remove(temp);
                            return false;
                        }
                    }
                    keepHours(day);
                    sources[{m.id, year, importedSource, QStringLiteral("real trades")}] += count;
                    written += count;
                    if (options.progress && written / kProgressEvery != (written - count) / kProgressEvery)
                        options.progress("written", written);
                    continue;
                }
                std::array<double, 6> prices;
                const bool traded = next != rows.end() && next->date == day;
                if (traded) {
                    prices = periodPrices(*next);
                } else if (previousClose > 0) {
                    prices.fill(previousClose);
                } else {
                    *error = QStringLiteral("%1 has no price on or before %2").arg(QLatin1String(m.name), day);
                    db.reset();
                    QFile::remove(temp);
                    return false;
                }
                for (int k = 0; k < 6; ++k) {
                    const QByteArray when = day.toLatin1() + ' ' + m.sampleTimes[k];
                    const QTime at = QTime::fromString(QLatin1String(m.sampleTimes[k]), Qt::ISODate);
                    if (!tick(when.constData(), at.msecsSinceStartOfDay() / 1000, prices[k])) return failed();
                }
                keepHours(day);
                sources[{m.id, year, traded ? derivedSource : repeatedSource, QStringLiteral("derived")}] += 6;
            }
        }
        if (!ticks.flush()) return failed();
    }
    imported.close();
    {
        Stmt s = w.prepare("INSERT INTO OverviewNews (Date, CommodityID, News) VALUES (?, ?, ?)");
        if (!s) return failed();
        for (const auto& [date, id, text] : overviews)
            if (!w.insert(s.get(), date, id, text)) return failed();
    }
    {
        Stmt s = w.prepare("INSERT INTO SortedTickNewsReleases (NRDate, NRTime, NRTitle, NRStory) VALUES (?, ?, ?, ?)");
        if (!s) return failed();
        for (const Release& r : releases)
            if (!w.insert(s.get(), r.date, r.time, r.title, r.story)) return failed();
    }
    {
        Stmt s = w.prepare(
            "INSERT INTO DataSources (CommodityID, Market, Year, Source, Kind, Rows) VALUES (?, ?, ?, ?, ?, ?)");
        if (!s) return failed();
        for (const auto& [key, count] : sources) {
            const QString name = QLatin1String(markets()[key.id - 1].name);
            if (!w.insert(s.get(), key.id, name, key.year, key.source, key.kind, count)) return failed();
        }
    }
    if (!w.exec("COMMIT")) return failed();

    std::sort(figures.begin(), figures.end(), [](const Figure& a, const Figure& b) {
        return std::tie(a.id, a.date, a.period) < std::tie(b.id, b.date, b.period);
    });
    if (!w.exec(pellucar::schema::kCreateTickPeriodsSql) || !w.exec("BEGIN")) return failed();
    {
        Stmt s = w.prepare(
            "INSERT INTO TickPeriods (CommodityID, Date, Period, Price, High, Low, Last) VALUES (?, ?, ?, ?, ?, ?, ?)");
        if (!s) return failed();
        for (const Figure& f : figures)
            if (!w.insert(s.get(), f.id, f.date, f.period, f.p.price, f.p.high, f.p.low, f.p.last)) return failed();
    }
    if (!w.exec("COMMIT")) return failed();

    const std::pair<const char*, const char*> counts[] = {
        {"DailyData", "SELECT COUNT(*) FROM DailyData"},
        {"TickTradeDaysResults", "SELECT COUNT(*) FROM TickTradeDaysResults"},
        {"TickData", "SELECT COUNT(*) FROM TickData"},
        {"OverviewNews", "SELECT COUNT(*) FROM OverviewNews"},
        {"SortedTickNewsReleases", "SELECT COUNT(*) FROM SortedTickNewsReleases"},
        {"DataSources", "SELECT COUNT(*) FROM DataSources"},
        {"TickPeriods", "SELECT COUNT(*) FROM TickPeriods"},
    };
    for (const auto& [table, sql] : counts) {
        Stmt s = w.prepare(sql);
        if (s && sqlite3_step(s.get()) == SQLITE_ROW)
            report->rowsPerTable[QString::fromLatin1(table)] = sqlite3_column_int64(s.get(), 0);
    }
    db.reset();

    // rename() replaces the old file in one step, so a reader never sees half a database.
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temp).toStdString(), QFile::encodeName(options.output).toStdString(), ec);
    if (ec) {
        *error = QStringLiteral("cannot rename %1 to %2: %3")
                     .arg(temp, options.output, QString::fromStdString(ec.message()));
        QFile::remove(temp);
        return false;
    }
    return true;
}

} // namespace pellucar::mkdb
