#include "market/database.h"

#include <sqlite3.h>

namespace pellucar {
namespace {

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK; }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return ok_; }
    void bind(int i, int v) { sqlite3_bind_int(stmt_, i, v); }
    void bind(int i, const QString& s) {
        QByteArray u = s.toUtf8();
        sqlite3_bind_text(stmt_, i, u.constData(), u.size(), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(stmt_); }
    QString text(int col) const {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, col)) : QString();
    }
    double real(int col) const { return sqlite3_column_double(stmt_, col); }
    qint64 integer(int col) const { return sqlite3_column_int64(stmt_, col); }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool ok_ = false;
};

QString iso(const QDate& d) { return d.toString(Qt::ISODate); }
QString isoTime(const QTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

// Each query the game issues, prepared once at open so a database that
// lacks a table or field is refused before the player starts.
const char* const kQueries[] = {
    "SELECT DISTINCT Date FROM DailyData WHERE Date >= date(?1) AND Date < date(?2) ORDER BY Date",
    "SELECT Date FROM TickTradeDaysResults WHERE date(Date) >= date(?1) AND date(Date) < date(?2) "
    "ORDER BY date(Date)",
    "SELECT OpenInterest, DayVolume, Open, High, Low, Close, Date FROM DailyData "
    "WHERE CommodityID = ?1 AND Date >= date(?2) AND Date < date(?3) ORDER BY Date",
    "SELECT DateTime, realprice FROM TickData "
    "WHERE CommodityID = ?1 AND DateTime >= date(?2) AND DateTime < date(?3) ORDER BY DateTime",
    "SELECT News FROM OverviewNews WHERE date(Date) = date(?1) AND CommodityID = ?2",
};
enum Query { TradingDaysDaily, TradingDaysTick, Daily, Tick, Overview };

} // namespace

MarketDatabase::~MarketDatabase() { close(); }

bool MarketDatabase::fail() {
    error_ = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("unable to open database file");
    return false;
}

bool MarketDatabase::open(const QString& path) {
    close();
    error_.clear();
    QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        fail();
        close();
        return false;
    }
    for (const char* sql : kQueries) {
        Statement st(db_, sql);
        if (!st.ok()) {
            fail();
            close();
            return false;
        }
    }
    // Stories are looked up at four hours of every tick day; their query is
    // kept prepared for the life of the connection.
    if (sqlite3_prepare_v3(db_, kNewsReleasesSql, -1, SQLITE_PREPARE_PERSISTENT, &news_, nullptr) != SQLITE_OK) {
        fail();
        close();
        return false;
    }
    // A damaged file can still hold a readable schema; the engine's own
    // check finds it now rather than halfway through a game.
    bool sound = false;
    {
        Statement check(db_, "PRAGMA quick_check(1)");
        const int rc2 = check.ok() ? check.step() : SQLITE_ERROR;
        sound = rc2 == SQLITE_ROW && check.text(0) == QLatin1String("ok");
        if (!sound) {
            if (rc2 == SQLITE_ROW) error_ = check.text(0);
            else fail();
        }
    } // the statement is finalized before the connection may close
    if (!sound) close();
    return sound;
}

void MarketDatabase::close() {
    sqlite3_finalize(news_);
    news_ = nullptr;
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

QList<QDate> MarketDatabase::dates(int query, const QDate& start, const QDate& end) {
    QList<QDate> out;
    if (!db_) return out;
    Statement st(db_, kQueries[query]);
    st.bind(1, iso(start));
    st.bind(2, iso(end));
    while (st.step() == SQLITE_ROW) out.append(QDate::fromString(st.text(0).left(10), Qt::ISODate));
    return out;
}

QList<QDate> MarketDatabase::tradingDaysDaily(const QDate& start, const QDate& end) {
    return dates(TradingDaysDaily, start, end);
}

QList<QDate> MarketDatabase::tradingDaysTick(const QDate& start, const QDate& end) {
    return dates(TradingDaysTick, start, end);
}

QList<DailyRow> MarketDatabase::dailyRows(int commodityId, const QDate& start, const QDate& end) {
    QList<DailyRow> out;
    if (!db_) return out;
    Statement st(db_, kQueries[Daily]);
    st.bind(1, commodityId);
    st.bind(2, iso(start));
    st.bind(3, iso(end));
    while (st.step() == SQLITE_ROW) {
        DailyRow r;
        r.openInterest = static_cast<qint32>(st.integer(0));
        r.dayVolume = static_cast<qint32>(st.integer(1));
        r.open = static_cast<float>(st.real(2));
        r.high = static_cast<float>(st.real(3));
        r.low = static_cast<float>(st.real(4));
        r.close = static_cast<float>(st.real(5));
        r.date = QDate::fromString(st.text(6).left(10), Qt::ISODate);
        out.append(r);
    }
    return out;
}

QList<TickRow> MarketDatabase::tickRows(int commodityId, const QDate& start, const QDate& end) {
    QList<TickRow> out;
    if (!db_) return out;
    Statement st(db_, kQueries[Tick]);
    st.bind(1, commodityId);
    st.bind(2, iso(start));
    st.bind(3, iso(end));
    while (st.step() == SQLITE_ROW) {
        TickRow r;
        r.dateTime = QDateTime::fromString(st.text(0), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        r.realPrice = st.real(1);
        out.append(r);
    }
    return out;
}

QString MarketDatabase::overviewNews(const QDate& date, int commodityId) {
    if (!db_) return {};
    Statement st(db_, kQueries[Overview]);
    st.bind(1, iso(date));
    st.bind(2, commodityId);
    return st.step() == SQLITE_ROW ? st.text(0) : QString();
}

QList<NewsRelease> MarketDatabase::newsReleases(const QDate& day, const QTime& from, const QTime& to) {
    QList<NewsRelease> out;
    if (!news_) return out;
    // Left reset after every call, so no read stays open between periods.
    struct Reset {
        sqlite3_stmt* st;
        ~Reset() {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        }
    } reset{news_};
    const auto bind = [this](int i, const QString& text) {
        const QByteArray u = text.toUtf8();
        sqlite3_bind_text(news_, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    };
    bind(1, iso(day));
    bind(2, isoTime(from));
    bind(3, isoTime(to));
    const auto text = [this](int col) {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(news_, col));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(news_, col)) : QString();
    };
    while (sqlite3_step(news_) == SQLITE_ROW) {
        NewsRelease n;
        n.date = QDate::fromString(text(0).left(10), Qt::ISODate);
        n.time = QTime::fromString(text(1).left(8), QStringLiteral("HH:mm:ss"));
        n.title = text(2);
        n.story = text(3);
        out.append(n);
    }
    return out;
}

} // namespace pellucar
