#include "market/database.h"

#include "common/dates.h"
#include "common/market.h"
#include "common/outside_files.h"
#include "common/sqlite_guard.h"
#include "common/sqlite_statement.h"
#include "market/schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace pellucar {
namespace {

using Statement = SqliteStatement;

// No price of these markets comes near a million dollars (or cents); one
// past it is a damaged record, and contracts valued at it would carry the
// account past what a double holds to the cent.
constexpr double kMostPrice = 1e6;

// A stored price the game can use: a finite number within that bound.
bool isPrice(const Statement& st, int col) {
    if (!st.isNumber(col)) return false;
    const double v = st.real(col);
    return std::isfinite(v) && std::fabs(v) <= kMostPrice;
}

// Dates and times are bound as the texts the file stores.
void bindIso(sqlite3_stmt* st, int i, const IsoText& t) { sqlite3_bind_text(st, i, t.text, t.size, SQLITE_TRANSIENT); }
void bindIso(Statement& st, int i, const QDate& d) {
    const IsoText t = isoDateText(d);
    st.bind(i, t.text, t.size);
}
void bindIso(Statement& st, int i, const QTime& time) {
    const IsoText t = isoTimeText(time);
    st.bind(i, t.text, t.size);
}

// The value of n decimal digits at p, or -1 when one of them is no digit.
int digits(const char* p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const unsigned d = static_cast<unsigned char>(p[i]) - '0';
        if (d > 9) return -1;
        v = v * 10 + static_cast<int>(d);
    }
    return v;
}

// The date of a stored 'YYYY-MM-DD' text (anything after it, such as a
// time part, is ignored), read at fixed offsets; invalid when the text is
// not such a date. Stored dates are the exchange's calendar dates, so no
// time zone enters.
QDate isoDate(const char* p, int size) {
    if (!p || size < 10 || p[4] != '-' || p[7] != '-') return {};
    const int y = digits(p, 4), m = digits(p + 5, 2), d = digits(p + 8, 2);
    if (y < 0 || m < 0 || d < 0) return {};
    return QDate(y, m, d);
}

// Seconds after midnight of the 'HH:MM:SS' at p, or -1.
int isoSecondOfDay(const char* p) {
    if (p[2] != ':' || p[5] != ':') return -1;
    const int h = digits(p, 2), m = digits(p + 3, 2), s = digits(p + 6, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return -1;
    return (h * 60 + m) * 60 + s;
}

// Each query the game issues, in the order of Query. The required ones are
// prepared at open, so a database that lacks a table or field is refused
// before the player starts; the optional ones at their first use.
const char* const kQueries[] = {
    "SELECT DISTINCT Date FROM DailyData WHERE Date >= date(?1) AND Date < date(?2) ORDER BY Date",
    "SELECT Date FROM TickTradeDaysResults WHERE date(Date) >= date(?1) AND date(Date) < date(?2) "
    "ORDER BY date(Date)",
    "SELECT OpenInterest, DayVolume, Open, High, Low, Close, Date FROM DailyData "
    "WHERE CommodityID = ?1 AND Date >= date(?2) AND Date < date(?3) ORDER BY Date",
    "SELECT DateTime, realprice FROM TickData "
    "WHERE CommodityID = ?1 AND DateTime >= date(?2) AND DateTime < date(?3) ORDER BY DateTime",
    "SELECT News FROM OverviewNews WHERE date(Date) = date(?1) AND CommodityID = ?2",
    // Optional: a file without hourly figures is read trade by trade.
    "SELECT Date, Period, Price, High, Low, Last FROM TickPeriods "
    "WHERE CommodityID = ?1 AND Date >= date(?2) AND Date < date(?3) ORDER BY Date, Period",
    MarketDatabase::kNewsReleasesOfDaysSql,
};
enum Query { TradingDaysDaily, TradingDaysTick, Daily, Tick, Overview, TickPeriods, NewsReleasesOfDays };
constexpr int kRequiredQueries = Overview + 1;

// Reads one whole number from the file header through a PRAGMA; on failure
// keeps the engine's message.
bool headerValue(sqlite3* db, const char* pragma, int* value, QString* error) {
    Statement st(db, pragma);
    if (!st.ok() || st.step() != SQLITE_ROW) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    *value = static_cast<int>(st.integer(0));
    return true;
}

} // namespace

MarketDatabase::~MarketDatabase() { close(); }

bool MarketDatabase::openFailed() {
    if (error_.isEmpty())
        error_ = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("unable to open database file");
    failed_ = true;
    close();
    return false;
}

