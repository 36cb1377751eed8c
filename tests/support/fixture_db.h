#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace pellucar::test {

// A small market database written by the tests themselves, with prices
// chosen so every result can be worked out by hand.
class FixtureDb {
public:
    explicit FixtureDb(const QString& name);
    ~FixtureDb();
    FixtureDb(const FixtureDb&) = delete;
    FixtureDb& operator=(const FixtureDb&) = delete;
    const QString& path() const { return path_; }

    void exec(const QString& sql);
    void addDaily(int id, const QDate& d, double open, double high, double low, double close);
    void addDailyClose(int id, const QDate& d, double close) { addDaily(id, d, close, close, close, close); }
    void addTickDay(const QDate& d);
    void addTick(int id, const QString& dateTime, double realPrice);
    // The hourly figures of the tick days from `first` to `last`, worked out
    // from the ticks added so far, as the database builder stores them.
    void addTickPeriods(const QDate& first, const QDate& last);
    void addOverview(const QDate& d, int id, const QString& text);
    void addNews(const QDate& d, const QString& time, const QString& title, const QString& story);
    // Every weekday from `from` to `to` gets a close for all six markets from
    // price(id, dayNumber); dayNumber counts the weekdays from 0.
    void addWeekdays(const QDate& from, const QDate& to, const std::function<double(int id, int day)>& price);

private:
    void bindExec(const char* sql, const QStringList& texts, const QList<double>& reals);
    QString path_;
    void* db_ = nullptr;
};

// Weekdays between two dates, both included.
QList<QDate> weekdays(const QDate& from, const QDate& to);

// Damages a closed SQLite file as a failing disk does, noticed only when a
// query reads the page: every table leaf page but the first whose bytes hold
// each of `all` and none of `unless` becomes 0xFF. Returns the number of
// pages damaged, or -1 when the file cannot be read and written.
int damageTablePages(const QString& path, const QList<QByteArray>& all, const QList<QByteArray>& unless = {});

} // namespace pellucar::test
