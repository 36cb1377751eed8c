// A damaged market database (bytes patched or values rewritten) opened, loaded and played; the rules: README.md.
#include "fuzz_support.h"
#include "game_checks.h"

#include "market/market_data.h"
#include "news/news_release.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace pellucar;

namespace {

QByteArray g_valid[2];                  // the file before any patch: without and with its hourly figures
fuzz::MemoryDatabase* g_file = nullptr; // where each input's file is written

// Near-valid texts make more of the loaders run than random bytes would.
const char* const kTexts[] = {"1990-01-02",
                              "1990-01-02 09:00:00",
                              "1996-01-02",
                              "1996-01-02 09:30:00",
                              "1996-01-02 08:45:00",
                              "08:30:00",
                              "11:00:00",
                              "1990-13-45",
                              "",
                              "Null",
                              "1996-01-02T09:30:00",
                              "9999-12-31",
                              "0000-00-00",
                              "1996-1-2"};
const char* const kDaily[] = {"CommodityID", "Date", "Open", "High", "Low", "Close", "OpenInterest", "DayVolume"};
const char* const kTicks[] = {"CommodityID", "DateTime", "realprice"};
const char* const kTickDays[] = {"Date"};
const char* const kOverviews[] = {"Date", "CommodityID", "News"};
const char* const kReleases[] = {"NRDate", "NRTime", "NRTitle", "NRStory"};
const char* const kHours[] = {"CommodityID", "Date", "Period", "Price", "High", "Low", "Last"};
// Every row of the fixture's tables is one of the first 260 (258 daily rows, 252 ticks, fewer of the rest).
constexpr int kRows = 260;
const fuzz::EditableTable kTables[] = {{"DailyData", kDaily},
                                       {"TickData", kTicks},
                                       {"TickTradeDaysResults", kTickDays},
                                       {"OverviewNews", kOverviews},
                                       {"SortedTickNewsReleases", kReleases},
                                       {"TickPeriods", kHours}};

// A loader fills its target and tells how much it read (`count`, if known), or fails, says why and changes nothing.
void loaded(const MarketDatabase& db, int n, bool unchanged, const QString& what, int count = -1) {
    if (n == kLoadFailed) {
        if (!db.failed() || db.lastError().isEmpty()) fuzz::fail("a load failed without a reason", what);
        if (!unchanged) fuzz::fail("a failed load changed its target", what + ": " + db.lastError());
    } else if (n < 0 || db.failed() || (count >= 0 && n != count)) {
        fuzz::fail("a load neither failed nor told what it read", what + QStringLiteral(" returned %1").arg(n));
    }
}

// One market's periods of every loaded day, bit for bit: a NaN read from the file is still "as it was".
QByteArray periodsOf(const MarketData& data, int id) {
    QByteArray bytes;
    // Built twice for every market of every input: grown an append at a time, it was a thirtieth of an input's time.
    bytes.reserve(data.tickDays.size() * static_cast<qsizetype>(kTicksPerDay + 1) * (1 + 4 * sizeof(double)));
    for (const TickDay& day : data.tickDays)
        for (const TickPeriod& p : day.periods[static_cast<size_t>(id)]) {
            bytes += static_cast<char>(p.seen);
            for (const double v : {p.price, p.high, p.low, p.last})
                bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
        }
    return bytes;
}

// Whether the file's indexes hold what its tables hold: a patch can make them disagree unseen, and each query then
// gets an answer that differs with the index it is planned on.
bool indexesAgree() {
    sqlite3* db = nullptr;
    bool agree = false;
    if (sqlite3_open_v2(g_file->path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK)
        sqlite3_exec(
            db, "PRAGMA integrity_check(1)",
            [](void* ok, int, char** v, char**) {
                *static_cast<bool*>(ok) = v[0] && std::strcmp(v[0], "ok") == 0;
                return 0;
            },
            &agree, nullptr);
    sqlite3_close(db);
    return agree;
}

// The highest row number of the editable tables in the file (a table it lacks counts none).
sqlite3_int64 lastRowid() {
    sqlite3* db = nullptr;
    sqlite3_int64 last = 0;
    sqlite3_open_v2(g_file->path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    for (const fuzz::EditableTable& t : kTables) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QByteArray("SELECT max(rowid) FROM ") + t.name;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            last = std::max(last, sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return last;
}

void loadPeriods() {
    MarketDatabase db;
    if (!db.open(g_file->path())) {
        if (db.lastError().isEmpty() || db.isOpen()) fuzz::fail("refused database", db.lastError());
        return;
    }
    MarketData daily;
    const QDate year(1990, 1, 1);
    int n = LoadTradingDays(db, QStringLiteral("Daily"), false, year, daily.tradingDays);
    loaded(db, n, daily.tradingDays.days.isEmpty(), QStringLiteral("daily trading days"), daily.tradingDays.count());
    for (int id = 1; id <= kMarketCount; ++id) {
        n = LoadDailyData(db, id, year, daily.series[id]);
        loaded(db, n, daily.series[id].rows.isEmpty(), QStringLiteral("daily rows of %1").arg(id),
               daily.series[id].count());
    }
    AlignSeriesToTradingDays(daily);
    for (int id = 1; id <= kMarketCount; ++id) {
        const MarketSeries& s = daily.series[id];
        // Row i of every loaded series is trading day i.
        for (int i = 0; i < s.count(); ++i)
            if (s.count() != daily.tradingDays.count() || s.rows[i].date != daily.tradingDays.days[i])
                fuzz::fail("series not aligned with the trading days", QString::number(id));
    }

    auto tick = std::make_unique<MarketData>();
    const QDate month(1996, 1, 1);
    n = LoadTradingDays(db, QStringLiteral("Tick"), true, month, tick->tradingDays);
    loaded(db, n, tick->tradingDays.days.isEmpty(), QStringLiteral("tick trading days"));
    if (n > kTickDayCapacity) fuzz::fail("more tick days than the game holds", QString::number(n));
    tick->startTickDays();
    for (int id = 1; id <= kMarketCount; ++id) {
        const QByteArray before = periodsOf(*tick, id);
        n = LoadTickData(db, id, month, true, *tick);
        loaded(db, n, before == periodsOf(*tick, id), QStringLiteral("ticks of %1").arg(id));
    }
    db.overviewNews(QDate(1965, 10, 17), 0);
    if (tick->tickDayCount() < 1) return;

    // The stories read with the days are, at every checkpoint, those its own query finds. The fixture's stories (and
    // the dates the edits write) fall on the first two days.
    const QDate first = tick->tickDays[0].date;
    const QDate last = tick->tickDays.last().date;
    const ReleaseWindow all = releaseDay();
    const PeriodStories stories(first, last, db.newsReleasesOfDays(first, last, all.from, all.to));
    const bool readAll = !db.failed();
    for (int d = 0; d < std::min(2, tick->tickDayCount()); ++d) {
        const QDate day = tick->tickDays[d].date;
        for (int hour = 1; hour <= kTickPeriodsPerDay; ++hour) {
            const std::optional<ReleaseWindow> w = releaseWindow(hour);
            if (!w) continue;
            const QList<NewsRelease> asked = db.newsReleases(day, w->from, w->to);
            // Days out of order in a damaged file leave some outside the range read; the game asks for those.
            if (readAll && !db.failed() && stories.covers(day) && stories.released(day, *w) != asked && indexesAgree())
                fuzz::fail("the stories read with the days differ from a checkpoint's own",
                           day.toString(Qt::ISODate) + QStringLiteral(" hour %1").arg(hour));
        }
    }
}

// A short game of each kind on the file, played through the core; whatever the file holds, the game keeps its rules,
// and the one notice beyond them is that the file could not be read.
void play(FuzzedDataProvider& in) {
    test::Harness h(g_file->path());
    soak::GameChecker checker(true);
    const auto check = [&](const QString& what, const QStringList& lines) {
        if (const QStringList bad = h.game->ended() ? QStringList() : checker.check(*h.game, lines); !bad.isEmpty())
            fuzz::fail("a rule broke on a damaged file", QStringList{what} + bad + lines);
    };
    h.start();
    if (h.game->ended()) return; // the game refused the file, as it should have
    // Enough presses to trade and, in the tick game, to pass a news hour.
    for (const bool tick : {false, true}) {
        check(QStringLiteral("setup"), h.newGame({.length = GameLength::Month,
                                                  .data = tick ? DataMode::Tick : DataMode::Daily,
                                                  .year = tick ? 1996 : 1990}));
        for (int i = 0; i < (tick ? 7 : 4) && !h.game->ended(); ++i) {
            h.forward();
            check(QStringLiteral("forward"), h.take());
            if (i == 2 && !h.game->ended()) {
                const Market market = in.ConsumeBool() ? Market::Oil : Market::TBond;
                const Side side = in.ConsumeBool() ? Side::Buy : Side::Sell;
                h.order(market, side, in.ConsumeIntegralInRange(1, 5));
                check(QStringLiteral("trade"), h.take());
            }
        }
        h.game->click(QStringLiteral("btnNewsHist"));
        h.game->click(QStringLiteral("btnTradeHist"));
        check(QStringLiteral("reports"), h.take());
        if (h.game->ended()) return;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startQt();
    // The file as the builder writes it, with its hourly figures, and one without, whose ticks are read one by one.
    for (const bool hours : {false, true}) {
        test::FixtureDb db(QStringLiteral("fuzz-database"));
        // The games here are January's, and their presses reach the second day, yet each load reads a year of daily
        // rows from its start and a month of ticks: two months of daily rows and the first seven tick days keep all
        // the games reach, at about half the time an input took on the whole fixture.
        fuzz::buildSmallMarket(db, QDate(1990, 2, 28), QDate(1996, 1, 9));
        if (hours) db.addTickPeriods(QDate(1996, 1, 1), QDate(1996, 1, 31));
        // Small pages: a patch lands on a page header, a cell pointer or a record far more often than with 4 KiB.
        db.exec(QStringLiteral("PRAGMA page_size=512; VACUUM"));
        g_valid[hours] = test::fileBytes(db.path());
    }
    static fuzz::MemoryDatabase file(QStringLiteral("database"));
    g_file = &file;
    // The check that excuses a damaged file must pass a sound one, and an edit can reach every row.
    for (const QByteArray& valid : g_valid) {
        g_file->write(valid);
        if (valid.isEmpty() || !indexesAgree()) fuzz::fail("fixture", QStringLiteral("empty or failing its check"));
        if (lastRowid() > kRows) fuzz::fail("fixture", QStringLiteral("rows beyond those an edit reaches"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 2); // 0 patch the bytes, 1 edit the values, 2 both
    const QByteArray& valid = g_valid[in.ConsumeBool()];
    if (mode != 0) {
        g_file->write(valid);
        fuzz::editValues(in, g_file->path(), kTables, kTexts, kRows);
    }
    if (mode != 1) {
        // One buffer for every input's patched copy: a new one each time is a new mapping of pages to fault in.
        static QByteArray file;
        if (mode == 0) {
            file.resize(valid.size());
            std::memcpy(file.data(), valid.constData(), static_cast<size_t>(valid.size()));
        } else {
            g_file->read(file);
        }
        fuzz::patchBytes(in, file);
        g_file->write(file);
    }
    loadPeriods();
    // A game costs some twenty loads; every other input plays one.
    if (in.ConsumeBool()) play(in);
    return 0;
}
