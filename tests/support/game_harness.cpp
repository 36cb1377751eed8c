#include "support/game_harness.h"

#include "app/view/control_table.h"
#include "market/market_data.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <sqlite3.h>

namespace pellucar::test {

QStringList Harness::newGame(const GameSpec& wanted) {
    static const char* const kLengths[] = {"Month", "Quarter", "Year"};
    setup({{"level", levelName(wanted.level)},
           {"length", kLengths[static_cast<int>(wanted.length)]},
           {"data", wanted.data == DataMode::Tick ? "Tick" : "Daily"},
           {"period", "select"},
           {"month", QString::number(wanted.month)},
           {"year", QString::number(wanted.year)}});
    return take();
}

QString Harness::texts(const QStringList& keys) const {
    QStringList out;
    for (const QString& k : keys) out << text(k);
    return out.join(QStringLiteral(" | "));
}

void Harness::choose(Market m, Side side) {
    game->click(QStringLiteral("btnTrade"));
    if (state().settings.level == Level::Expert) game->click(keysOf(m).button);
    game->click(side == Side::Buy ? QStringLiteral("btnBuy") : QStringLiteral("btnSell"));
}

void Harness::enter(Market m, Side side, int units) {
    choose(m, side);
    game->setText(QStringLiteral("inputUnits"), QString::number(units));
    game->keyPress(QStringLiteral("inputUnits"), Key::Enter);
}

RecordedGame::RecordedGame(GameLength length, const QString& db) : Harness(db, &store) {
    startGame({.length = length});
}

QString Harness::forwardUntil(const QString& window) {
    for (int i = 0; i < 400; ++i) {
        forward();
        for (const QString& line : take())
            if (line.startsWith(window)) return line;
    }
    return {};
}

QByteArray SaveHarness::saved() const { return fileBytes(savedGamePath(folder)); }

QStringList SaveHarness::resume(const QByteArray& bytes) {
    if (!writeFile(savedGamePath(folder), bytes)) return {QStringLiteral("the save could not be put in place")};
    return resume();
}

QByteArray savedGameOfFormat(quint32 format, const QByteArray& payload) {
    QByteArray file;
    QDataStream s(&file, QIODevice::WriteOnly);
    s.writeRawData("PLCRSAVE", 8);
    s << format << quint32(payload.size());
    s.writeRawData(payload.constData(), static_cast<int>(payload.size()));
    return file + QCryptographicHash::hash(file, QCryptographicHash::Sha256);
}

void buildDaily1990(FixtureDb& db, const QDate& last) {
    db.addWeekdays(QDate(1990, 1, 1), last,
                   [](int id, int day) { return id == 3 ? 20.0 + 0.25 * day : kFirstPrices1990[id - 1]; });
    db.addOverview(QDate(1965, 10, 17), 0, QStringLiteral("A game, not advice."));
    db.addOverview(QDate(1989, 1, 1), 3, QStringLiteral("Oil in 1989."));
}

void buildTickJanuary1996(FixtureDb& db, const QDate& last) {
    db.exec(QStringLiteral("BEGIN"));
    const QList<QDate> days = weekdays(QDate(1996, 1, 1), last);
    for (int d = 0; d < days.size(); ++d) {
        db.addTickDay(days[d]);
        for (int id = 1; id <= 6; ++id) {
            for (int k = 1; k <= 6; ++k) {
                const QString when =
                    days[d].toString(Qt::ISODate) + ' ' + tickSamplingTime(id, k).toString(QStringLiteral("HH:mm:ss"));
                // Oil 18.00 + 0.01 an hour; flat: Soybean 7.25 dollars, TBond 118 5/32, the rest 100.00.
                const double oil = (18.0 + 0.01 * (d * 6 + k - 1)) / 10.0;
                db.addTick(id, when, id == 3 ? oil : id == 5 ? 7.2 : id == 6 ? 118.05 : 10.0);
            }
        }
    }
    db.exec(QStringLiteral("COMMIT"));
    db.addOverview(QDate(1965, 10, 17), 0, QStringLiteral("A game, not advice."));
    db.addNews(QDate(1996, 1, 2), QStringLiteral("08:30:00"), QStringLiteral("Early Report"),
               QStringLiteral("Short story."));
    db.addNews(QDate(1996, 1, 2), QStringLiteral("11:01:00"), QStringLiteral("Noon Report"), QString(400, 'x'));
    db.addNews(QDate(1996, 1, 2), QStringLiteral("10:15:00"), QStringLiteral("Mid Report"), QString(700, 'y'));
}

const QString& sharedDaily1990() {
    static FixtureDb db("shared_daily1990");
    [[maybe_unused]] static const bool built = (buildDaily1990(db), true);
    return db.path();
}

const QString& sharedTickJanuary1996() {
    static FixtureDb db("shared_tick1996");
    [[maybe_unused]] static const bool built = (buildTickJanuary1996(db), true);
    return db.path();
}

PastGame pastGameSample(Level level, double score, int minute) {
    return {.playedAt = QDateTime(QDate(2026, 3, 1), QTime(20, minute)),
            .periodStart = QDate(1994, 1, 3),
            .periodEnd = QDate(1994, 3, 31),
            .level = level,
            .dataMode = minute % 2 ? DataMode::Tick : DataMode::Daily,
            .length = GameLength::Quarter,
            .periods = 63,
            .trades = minute,
            .score = score,
            .verdict = QStringLiteral("Don't You Wish This Was Real Money!"),
            .ending = GameEnding::EndedByPlayer,
            .scenario = {},
            .reviewKept = false};
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Harness::shownOf(const QStringList& keys) const {
    QStringList out;
    for (const QString& k : keys)
        if (game->model().visible(k)) out << k;
    return out.join(' ');
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool sql(const QString& path, const char* statement) {
    sqlite3* db = nullptr;
    const bool ran = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                     sqlite3_exec(db, statement, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ran;
}

int countLines(const QStringList& lines, const QString& needle) {
    int n = 0;
    for (const QString& l : lines) n += l.contains(needle) ? 1 : 0;
    return n;
}

} // namespace pellucar::test