bool MarketDatabase::open(const QString& path) {
    close();
    error_.clear();
    failed_ = false;
    // A FIFO or device would block the engine's first read.
    if (checkOutsideFile(path, std::numeric_limits<qint64>::max(), &error_) == OutsideFile::Refused)
        return openFailed();
    const QByteArray p = path.toUtf8();
    // The game reads from one thread, so the engine need not lock the
    // connection at every call (each row's every column took a lock).
    if (sqlite3_open_v2(p.constData(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        return openFailed();
    // Nothing a planted schema object holds may run while the game reads.
    error_ = guardSqliteConnection(db_);
    if (!error_.isEmpty()) return openFailed();
    // The header alone: an empty file reads as an empty database (and is
    // refused below for its missing tables), any other file that is no
    // SQLite database, or one cut short of the size its header gives, fails
    // here with the engine's message.
    int applicationId = 0, formatVersion = 0;
    if (!headerValue(db_, "PRAGMA application_id", &applicationId, &error_) ||
        !headerValue(db_, "PRAGMA user_version", &formatVersion, &error_))
        return openFailed();
    if (applicationId != 0 && applicationId != schema::kApplicationId) {
        error_ = QStringLiteral("not a Pellucar market database (application id 0x%1)")
                     .arg(static_cast<quint32>(applicationId), 8, 16, QLatin1Char('0'));
        return openFailed();
    }
    // A file without the stamp (made by other tools, or before the stamp
    // existed) is accepted when the layout checks below pass.
    if (applicationId == schema::kApplicationId && formatVersion > schema::kFormatVersion) {
        error_ = QStringLiteral("the market database has format %1; this game reads format %2 or older")
                     .arg(formatVersion)
                     .arg(schema::kFormatVersion);
        return openFailed();
    }
    // Only the game's own tables and indexes, each as the builder makes it
    // (the hourly figures may be missing): a trigger, view, or any table or
    // index added by something else is refused.
    error_ = sqliteLayoutProblem(db_, std::array{schema::kCreateSql, schema::kCreateTickPeriodsSql}, false);
    if (!error_.isEmpty()) return openFailed();
    for (int q = 0; q < kRequiredQueries; ++q) {
        if (!prepared(q)) {
            error_ = QString::fromUtf8(sqlite3_errmsg(db_));
            return openFailed();
        }
    }
    // Stories are looked up at four hours of every tick day; their query is
    // kept prepared for the life of the connection.
    if (sqlite3_prepare_v3(db_, kNewsReleasesSql, -1, SQLITE_PREPARE_PERSISTENT, &news_, nullptr) != SQLITE_OK)
        return openFailed();
    // The hourly figures are optional: without the table (or with one of
    // another shape) the ticks are read trade by trade.
    hasTickPeriods_ = prepared(TickPeriods) != nullptr;
    // The data pages are not read here: checking them all would make every
    // start as slow as the file is large. A page damaged there makes the
    // query that meets it fail instead (failed(), lastError()).
    return true;
}

void MarketDatabase::close() {
    days_ = {};
    daily_ = {};
    sqlite3_finalize(news_);
    news_ = nullptr;
    for (sqlite3_stmt*& st : prepared_) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    hasTickPeriods_ = false;
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

sqlite3_stmt* MarketDatabase::prepared(int query) {
    static_assert(std::size(kQueries) == kPreparedQueries && NewsReleasesOfDays + 1 == kPreparedQueries);
    sqlite3_stmt*& st = prepared_[static_cast<size_t>(query)];
    if (!st && sqlite3_prepare_v3(db_, kQueries[query], -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    return st;
}

bool MarketDatabase::begin() {
    error_.clear();
    failed_ = false;
    if (db_) return true;
    error_ = QStringLiteral("the market database is not open");
    failed_ = true;
    return false;
}

bool MarketDatabase::engineFailed() {
    error_ = QString::fromUtf8(sqlite3_errmsg(db_));
    failed_ = true;
    return false;
}

bool MarketDatabase::malformed(const char* table, const char* field, const QString& value) {
    error_ =
        QStringLiteral("%1 holds a malformed %2: '%3'").arg(QLatin1String(table), QLatin1String(field), value.left(40));
    failed_ = true;
    return false;
}

template <typename Row> const QList<Row>* MarketDatabase::Remembered<Row>::find(const ReadKey& key) const {
    for (const auto& [k, rows] : reads)
        if (k == key) return &rows;
    return nullptr;
}

template <typename Row> void MarketDatabase::Remembered<Row>::keep(const ReadKey& key, const QList<Row>& rows) {
    // A period's markets and its trading days, and a few more: enough for
    // the period a game plays, a bound on what is held.
    constexpr qsizetype kMost = 2 * kMarketCount;
    if (reads.size() >= kMost) reads.removeFirst();
    reads.append({key, rows});
}

QList<QDate> MarketDatabase::dates(int query, const char* table, const QDate& start, const QDate& end) {
    if (!begin()) return {};
    const ReadKey key{query, 0, start, end};
    if (const QList<QDate>* kept = days_.find(key)) return *kept;
    QList<QDate> out = readDates(query, table, start, end);
    if (!failed_) days_.keep(key, out);
    return out;
}

QList<QDate> MarketDatabase::readDates(int query, const char* table, const QDate& start, const QDate& end) {
    QList<QDate> out;
    // At most a row a day; a damaged file may hold more, and the list grows.
    out.reserve(std::clamp<qint64>(start.daysTo(end), 0, 400));
    Statement st(Statement::Kept{prepared(query)});
    if (!st.ok()) {
        engineFailed();
        return out;
    }
    bindIso(st, 1, start);
    bindIso(st, 2, end);
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        const QDate d = isoDate(st.chars(0), st.bytes(0));
        if (!d.isValid()) {
            malformed(table, "Date", st.text(0));
            return {};
        }
        out.append(d);
    }
    if (rc != SQLITE_DONE) {
        engineFailed();
        return {};
    }
    return out;
}

QList<QDate> MarketDatabase::tradingDaysDaily(const QDate& start, const QDate& end) {
    return dates(TradingDaysDaily, "DailyData", start, end);
}

QList<QDate> MarketDatabase::tradingDaysTick(const QDate& start, const QDate& end) {
    return dates(TradingDaysTick, "TickTradeDaysResults", start, end);
}

QList<DailyRow> MarketDatabase::dailyRows(int commodityId, const QDate& start, const QDate& end) {
    if (!begin()) return {};
    const ReadKey key{Daily, commodityId, start, end};
    if (const QList<DailyRow>* kept = daily_.find(key)) return *kept;
    QList<DailyRow> out = readDailyRows(commodityId, start, end);
    if (!failed_) daily_.keep(key, out);
    return out;
}

QList<DailyRow> MarketDatabase::readDailyRows(int commodityId, const QDate& start, const QDate& end) {
    QList<DailyRow> out;
    out.reserve(std::clamp<qint64>(start.daysTo(end), 0, 400));
    Statement st(Statement::Kept{prepared(Daily)});
    if (!st.ok()) {
        engineFailed();
        return out;
    }
    st.bind(1, commodityId);
    bindIso(st, 2, start);
    bindIso(st, 3, end);
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        DailyRow r;
        r.openInterest = static_cast<qint32>(st.integer(0));
        r.dayVolume = static_cast<qint32>(st.integer(1));
        // A price that is no number (a damaged record, or a text where the
        // layout has a REAL) would read as 0 and be shown as a price.
        for (int col = 2; col <= 5; ++col) {
            if (!isPrice(st, col)) {
                malformed("DailyData", "price", st.text(col));
                return {};
            }
        }
        r.open = static_cast<float>(st.real(2));
        r.high = static_cast<float>(st.real(3));
        r.low = static_cast<float>(st.real(4));
        r.close = static_cast<float>(st.real(5));
        r.date = isoDate(st.chars(6), st.bytes(6));
        if (!r.date.isValid()) {
            malformed("DailyData", "Date", st.text(6));
            return {};
        }
        out.append(r);
    }
    if (rc != SQLITE_DONE) {
        engineFailed();
        return {};
    }
    return out;
}

bool MarketDatabase::tickRows(int commodityId, const QDate& start, const QDate& end,
                              const std::function<bool(const TickRow&)>& each) {
    if (!begin()) return false;
    Statement st(Statement::Kept{prepared(Tick)});
    if (!st.ok()) return engineFailed();
    st.bind(1, commodityId);
    bindIso(st, 2, start);
    bindIso(st, 3, end);
    // Consecutive ticks share their date; its text is compared, not parsed again.
    char lastDate[10] = {};
    TickRow row;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        const char* p = st.chars(0);
        // 'YYYY-MM-DD HH:MM:SS', nothing more or less.
        if (!p || st.bytes(0) != 19 || p[10] != ' ') return malformed("TickData", "DateTime", st.text(0));
        if (std::memcmp(p, lastDate, sizeof lastDate) != 0) {
            row.date = isoDate(p, 10);
            if (!row.date.isValid()) return malformed("TickData", "DateTime", st.text(0));
            std::memcpy(lastDate, p, sizeof lastDate);
        }
        row.secondOfDay = isoSecondOfDay(p + 11);
        if (row.secondOfDay < 0) return malformed("TickData", "DateTime", st.text(0));
        if (!isPrice(st, 1)) return malformed("TickData", "realprice", st.text(1));
        row.realPrice = st.real(1);
        if (!each(row)) return true;
    }
    return rc == SQLITE_DONE || engineFailed();
}

bool MarketDatabase::tickPeriods(int commodityId, const QDate& start, const QDate& end,
                                 const std::function<bool(const StoredTickPeriod&)>& each) {
    if (!begin()) return false;
    Statement st(Statement::Kept{prepared(TickPeriods)});
    if (!st.ok()) return engineFailed();
    st.bind(1, commodityId);
    bindIso(st, 2, start);
    bindIso(st, 3, end);
    StoredTickPeriod p;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        p.date = isoDate(st.chars(0), st.bytes(0));
        if (!p.date.isValid()) return malformed("TickPeriods", "Date", st.text(0));
        const double period = st.isNumber(1) ? st.real(1) : 0;
        if (period != std::trunc(period) || period < 1 || period > 6)
            return malformed("TickPeriods", "Period", st.text(1));
        p.period = static_cast<int>(period);
        for (int col = 2; col <= 5; ++col)
            if (!isPrice(st, col)) return malformed("TickPeriods", "price", st.text(col));
        p.price = st.real(2);
        p.high = st.real(3);
        p.low = st.real(4);
        p.last = st.real(5);
        // The first and the last trade of a window lie within its range.
        if (!(p.low <= p.price && p.price <= p.high && p.low <= p.last && p.last <= p.high))
            return malformed("TickPeriods", "price", st.text(2));
        if (!each(p)) return true;
    }
    return rc == SQLITE_DONE || engineFailed();
}

QString MarketDatabase::overviewNews(const QDate& date, int commodityId) {
    if (!begin()) return {};
    Statement st(Statement::Kept{prepared(Overview)});
    if (!st.ok()) {
        engineFailed();
        return {};
    }
    bindIso(st, 1, date);
    st.bind(2, commodityId);
    const int rc = st.step();
    if (rc == SQLITE_ROW) return st.text(0);
    if (rc != SQLITE_DONE) engineFailed();
    return {};
}

namespace {

QString columnText(sqlite3_stmt* st, int col) {
    auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(st, col)) : QString();
}

// A row of either release query (NRDate, NRTime, NRTitle, NRStory), given
// the text of each column.
template <typename Text> NewsRelease releaseOf(const Text& text) {
    NewsRelease n;
    n.date = QDate::fromString(text(0).left(10), Qt::ISODate);
    n.time = QTime::fromString(text(1).left(8), QStringLiteral("HH:mm:ss"));
    n.title = text(2);
    n.story = text(3);
    return n;
}

} // namespace

QList<NewsRelease> MarketDatabase::newsReleases(const QDate& day, const QTime& from, const QTime& to) {
    QList<NewsRelease> out;
    if (!begin()) return out;
    // Left reset after every call, so no read stays open between periods.
    struct Reset {
        sqlite3_stmt* st;
        ~Reset() {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        }
    } reset{news_};
    bindIso(news_, 1, isoDateText(day));
    bindIso(news_, 2, isoTimeText(from));
    bindIso(news_, 3, isoTimeText(to));
    int rc;
    const auto text = [this](int col) { return columnText(news_, col); };
    while ((rc = sqlite3_step(news_)) == SQLITE_ROW) out.append(releaseOf(text));
    if (rc != SQLITE_DONE) {
        engineFailed();
        return {};
    }
    return out;
}

QList<StoredNewsRelease> MarketDatabase::newsReleasesOfDays(const QDate& first, const QDate& last, const QTime& from,
                                                            const QTime& to) {
    QList<StoredNewsRelease> out;
    if (!begin()) return out;
    Statement st(Statement::Kept{prepared(NewsReleasesOfDays)});
    if (!st.ok()) {
        engineFailed();
        return out;
    }
    bindIso(st, 1, first);
    bindIso(st, 2, last);
    bindIso(st, 3, from);
    bindIso(st, 4, to);
    int rc;
    const auto text = [&st](int col) { return st.text(col); };
    const auto bytes = [&st](int col) { return QByteArray(st.chars(col), st.bytes(col)); };
    while ((rc = st.step()) == SQLITE_ROW) out.append({bytes(0), bytes(1), releaseOf(text)});
    if (rc != SQLITE_DONE) {
        engineFailed();
        return {};
    }
    return out;
}

} // namespace pellucar
