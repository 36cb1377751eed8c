// A damaged market database (bytes patched, or values rewritten through the
// engine) opened, loaded and played; what must hold is listed in README.md.
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
const fuzz::EditableTable kTables[] = {{"DailyData", kDaily},
                                       {"TickData", kTicks},
                                       {"TickTradeDaysResults", kTickDays},
                                       {"OverviewNews", kOverviews},
                                       {"SortedTickNewsReleases", kReleases},
                                       {"TickPeriods", kHours}};

// A loader either fills its target and says how much it read, or fails,
// says why, and leaves the target as it was.
void loaded(const MarketDatabase& db, int n, bool unchanged, const QString& what) {
    if (n == kLoadFailed) {
        if (!db.failed() || db.lastError().isEmpty()) fuzz::fail("a load failed without a reason", what);
        if (!unchanged) fuzz::fail("a failed load changed its target", what + ": " + db.lastError());
    } else if (n < 0 || db.failed()) {
        fuzz::fail("a load neither failed nor succeeded", what + QStringLiteral(" returned %1").arg(n));
    }
}

// One market's periods of every loaded day, bit for bit: a NaN read from
// the file is still "as it was".
QByteArray periodsOf(const MarketData& data, int id) {
    QByteArray bytes;
    for (const TickDay& day : data.tickDays)
        for (const TickPeriod& p : day.periods[static_cast<size_t>(id)]) {
            bytes += static_cast<char>(p.seen);
            for (const double v : {p.price, p.high, p.low, p.last})
                bytes += QByteArray(reinterpret_cast<const char*>(&v), sizeof v);
        }
    return bytes;
}

// Whether the file's indexes hold what its tables hold. A patch can make
// them disagree where no checksum tells; each query then gets the engine's
// own answer, which differs with the index it is planned on.
bool indexesAgree() {
    sqlite3* db = nullptr;
    bool agree = false;
    if (sqlite3_open_v2(g_file->path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check(1)", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            agree = std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") == 0;
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return agree;
}

void loadPeriods() {
    MarketDatabase db;
    if (!db.open(g_file->path())) {
        // A refused file says why, and nothing stays open.
        if (db.lastError().isEmpty() || db.isOpen()) fuzz::fail("refused database", db.lastError());
        return;
    }
    MarketData daily;
    const QDate year(1990, 1, 1);
    int n = LoadTradingDays(db, QStringLiteral("Daily"), false, year, daily.tradingDays);
    loaded(db, n, daily.tradingDays.days.isEmpty(), QStringLiteral("daily trading days"));
    if (n >= 0 && n != daily.tradingDays.count()) fuzz::fail("trading days miscounted", QString::number(n));
    for (int id = 1; id <= kMarketCount; ++id) {
        n = LoadDailyData(db, id, year, daily.series[id]);
        loaded(db, n, daily.series[id].rows.isEmpty(), QStringLiteral("daily rows of %1").arg(id));
        if (n >= 0 && n != daily.series[id].count()) fuzz::fail("daily rows miscounted", QString::number(id));
    }
    AlignSeriesToTradingDays(daily);
    for (int id = 1; id <= kMarketCount; ++id) {
        const MarketSeries& s = daily.series[id];
        // Aligned: row i of every loaded series is trading day i.
        if (s.count() != 0 && s.count() != daily.tradingDays.count())
            fuzz::fail("series not aligned",
                       QStringLiteral("id %1: %2 rows, %3 days").arg(id).arg(s.count()).arg(daily.tradingDays.count()));
        for (int i = 0; i < s.count(); ++i)
            if (s.rows[i].date != daily.tradingDays.days[i])
                fuzz::fail("series row on another day", QString::number(id));
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

    // The stories read with the days are, at every checkpoint, the ones
    // the checkpoint's own query finds. The fixture's stories (and the
    // dates the edits write) fall on the first two days.
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
            // Days out of order in a damaged file leave some outside the
            // range read; the game asks the database for those itself.
            if (readAll && !db.failed() && stories.covers(day) && stories.released(day, *w) != asked &&
                indexesAgree()) {
                const auto list = [](const QList<NewsRelease>& l) {
                    QStringList out;
                    for (const NewsRelease& r : l)
                        out << r.date.toString(Qt::ISODate) + ' ' + r.time.toString() + ' ' + r.title.left(30);
                    return out.join(QStringLiteral("; "));
                };
                fuzz::fail("the stories read with the days differ from a checkpoint's own",
                           QStringList{day.toString(Qt::ISODate) + QStringLiteral(" hour %1").arg(hour),
                                       QStringLiteral("with the days: ") + list(stories.released(day, *w)),
                                       QStringLiteral("its own: ") + list(asked)});
            }
        }
    }
}

