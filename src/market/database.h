#pragma once
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

struct sqlite3;
struct sqlite3_stmt;

namespace pellucar {

struct DailyRow {
    qint32 openInterest = 0;
    qint32 dayVolume = 0;
    float open = 0, high = 0, low = 0, close = 0;
    QDate date;
};

struct TickRow {
    QDateTime dateTime;
    double realPrice = 0; // still in the stored encoding
};

struct NewsRelease {
    QDate date;
    QTime time;
    QString title;
    QString story;
};

// Read-only access to the market database file. Every query binds its
// values; no text from outside is ever pasted into SQL. A failure is kept
// as the engine's own message in lastError().
class MarketDatabase {
public:
    MarketDatabase() = default;
    ~MarketDatabase();
    MarketDatabase(const MarketDatabase&) = delete;
    MarketDatabase& operator=(const MarketDatabase&) = delete;

    // Opens the file read-only and checks that it is a market database: a
    // missing file, an empty or foreign file, or one without the game's
    // tables fails with the engine's message.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const QString& lastError() const { return error_; }

    // Dates in [start, end), ascending.
    QList<QDate> tradingDaysDaily(const QDate& start, const QDate& end);
    QList<QDate> tradingDaysTick(const QDate& start, const QDate& end);
    // One market's daily rows in [start, end), ascending by date.
    QList<DailyRow> dailyRows(int commodityId, const QDate& start, const QDate& end);
    // One market's ticks with DateTime in [start, end), ascending.
    QList<TickRow> tickRows(int commodityId, const QDate& start, const QDate& end);
    // The News text of the row for that date and id, or empty text.
    QString overviewNews(const QDate& date, int commodityId);
    // Releases of one day with from <= NRTime < to, in the table's order.
    QList<NewsRelease> newsReleases(const QDate& day, const QTime& from, const QTime& to);

    // The release query. NRDate and NRTime are compared as the stored ISO
    // texts ('YYYY-MM-DD', 'HH:MM:SS') so the (NRDate, NRTime) index answers
    // it; ?1 is the day, ?2 and ?3 the window's edges.
    static constexpr const char* kNewsReleasesSql =
        "SELECT NRDate, NRTime, NRTitle, NRStory FROM SortedTickNewsReleases "
        "WHERE NRDate = ?1 AND NRTime >= ?2 AND NRTime < ?3 ORDER BY rowid";

private:
    bool fail();
    QList<QDate> dates(int query, const QDate& start, const QDate& end);
    sqlite3* db_ = nullptr;
    sqlite3_stmt* news_ = nullptr; // kNewsReleasesSql, prepared at open
    QString error_;
};

} // namespace pellucar
