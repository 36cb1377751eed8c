#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <array>
#include <functional>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace pellucar {

struct DailyRow {
    qint32 openInterest = 0;
    qint32 dayVolume = 0;
    float open = 0, high = 0, low = 0, close = 0;
    QDate date;
    bool operator==(const DailyRow&) const = default;
};

// One trade of TickData as stored: the exchange's wall-clock date and time
// of day (no time zone; the game only compares dates and times of day) and
// the price still in its stored encoding.
struct TickRow {
    QDate date;
    int secondOfDay = 0;
    double realPrice = 0;
};

// One stored hourly figure of a market's tick day (TickPeriods): prices
// already decoded.
struct StoredTickPeriod {
    QDate date;
    int period = 0; // 1..6
    double price = 0, high = 0, low = 0, last = 0;
};

struct NewsRelease {
    QDate date;
    QTime time;
    QString title;
    QString story;
    bool operator==(const NewsRelease&) const = default;
};

// A release with NRDate and NRTime as stored, so that a release can be
// matched to a day and a window later by the very comparison the database
// makes (texts compared byte by byte).
struct StoredNewsRelease {
    QByteArray storedDate;
    QByteArray storedTime;
    NewsRelease release;
};

// Read-only access to the market database file. Every query binds its
// values; no text from outside is ever pasted into SQL.
//
// Failures: open() and every query set failed() and keep the reason in
// lastError() (the engine's own text, or what was wrong with a stored value);
// a call that succeeds clears both. A failed query returns an empty result,
// never the rows read before the failure, so a damaged page found halfway
// through a game cannot pass for a period without data.
class MarketDatabase {
public:
    MarketDatabase() = default;
    ~MarketDatabase();
    MarketDatabase(const MarketDatabase&) = delete;
    MarketDatabase& operator=(const MarketDatabase&) = delete;

    // Opens the file read-only and checks, without reading past the pages
    // that hold the file header and the layout, that it is a market
    // database: a missing file, an empty or foreign file, one stamped by
    // another application or by a newer builder, or one without the game's
    // tables and fields fails with the engine's message or a plain one.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    bool failed() const { return failed_; }
    const QString& lastError() const { return error_; }

    // Dates in [start, end), ascending.
    QList<QDate> tradingDaysDaily(const QDate& start, const QDate& end);
    QList<QDate> tradingDaysTick(const QDate& start, const QDate& end);
    // One market's daily rows in [start, end), ascending by date.
    QList<DailyRow> dailyRows(int commodityId, const QDate& start, const QDate& end);
    // Hands `each` one market's ticks with DateTime in [start, end) in
    // ascending order, without keeping them; `each` returns false to stop
    // early. Returns false when the file could not be read (failed()); the
    // rows handed over before that must then be thrown away.
    bool tickRows(int commodityId, const QDate& start, const QDate& end,
                  const std::function<bool(const TickRow&)>& each);
    // Whether the file holds the hourly figures of its tick days, which
    // the database builder writes; a file without them (an older one, or
    // one made by other tools) is read trade by trade through tickRows.
    bool hasTickPeriods() const { return hasTickPeriods_; }
    // Hands `each` one market's stored hourly figures of the days in
    // [start, end), by day and period; `each` returns false to stop early.
    // False when the file could not be read or holds a figure no trades
    // could give (failed()); what was handed over must then be thrown away.
    bool tickPeriods(int commodityId, const QDate& start, const QDate& end,
                     const std::function<bool(const StoredTickPeriod&)>& each);
    // The News text of the row for that date and id, or empty text.
    QString overviewNews(const QDate& date, int commodityId);
    // Releases of one day with from <= NRTime < to, in the table's order.
    QList<NewsRelease> newsReleases(const QDate& day, const QTime& from, const QTime& to);
    // Releases of the days first to last with from <= NRTime < to, in the
    // table's order: every story that the windows within [from, to) of those
    // days release, read at once. Empty with failed() when the file could not
    // be read.
    QList<StoredNewsRelease> newsReleasesOfDays(const QDate& first, const QDate& last, const QTime& from,
                                                const QTime& to);

    // The release query. NRDate and NRTime are compared as the stored ISO
    // texts ('YYYY-MM-DD', 'HH:MM:SS') so the (NRDate, NRTime) index answers
    // it; ?1 is the day, ?2 and ?3 the window's edges.
    static constexpr const char* kNewsReleasesSql =
        "SELECT NRDate, NRTime, NRTitle, NRStory FROM SortedTickNewsReleases "
        "WHERE NRDate = ?1 AND NRTime >= ?2 AND NRTime < ?3 ORDER BY rowid";
    // The same comparisons over a range of days: ?1 and ?2 the first and
    // last day, ?3 and ?4 the edges of the hours.
    static constexpr const char* kNewsReleasesOfDaysSql =
        "SELECT NRDate, NRTime, NRTitle, NRStory FROM SortedTickNewsReleases "
        "WHERE NRDate >= ?1 AND NRDate <= ?2 AND NRTime >= ?3 AND NRTime < ?4 ORDER BY rowid";

private:
    bool openFailed();
    bool begin();
    bool engineFailed();
    bool malformed(const char* table, const char* field, const QString& value);
    QList<QDate> dates(int query, const char* table, const QDate& start, const QDate& end);
    // The rows of the latest reads of trading days and daily prices, by
    // query, market and dates. The file is read-only for the connection's
    // life, so the same read gives the same rows: a game set up again on its
    // period, or the next game on a shared connection, takes them from here.
    struct ReadKey {
        int query = 0;
        int commodityId = 0;
        QDate start, end;
        bool operator==(const ReadKey&) const = default;
    };
    template <typename Row> struct Remembered {
        QList<std::pair<ReadKey, QList<Row>>> reads; // newest last
        const QList<Row>* find(const ReadKey& key) const;
        void keep(const ReadKey& key, const QList<Row>& rows);
    };
    Remembered<QDate> days_;
    Remembered<DailyRow> daily_;
    QList<QDate> readDates(int query, const char* table, const QDate& start, const QDate& end);
    QList<DailyRow> readDailyRows(int commodityId, const QDate& start, const QDate& end);
    sqlite3* db_ = nullptr;
    sqlite3_stmt* news_ = nullptr; // kNewsReleasesSql, prepared at open
    // The game's other queries, each prepared at its first use (the required
    // ones at open) and kept for the connection's life: a period's load runs
    // them for every market. Null where the query could not be prepared.
    static constexpr int kPreparedQueries = 7;
    std::array<sqlite3_stmt*, kPreparedQueries> prepared_{};
    sqlite3_stmt* prepared(int query);
    bool hasTickPeriods_ = false;
    QString error_;
    bool failed_ = false;
};

} // namespace pellucar