// A short game of each kind on the file, through the core as the player
// would play it.
void play(FuzzedDataProvider& in) {
    test::Harness h(g_file->path());
    // Whatever the file holds, the game keeps its own rules; the one notice
    // beyond them is that the file could not be read.
    soak::GameChecker checker(true);
    const auto act = [&](const QString& what, auto&& f) {
        f();
        if (h.game->ended()) return;
        if (QStringList bad = checker.check(*h.game, h.dialogs.transcript()); !bad.isEmpty())
            fuzz::fail("a rule broke on a damaged file", QStringList{what} + bad + h.dialogs.transcript());
        h.take();
    };
    h.start();
    if (h.game->ended()) return; // the game refused the file, as it should have
    // Enough presses to trade and, in the tick game, to pass a news hour.
    for (const bool tick : {false, true}) {
        act(QStringLiteral("setup"), [&] {
            h.setup({{"level", "Expert"},
                     {"data", tick ? "Tick" : "Daily"},
                     {"length", "Month"},
                     {"period", "select"},
                     {"month", "1"},
                     {"year", tick ? "1996" : "1990"}});
        });
        for (int i = 0; i < (tick ? 7 : 4) && !h.game->ended(); ++i) {
            act(QStringLiteral("forward"), [&] { h.forward(); });
            if (i == 2 && !h.game->ended()) {
                const Market market = in.ConsumeBool() ? Market::Oil : Market::TBond;
                const Side side = in.ConsumeBool() ? Side::Buy : Side::Sell;
                const int units = in.ConsumeIntegralInRange(1, 5);
                act(QStringLiteral("trade"), [&] { h.order(market, side, units); });
            }
        }
        act(QStringLiteral("reports"), [&] {
            h.game->click(QStringLiteral("btnNewsHist"));
            h.game->click(QStringLiteral("btnTradeHist"));
        });
        if (h.game->ended()) return;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startQt();
    // The file as the builder writes it, with its hourly figures, and one
    // without them, whose ticks are read trade by trade.
    for (const bool hours : {false, true}) {
        test::FixtureDb db(QStringLiteral("fuzz-database"));
        fuzz::buildSmallMarket(db);
        if (hours) db.addTickPeriods(QDate(1996, 1, 1), QDate(1996, 1, 31));
        // Small pages: a patch lands on a page header, a cell pointer or a
        // record far more often than in a file of 4 KiB pages.
        db.exec(QStringLiteral("PRAGMA page_size=512"));
        db.exec(QStringLiteral("VACUUM"));
        g_valid[hours] = test::fileBytes(db.path());
    }
    static fuzz::MemoryDatabase file(QStringLiteral("database"));
    g_file = &file;
    // The check that excuses a damaged file must pass a sound one.
    for (const QByteArray& valid : g_valid) {
        g_file->write(valid);
        if (valid.isEmpty() || !indexesAgree()) fuzz::fail("fixture", QStringLiteral("empty or failing its check"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 2);
    QByteArray file = g_valid[in.ConsumeBool()];
    if (mode != 0) {
        g_file->write(file);
        fuzz::editValues(in, g_file->path(), kTables, kTexts, 1600);
        file = g_file->read();
    }
    if (mode != 1) fuzz::patchBytes(in, file);
    g_file->write(file);
    loadPeriods();
    // A game costs some twenty loads; every other input plays one.
    if (in.ConsumeBool()) play(in);
    return 0;
}
