#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

struct sqlite3;

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace pellucar::test {

// A small market database written by the tests, with prices chosen so every result can be worked out by hand.
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
    // The hourly figures of the tick days from `first` to `last`, from the ticks so far, as the builder stores them.
    void addTickPeriods(const QDate& first, const QDate& last);
    void addOverview(const QDate& d, int id, const QString& text);
    void addNews(const QDate& d, const QString& time, const QString& title, const QString& story);
    // A close for all six markets on every weekday from `from` to `to`: price(id, day), the weekdays counted from 0.
    void addWeekdays(const QDate& from, const QDate& to, const std::function<double(int id, int day)>& price);

private:
    void bindExec(const char* sql, const QStringList& texts, const QList<double>& reals);
    QString path_;
    sqlite3* db_ = nullptr;
};

// Weekdays between two dates, both included.
QList<QDate> weekdays(const QDate& from, const QDate& to);

// Damages a closed SQLite file as a failing disk does, seen only when a query reads the page: every table leaf page
// but the first holding each of `all` and none of `unless` becomes 0xFF. Pages damaged, or -1 if the file is unusable.
int damageTablePages(const QString& path, const QList<QByteArray>& all, const QList<QByteArray>& unless = {});

} // namespace pellucar::test
