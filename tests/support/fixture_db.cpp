#include "support/fixture_db.h"

#include "market/market_data.h"
#include "market/schema.h"

#include <QCoreApplication>
#include <QFile>
#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace pellucar::test {

FixtureDb::FixtureDb(const QString& name) {
    // ctest runs test cases as processes side by side: each writes its own copy, or one would find another's locked.
    path_ = QStringLiteral(PELLUCAR_TEST_TMP) + '/' + name + '-' + QString::number(QCoreApplication::applicationPid()) +
            QStringLiteral(".mdb");
    QFile::remove(path_);
    if (sqlite3_open(path_.toUtf8().constData(), &db_) != SQLITE_OK) throw std::runtime_error("cannot create fixture");
    exec(QString::fromLatin1(schema::kCreateSql));
}

FixtureDb::~FixtureDb() {
    sqlite3_close(db_);
    QFile::remove(path_);
}

void FixtureDb::exec(const QString& sql) {
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db_));
}

void FixtureDb::bindExec(const char* sql, const QStringList& texts, const QList<double>& reals) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) throw std::runtime_error(sql);
    int i = 1;
    for (const QString& t : texts) sqlite3_bind_text(st, i++, t.toUtf8().constData(), -1, SQLITE_TRANSIENT);
    for (double r : reals) sqlite3_bind_double(st, i++, r);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
}

void FixtureDb::addDaily(int id, const QDate& d, double open, double high, double low, double close) {
    bindExec("INSERT INTO DailyData (CommodityID, Date, Open, High, Low, Close, OpenInterest, DayVolume) "
             "VALUES (CAST(?1 AS INTEGER), ?2, ?3, ?4, ?5, ?6, 100, 200)",
             {QString::number(id), d.toString(Qt::ISODate)}, {open, high, low, close});
}

void FixtureDb::addTickDay(const QDate& d) {
    bindExec("INSERT INTO TickTradeDaysResults (Date) VALUES (?1)", {d.toString(Qt::ISODate)}, {});
}

void FixtureDb::addTick(int id, const QString& dateTime, double realPrice) {
    bindExec("INSERT INTO TickData (CommodityID, DateTime, realprice) VALUES (CAST(?1 AS INTEGER), ?2, ?3)",
             {QString::number(id), dateTime}, {realPrice});
}

void FixtureDb::addTickPeriods(const QDate& first, const QDate& last) {
    // As the database builder does: the game's own reader works the hours out.
    QList<std::tuple<int, QDate, int, TickPeriod>> figures;
    MarketDatabase reader;
    if (!reader.open(path_) ||
        !ForEachTickPeriod(reader, first, last, [&](int id, const QDate& d, int k, const TickPeriod& p) {
            figures.append({id, d, k, p});
            return true;
        }))
        throw std::runtime_error("cannot read the fixture's ticks back");
    reader.close();
    exec(QString::fromLatin1(schema::kCreateTickPeriodsSql));
    for (const auto& [id, day, period, p] : figures)
        bindExec("INSERT INTO TickPeriods VALUES (CAST(?1 AS INTEGER), ?2, CAST(?3 AS INTEGER), ?4, ?5, ?6, ?7)",
                 {QString::number(id), day.toString(Qt::ISODate), QString::number(period)},
                 {p.price, p.high, p.low, p.last});
}

void FixtureDb::addOverview(const QDate& d, int id, const QString& text) {
    bindExec("INSERT INTO OverviewNews (Date, CommodityID, News) VALUES (?1, CAST(?2 AS INTEGER), ?3)",
             {d.toString(Qt::ISODate), QString::number(id), text}, {});
}

void FixtureDb::addNews(const QDate& d, const QString& time, const QString& title, const QString& story) {
    bindExec("INSERT INTO SortedTickNewsReleases (NRDate, NRTime, NRTitle, NRStory) VALUES (?1, ?2, ?3, ?4)",
             {d.toString(Qt::ISODate), time, title, story}, {});
}

void FixtureDb::addWeekdays(const QDate& from, const QDate& to, const std::function<double(int, int)>& price) {
    exec(QStringLiteral("BEGIN"));
    const QList<QDate> days = weekdays(from, to);
    for (int id = 1; id <= 6; ++id)
        for (int i = 0; i < days.size(); ++i) addDailyClose(id, days[i], price(id, i));
    exec(QStringLiteral("COMMIT"));
}

QList<QDate> weekdays(const QDate& from, const QDate& to) {
    QList<QDate> out;
    for (QDate d = from; d <= to; d = d.addDays(1))
        if (d.dayOfWeek() <= 5) out.append(d);
    return out;
}

int damageTablePages(const QString& path, const QList<QByteArray>& all, const QList<QByteArray>& unless) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite)) return -1;
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 100) return -1;
    // The page size is a big-endian 16-bit number at offset 16; 1 means 65536.
    int pageSize = (static_cast<uchar>(bytes[16]) << 8) | static_cast<uchar>(bytes[17]);
    if (pageSize == 1) pageSize = 65536;
    if (pageSize < 512) return -1;
    int damaged = 0;
    for (qsizetype at = pageSize; at + pageSize <= bytes.size(); at += pageSize) {
        const QByteArray page = bytes.mid(at, pageSize);
        if (static_cast<uchar>(page[0]) != 0x0D) continue; // 13: a table b-tree leaf
        const auto holds = [&page](const QByteArray& b) { return page.contains(b); };
        if (!std::all_of(all.begin(), all.end(), holds) || std::any_of(unless.begin(), unless.end(), holds)) continue;
        if (!f.seek(at) || f.write(QByteArray(pageSize, '\xff')) != pageSize) return -1;
        ++damaged;
    }
    return damaged;
}

} // namespace pellucar::test
