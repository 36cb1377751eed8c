#include "app/record/past_games.h"
#include "common/outside_files.h"
#include "common/sqlite_guard.h"
#include "common/sqlite_statement.h"
#include "market/market_data.h"
#include "market/price_history.h"
#include "trading/trade_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimeZone>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <span>

namespace pellucar {
namespace {

// Each entry brings the file from the version before it to the next one;
// entry 0 makes an empty file version 1. A later version appends its step.
const char* const kMigrations[] = {
    "CREATE TABLE PastGames ("
    " GameID INTEGER PRIMARY KEY,"
    " PlayedAt TEXT NOT NULL,"
    " PeriodStart TEXT NOT NULL,"
    " PeriodEnd TEXT NOT NULL,"
    " Level TEXT NOT NULL,"
    " DataMode TEXT NOT NULL,"
    " GameLength TEXT NOT NULL,"
    " Periods INTEGER NOT NULL,"
    " Trades INTEGER NOT NULL,"
    " Score REAL NOT NULL,"
    " Verdict TEXT NOT NULL,"
    " Ending TEXT NOT NULL);",
    // Version 2 keeps what a game's review reads: the account value and
    // prices of every period and the trade record. A StartingCapital of 0
    // marks the games recorded before, which have neither.
    "ALTER TABLE PastGames ADD COLUMN Scenario TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE PastGames ADD COLUMN StartingCapital REAL NOT NULL DEFAULT 0;"
    "CREATE TABLE GamePeriods ("
    " GameID INTEGER NOT NULL REFERENCES PastGames(GameID),"
    " Period INTEGER NOT NULL,"
    " Day TEXT NOT NULL,"
    " Hour INTEGER NOT NULL,"
    " AccountValue REAL NOT NULL,"
    " Oil REAL NOT NULL, Gold REAL NOT NULL, TBond REAL NOT NULL,"
    " SP500 REAL NOT NULL, Cattle REAL NOT NULL, Soybean REAL NOT NULL,"
    " PRIMARY KEY (GameID, Period));"
    "CREATE TABLE GameTrades ("
    " GameID INTEGER NOT NULL REFERENCES PastGames(GameID),"
    " Number INTEGER NOT NULL,"
    " Period INTEGER NOT NULL,"
    " Market TEXT NOT NULL,"
    " Side TEXT NOT NULL,"
    " MarginCall INTEGER NOT NULL,"
    " Amount REAL NOT NULL,"
    " Price REAL NOT NULL,"
    " PRIMARY KEY (GameID, Number));",
    // Version 3 keeps the rules a game was played under, whether it was
    // practice, the commissions it paid, and each fill's order type and the
    // price it asked for (a market order's is its fill price). What was
    // recorded before reads as a Classic game of market orders.
    "ALTER TABLE PastGames ADD COLUMN RuleSet TEXT NOT NULL DEFAULT 'Classic';"
    "ALTER TABLE PastGames ADD COLUMN Practice INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE PastGames ADD COLUMN Commissions REAL NOT NULL DEFAULT 0;"
    "ALTER TABLE GameTrades ADD COLUMN OrderType TEXT NOT NULL DEFAULT 'Market';"
    "ALTER TABLE GameTrades ADD COLUMN Asked REAL NOT NULL DEFAULT 0;",
    // The journal: the player's note on each trade, empty for none.
    "ALTER TABLE GameTrades ADD COLUMN Note TEXT NOT NULL DEFAULT '';",
};
// The first version that keeps the journal.
constexpr int kJournalVersion = 4;
static_assert(std::size(kMigrations) == PastGames::kSchemaVersion);

constexpr const char* kColumns =
    "GameID, PlayedAt, PeriodStart, PeriodEnd, Level, DataMode, GameLength, Periods, Trades, Score, Verdict, Ending";
// The columns version 2 added, and what a version 1 file reads in their place.
constexpr const char* kReviewColumns = ", Scenario, StartingCapital";
constexpr const char* kNoReviewColumns = ", '', 0";
// The columns version 3 added, and what an older file reads in their place.
constexpr const char* kRulesColumns = ", RuleSet, Practice, Commissions";
constexpr const char* kNoRulesColumns = ", 'Classic', 0, 0";

// An order type as the record names it, or none for any other text.
std::optional<OrderType> orderTypeFromName(const QString& name) {
    for (OrderType t : {OrderType::Market, OrderType::Limit, OrderType::Stop})
        if (orderTypeName(t) == name) return t;
    return std::nullopt;
}

using Statement = SqliteStatement;

// A stored text as the engine holds it, looked at in place: the names and
// dates of every row are checked without a copy of each.
QLatin1String storedBytes(const Statement& st, int col) {
    const char* p = st.chars(col);
    return p ? QLatin1String(p, st.bytes(col)) : QLatin1String();
}

// The `width` decimal digits at `at`, or -1 when any is not a digit.
int digits(QLatin1String t, qsizetype at, int width) {
    int v = 0;
    for (qsizetype i = at; i < at + width; ++i) {
        const char c = t[i].toLatin1();
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// 'YYYY-MM-DD' and nothing else; an invalid date for any other text.
QDate isoDate(QLatin1String t) {
    if (t.size() != 10 || t[4] != QLatin1Char('-') || t[7] != QLatin1Char('-')) return {};
    const int y = digits(t, 0, 4), m = digits(t, 5, 2), d = digits(t, 8, 2);
    return y < 0 || m < 0 || d < 0 || !QDate::isValid(y, m, d) ? QDate() : QDate(y, m, d);
}

// The local times games ended, stored as 'YYYY-MM-DDTHH:MM:SS', in the
// system's zone (found once: as local time, each row's conversion asked the
// system for its zone file again). Asking the zone is most of what a row
// costs, yet its offset stays the same between two of its transitions: the
// rows come in order of time, so a time more than a day (more than any
// clock shift) inside the stretch of the time asked before takes its offset
// at once, and only a time near a transition, or in another stretch, asks.
class LocalTimes {
public:
    QDateTime at(QLatin1String t) {
        if (t.size() != 19 || t[10] != QLatin1Char('T') || t[13] != QLatin1Char(':') || t[16] != QLatin1Char(':'))
            return {};
        const QDate day = isoDate(t.left(10));
        const int h = digits(t, 11, 2), m = digits(t, 14, 2), sec = digits(t, 17, 2);
        if (!day.isValid() || h < 0 || m < 0 || sec < 0 || !QTime::isValid(h, m, sec)) return {};
        const QTime time(h, m, sec);
        const qint64 utc = QDateTime(day, time, Qt::UTC).toMSecsSinceEpoch() - qint64{offset_} * 1000;
        if (utc >= from_ && utc < until_) return QDateTime(day, time, Qt::OffsetFromUTC, offset_);
        const QDateTime asked(day, time, zone_);
        if (asked.isValid()) learn(asked);
        return asked;
    }

private:
    void learn(const QDateTime& asked) {
        constexpr qint64 kDay = 86'400'000;
        offset_ = asked.offsetFromUtc();
        from_ = std::numeric_limits<qint64>::min();
        until_ = std::numeric_limits<qint64>::max();
        if (!zone_.hasTransitions()) return;
        const QDateTime before = zone_.previousTransition(asked).atUtc, after = zone_.nextTransition(asked).atUtc;
        if (before.isValid()) from_ = before.toMSecsSinceEpoch() + kDay;
        if (after.isValid()) until_ = after.toMSecsSinceEpoch() - kDay;
    }

    QTimeZone zone_ = QTimeZone::systemTimeZone();
    int offset_ = 0;
    qint64 from_ = 0, until_ = 0; // none known yet
};

// The value of `values` whose name (by `nameOf`) a stored text is.
template <typename E, typename NameOf>
std::optional<E> storedName(const Statement& st, int col, std::initializer_list<E> values, NameOf nameOf) {
    const QLatin1String text = storedBytes(st, col);
    for (E v : values)
        if (nameOf(v) == text) return v;
    return std::nullopt;
}

// A row as stored, or nothing when one of its values is not what the game
// writes (a damaged or hand-edited file). Texts are measured before they
// are read: a stored text of megabytes is no verdict.
std::optional<PastGame> readRow(const Statement& st, LocalTimes& times) {
    PastGame g;
    for (int col : {0, 7, 8, 9, 13, 15, 16})
        if (!st.isNumber(col)) return std::nullopt;
    // The longest UTF-8 text of each column: a date and time, two dates,
    // four names, the verdict and the scenario.
    constexpr struct {
        int col, bytes;
    } kTexts[] = {{1, 32},
                  {2, 10},
                  {3, 10},
                  {4, 16},
                  {5, 16},
                  {6, 16},
                  {10, 4 * PastGames::kMostVerdict},
                  {11, 16},
                  {12, 4 * PastGames::kMostScenario},
                  {14, 16}};
    for (const auto& t : kTexts)
        if (st.bytes(t.col) > t.bytes) return std::nullopt;
    g.id = st.integer(0);
    g.playedAt = times.at(storedBytes(st, 1));
    g.periodStart = isoDate(storedBytes(st, 2));
    g.periodEnd = isoDate(storedBytes(st, 3));
    const auto level = storedName(st, 4, {Level::Novice, Level::Expert}, levelName);
    const auto data = storedName(st, 5, {DataMode::Daily, DataMode::Tick}, dataModeName);
    const auto length = storedName(st, 6, {GameLength::Month, GameLength::Quarter, GameLength::Year}, gameLengthName);
    const qint64 periods = st.integer(7), trades = st.integer(8);
    g.score = st.real(9);
    const auto ending = storedName(st, 11, {GameEnding::LengthReached, GameEnding::BlownOut, GameEnding::EndedByPlayer},
                                   gameEndingName);
    g.reviewKept = st.real(13) > 0;
    const auto rules = storedName(st, 14, {RuleSet::Classic, RuleSet::Trainer}, ruleSetName);
    const qint64 practice = st.integer(15);
    g.practice = practice != 0;
    g.commissions = st.real(16);
    if (!g.playedAt.isValid() || !g.periodStart.isValid() || !g.periodEnd.isValid() || g.periodEnd < g.periodStart ||
        !level || !data || !length || !ending || !rules || (practice != 0 && practice != 1) ||
        st.real(15) != static_cast<double>(practice))
        return std::nullopt;
    g.level = *level;
    g.dataMode = *data;
    g.rules = *rules;
    // Commissions are paid under the Trainer rules only, and never more
    // than a score's bound.
    if (!std::isfinite(g.commissions) || g.commissions < 0 || g.commissions > PastGames::kMostScore ||
        (g.rules == RuleSet::Classic && g.commissions != 0))
        return std::nullopt;
    // No game ends before its first period, plays past a quarter of tick
    // periods (a daily game continued stops at 366 days), records more
    // trades than the trade log holds, or scores what no account can hold.
    if (g.id <= 0 || periods < 1 || periods > kTickDayCapacity * kTicksPerDay || trades < 0 ||
        trades > TradeLog::kMaxRecords || !std::isfinite(g.score) || std::fabs(g.score) > PastGames::kMostScore)
        return std::nullopt;
    // The texts are read last, of a row that passed every other check.
    g.verdict = st.text(10);
    g.scenario = st.text(12);
    if (g.verdict.size() > PastGames::kMostVerdict || g.scenario.size() > PastGames::kMostScenario) return std::nullopt;
    g.periods = static_cast<int>(periods);
    g.trades = static_cast<int>(trades);
    g.length = *length;
    g.ending = *ending;
    return g;
}

// Writes what the review reads; empty, or the engine's reason. The reason is
// read where a statement failed: finalizing the other one would reset it to
// "not an error".
QString writeReview(sqlite3* db, qint64 id, const ReviewRecord& r) {
    const auto failure = [db] { return QString::fromUtf8(sqlite3_errmsg(db)); };
    Statement period(db, "INSERT INTO GamePeriods (GameID, Period, Day, Hour, AccountValue, Oil, Gold, TBond, SP500,"
                         " Cattle, Soybean) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    if (!period.ok()) return failure();
    for (size_t i = 0; i < r.periods.size(); ++i) {
        const ReviewPeriod& p = r.periods[i];
        period.reset();
        period.bind(1, id);
        period.bind(2, static_cast<qint64>(i + 1));
        period.bind(3, p.date.toString(Qt::ISODate));
        period.bind(4, p.hour);
        period.bind(5, p.accountValue);
        for (Market m : kTradingOrder) period.bind(6 + index(m), p.prices[static_cast<size_t>(index(m))]);
        if (period.step() != SQLITE_DONE) return failure();
    }
    Statement trade(
        db, "INSERT INTO GameTrades (GameID, Number, Period, Market, Side, MarginCall, Amount, Price, OrderType,"
            " Asked, Note) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    if (!trade.ok()) return failure();
    for (const TradeRecord& t : r.trades) {
        trade.reset();
        trade.bind(1, id);
        trade.bind(2, t.number);
        trade.bind(3, t.day);
        trade.bind(4, marketName(t.market));
        trade.bind(5, sideName(t.side));
        trade.bind(6, t.marginCall ? 1 : 0);
        trade.bind(7, static_cast<double>(t.amount));
        trade.bind(8, static_cast<double>(t.price));
        trade.bind(9, orderTypeName(t.orderType));
        trade.bind(10, t.asked != 0 ? t.asked : static_cast<double>(t.price));
        trade.bind(11, r.notes.value(t.number));
        if (trade.step() != SQLITE_DONE) return failure();
    }
    return {};
}

} // namespace

QString gameEndingName(GameEnding e) {
    switch (e) {
    case GameEnding::LengthReached: return QStringLiteral("Length");
    case GameEnding::BlownOut: return QStringLiteral("BlowOut");
    case GameEnding::EndedByPlayer: return QStringLiteral("Ended");
    }
    return {};
}

std::optional<GameEnding> gameEndingFromName(const QString& name) {
    for (GameEnding e : {GameEnding::LengthReached, GameEnding::BlownOut, GameEnding::EndedByPlayer})
        if (gameEndingName(e) == name) return e;
    return std::nullopt;
}

QString gameLengthName(GameLength l) {
    switch (l) {
    case GameLength::Month: return QStringLiteral("Month");
    case GameLength::Quarter: return QStringLiteral("Quarter");
    case GameLength::Year: return QStringLiteral("Year");
    }
    return {};
}

std::optional<GameLength> gameLengthFromName(const QString& name) {
    for (GameLength l : {GameLength::Month, GameLength::Quarter, GameLength::Year})
        if (gameLengthName(l) == name) return l;
    return std::nullopt;
}

// One open file for the length of one call: the record is small and
// written once a game, so nothing is held open between games.
class PastGames::Connection {
public:
    ~Connection() {
        if (db_) sqlite3_close_v2(db_);
    }
    sqlite3* db() const { return db_; }
    QString engineError() const { return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString(); }

    // Opens the file; `create` makes it (and its folder) when missing.
    bool open(const QString& path, bool create, QString* error) {
        // A FIFO or device would block the engine's first read; the size is
        // no concern, as nothing reads the file whole.
        if (checkOutsideFile(path, std::numeric_limits<qint64>::max(), error) == OutsideFile::Refused) return false;
        if (create) {
            const QString dir = QFileInfo(path).absolutePath();
            if (!QDir().mkpath(dir)) {
                *error = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(dir));
                return false;
            }
        }
        // One thread uses a connection at a time, so the engine's lock on
        // every call is not needed.
        const int flags =
            (create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr) != SQLITE_OK) {
            *error = engineError();
            return false;
        }
        // Nothing the file's schema holds may run: it is checked against
        // the layout before it is used, and these stay off in any case.
        *error = guardSqliteConnection(db_);
        if (!error->isEmpty()) return false;
        // Another copy of the game may be writing its own game just now.
        sqlite3_busy_timeout(db_, 2000);
        return true;
    }

    bool exec(const char* sql, QString* error) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
        *error = engineError();
        return false;
    }

    // The file's layout version, 0 for an empty file; -1 (with the reason)
    // when the file is not the game's record or cannot be read.
    int version(QString* error) {
        Statement id(db_, "PRAGMA application_id");
        if (!id.ok() || id.step() != SQLITE_ROW) {
            *error = engineError();
            return -1;
        }
        const qint64 app = id.integer(0);
        Statement ver(db_, "PRAGMA user_version");
        Statement tables(db_, "SELECT count(*) FROM sqlite_schema");
        if (!ver.ok() || ver.step() != SQLITE_ROW || !tables.ok() || tables.step() != SQLITE_ROW) {
            *error = engineError();
            return -1;
        }
        if (app == 0 && tables.integer(0) == 0) return 0;
        if (app != kApplicationId) {
            *error = QStringLiteral("the file belongs to another program");
            return -1;
        }
        const int v = static_cast<int>(ver.integer(0));
        // No version of the game writes a negative one: a damaged header.
        if (v < 0) {
            *error = QStringLiteral("the file's layout version is damaged");
            return -1;
        }
        if (v > kSchemaVersion) {
            *error = QStringLiteral("the file was written by a newer version of the game");
            return -1;
        }
        // Exactly the tables and indexes of its version: a trigger, view,
        // table or index added by anything else is refused, not run.
        *error = sqliteLayoutProblem(db_, std::span(kMigrations).first(static_cast<size_t>(v)), true);
        return error->isEmpty() ? v : -1;
    }

    // Brings the file up to the current layout; inside the caller's
    // transaction, so a half-made layout is never left behind.
    bool migrate(int from, QString* error) {
        for (int v = from; v < kSchemaVersion; ++v)
            if (!exec(kMigrations[v], error)) return false;
        if (from == kSchemaVersion) return true;
        const QByteArray pragmas = "PRAGMA application_id = " + QByteArray::number(kApplicationId) +
                                   "; PRAGMA user_version = " + QByteArray::number(kSchemaVersion) + ";";
        return exec(pragmas.constData(), error);
    }

private:
    sqlite3* db_ = nullptr;
};

PastGames::PastGames(QString path) : path_(std::move(path)) {}

std::span<const char* const> PastGames::migrations() { return kMigrations; }

QString PastGames::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/past-games.sqlite");
}

bool PastGames::fail(const QString& why) {
    failed_ = true;
    error_ = why;
    return false;
}

bool PastGames::succeed() {
    failed_ = false;
    error_.clear();
    skipped_ = 0;
    return true;
}

bool PastGames::record(const PastGame& game, const ReviewRecord* review) {
    Connection c;
    QString error;
    if (!c.open(path_, true, &error)) return fail(error);
    // The write lock is taken before the layout is looked at, so the check,
    // any upgrade and the row go in as one.
    if (!c.exec("BEGIN IMMEDIATE", &error)) return fail(error);
    const auto rollBack = [&](const QString& why) {
        QString ignored;
        c.exec("ROLLBACK", &ignored);
        return fail(why);
    };
    const int version = c.version(&error);
    if (version < 0) return rollBack(error);
    // A damaged page that reading the list never touches could still take
    // the new rows (a free-page list pointing into a table, say) and spoil
    // what reads today: a file that is not whole is not written to.
    if (version > 0) {
        Statement check(c.db(), "PRAGMA quick_check(1)");
        if (!check.ok() || check.step() != SQLITE_ROW || check.text(0) != QLatin1String("ok"))
            return rollBack(QStringLiteral("the file is damaged"));
    }
    if (!c.migrate(version, &error)) return rollBack(error);

    Statement st(c.db(),
                 "INSERT INTO PastGames (PlayedAt, PeriodStart, PeriodEnd, Level, DataMode, GameLength, Periods,"
                 " Trades, Score, Verdict, Ending, Scenario, StartingCapital, RuleSet, Practice, Commissions)"
                 " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
    if (!st.ok()) return rollBack(c.engineError());
    st.bind(1, game.playedAt.toString(Qt::ISODate));
    st.bind(2, game.periodStart.toString(Qt::ISODate));
    st.bind(3, game.periodEnd.toString(Qt::ISODate));
    st.bind(4, levelName(game.level));
    st.bind(5, dataModeName(game.dataMode));
    st.bind(6, gameLengthName(game.length));
    st.bind(7, qint64{game.periods});
    st.bind(8, qint64{game.trades});
    st.bind(9, game.score);
    st.bind(10, game.verdict.left(kMostVerdict));
    st.bind(11, gameEndingName(game.ending));
    st.bind(12, game.scenario.left(kMostScenario));
    st.bind(13, review ? review->startingCapital : 0.0);
    st.bind(14, ruleSetName(game.rules));
    st.bind(15, qint64{game.practice ? 1 : 0});
    st.bind(16, game.commissions);
    if (st.step() != SQLITE_DONE) return rollBack(c.engineError());
    if (review) {
        error = writeReview(c.db(), sqlite3_last_insert_rowid(c.db()), *review);
        if (!error.isEmpty()) return rollBack(error);
    }
    if (!c.exec("COMMIT", &error)) return rollBack(error);
    return succeed();
}

std::vector<PastGame> PastGames::games() {
    // No file yet: no games, and nothing to make until there is one.
    if (!QFileInfo::exists(path_)) {
        succeed();
        return {};
    }
    Connection c;
    QString error;
    if (!c.open(path_, false, &error)) return fail(error), std::vector<PastGame>{};
    const int version = c.version(&error);
    if (version < 0) return fail(error), std::vector<PastGame>{};
    std::vector<PastGame> out;
    int skipped = 0;
    if (version > 0) {
        Statement st(c.db(), QByteArray("SELECT ") + kColumns + (version >= 2 ? kReviewColumns : kNoReviewColumns) +
                                 (version >= 3 ? kRulesColumns : kNoRulesColumns) +
                                 " FROM PastGames ORDER BY PlayedAt DESC, GameID DESC");
        if (!st.ok()) return fail(c.engineError()), std::vector<PastGame>{};
        LocalTimes times;
        int rc;
        while ((rc = st.step()) == SQLITE_ROW) {
            // A damaged row hides only itself: it is counted, and the rest listed.
            if (std::optional<PastGame> g = readRow(st, times)) out.push_back(std::move(*g));
            else ++skipped;
        }
        if (rc != SQLITE_DONE) return fail(c.engineError()), std::vector<PastGame>{};
    }
    succeed();
    skipped_ = skipped;
    return out;
}

std::optional<ReviewRecord> PastGames::review(qint64 id) {
    const auto none = [] { return std::optional<ReviewRecord>{}; };
    if (!QFileInfo::exists(path_)) return succeed(), none();
    Connection c;
    QString error;
    if (!c.open(path_, false, &error)) return fail(error), none();
    const int version = c.version(&error);
    if (version < 0) return fail(error), none();
    if (version < 2) return succeed(), none();
    const QString damaged = QStringLiteral("the review of this game cannot be read");
    ReviewRecord r;
    double score = 0;
    {
        Statement st(c.db(), QByteArray("SELECT Level, StartingCapital, Score, DataMode, GameLength, Scenario") +
                                 (version >= 3 ? ", RuleSet, Commissions" : ", 'Classic', 0") +
                                 " FROM PastGames WHERE GameID = ?1");
        if (!st.ok()) return fail(c.engineError()), none();
        st.bind(1, id);
        if (st.step() != SQLITE_ROW || !st.isNumber(1) || !st.isNumber(2) || !st.isNumber(7) || st.bytes(0) > 16 ||
            st.bytes(3) > 16 || st.bytes(4) > 16 || st.bytes(5) > 4 * kMostScenario || st.bytes(6) > 16 ||
            !levelFromName(st.text(0), &r.level) || !ruleSetFromName(st.text(6), &r.rules))
            return fail(damaged), none();
        r.startingCapital = st.real(1);
        score = st.real(2);
        r.dataMode = dataModeFromName(st.text(3));
        const std::optional<GameLength> length = gameLengthFromName(st.text(4));
        r.scenario = st.text(5);
        if (r.dataMode == DataMode::None || !length || r.scenario.size() > kMostScenario) return fail(damaged), none();
        r.length = *length;
        r.commissions = st.real(7);
        if (r.startingCapital == 0) return succeed(), none();
    }
    {
        Statement st(c.db(), "SELECT Period, Day, Hour, AccountValue, Oil, Gold, TBond, SP500, Cattle, Soybean"
                             " FROM GamePeriods WHERE GameID = ?1 ORDER BY Period");
        if (!st.ok()) return fail(c.engineError()), none();
        st.bind(1, id);
        int rc;
        while ((rc = st.step()) == SQLITE_ROW) {
            for (int col : {0, 2, 3, 4, 5, 6, 7, 8, 9})
                if (!st.isNumber(col)) return fail(damaged), none();
            if (st.integer(0) != static_cast<qint64>(r.periods.size()) + 1 ||
                r.periods.size() >= static_cast<size_t>(kPriceRecordCount))
                return fail(damaged), none();
            ReviewPeriod p;
            p.date = QDate::fromString(st.text(1), Qt::ISODate);
            p.hour = static_cast<int>(std::clamp<qint64>(st.integer(2), -1, 7));
            p.accountValue = st.real(3);
            for (Market m : kTradingOrder) p.prices[static_cast<size_t>(index(m))] = st.real(4 + index(m));
            r.periods.push_back(p);
        }
        if (rc != SQLITE_DONE) return fail(c.engineError()), none();
    }
    {
        Statement st(c.db(), QByteArray("SELECT Number, Period, Market, Side, MarginCall, Amount, Price") +
                                 (version >= 3 ? ", OrderType, Asked" : ", 'Market', 0") +
                                 (version >= kJournalVersion ? ", Note" : ", ''") +
                                 " FROM GameTrades WHERE GameID = ?1 ORDER BY Number");
        if (!st.ok()) return fail(c.engineError()), none();
        st.bind(1, id);
        int rc;
        while ((rc = st.step()) == SQLITE_ROW) {
            for (int col : {0, 1, 4, 5, 6, 8})
                if (!st.isNumber(col)) return fail(damaged), none();
            if (r.trades.size() > TradeLog::kMaxRecords) return fail(damaged), none();
            TradeRecord t;
            t.number = static_cast<int>(std::clamp<qint64>(st.integer(0), -1, TradeLog::kMaxRecords + 1));
            t.day = static_cast<int>(std::clamp<qint64>(st.integer(1), -1, kPriceRecordCount));
            t.marginCall = st.integer(4) != 0;
            t.amount = static_cast<float>(std::clamp(st.real(5), -1e6, 1e6));
            t.price = static_cast<float>(std::clamp(st.real(6), -1e8, 1e8));
            // The type is measured before it is read.
            bool typed = false;
            if (st.bytes(7) <= 16)
                if (const std::optional<OrderType> type = orderTypeFromName(st.text(7))) {
                    t.orderType = *type;
                    typed = true;
                }
            if (!marketFromName(st.text(2), &t.market) || !sideFromName(st.text(3), &t.side) || !typed)
                return fail(damaged), none();
            // A market order's asked price is its fill price (or none, in a
            // record older than the column); the trade record keeps none.
            const double asked = st.real(8);
            t.asked = t.orderType != OrderType::Market ? asked : (asked == 0 || asked == st.real(6) ? 0 : -1);
            // A note is measured before it is read; its text is checked with the record.
            if (st.bytes(9) > 4 * TradeJournal::kMostNote) return fail(damaged), none();
            if (const QString note = st.text(9); !note.isEmpty()) r.notes.insert(t.number, note);
            r.trades.push_back(t);
        }
        if (rc != SQLITE_DONE) return fail(c.engineError()), none();
    }
    if (!reviewRecordProblem(r).isEmpty()) return fail(damaged), none();
    // The score listed is the review's: the last account value less the
    // starting capital.
    const double last = r.periods.empty() ? r.startingCapital : r.periods.back().accountValue;
    if (!sameFigure(last, r.startingCapital + score)) return fail(damaged), none();
    succeed();
    return r;
}

std::vector<BestScore> bestScores(const std::vector<PastGame>& games) {
    std::vector<BestScore> best;
    for (RuleSet rules : {RuleSet::Classic, RuleSet::Trainer})
        for (Level level : {Level::Novice, Level::Expert}) {
            const PastGame* top = nullptr;
            for (const PastGame& g : games)
                if (g.level == level && g.rules == rules && !g.practice &&
                    (!top || g.score > top->score || (g.score == top->score && g.playedAt < top->playedAt)))
                    top = &g;
            if (top) best.push_back({level, *top, rules});
        }
    return best;
}

} // namespace pellucar
