#pragma once
#include "common/data_mode.h"
#include "common/market.h"
#include "market/database.h"

#include <QDate>
#include <QList>
#include <QTime>
#include <array>
#include <functional>

namespace pellucar {

struct TradingDays {
    QList<QDate> days;
    int count() const { return static_cast<int>(days.size()); }
    bool operator==(const TradingDays&) const = default;
};

struct MarketSeries {
    QList<DailyRow> rows;
    int count() const { return static_cast<int>(rows.size()); }
    bool operator==(const MarketSeries&) const = default;
};

inline constexpr int kTickDayCapacity = 91; // a quarter of trading days at most
inline constexpr int kTicksPerDay = 6;

// One hour of one market on a tick day.
struct TickPeriod {
    bool seen = false;
    double price = 0; // the first trade in the period's window (decoded)
    double high = 0, low = 0, last = 0;
    bool operator==(const TickPeriod&) const = default;
};

struct TickDay {
    QDate date;
    // [commodity id 1..6][period 1..6]; index 0 unused in both.
    std::array<std::array<TickPeriod, kTicksPerDay + 1>, kMarketCount + 1> periods{};
    bool operator==(const TickDay&) const = default;
};

// The six sampling times of a market's tick periods (commodity id 1..6,
// period 1..6). A tick belongs to period k when its time of day lies from
// sampling time k to 30 minutes after it, both ends included.
QTime tickSamplingTime(int commodityId, int period);

// The windows of a market's six tick periods, as seconds of the day: the
// rule by which a load and the database builder take each trade, in time
// order, into the hourly figures of its day.
struct TickWindows {
    explicit TickWindows(int commodityId);
    // A trade at `secondOfDay` at `price` (decoded) into every period whose
    // window holds it.
    void take(int secondOfDay, double price, std::array<TickPeriod, kTicksPerDay + 1>& periods) const;
    // Whether any period's window holds `secondOfDay`.
    bool holds(int secondOfDay) const;
    int from[kTicksPerDay + 1] = {}, to[kTicksPerDay + 1] = {};
};

// Decodes a stored tick price: ids 1-4 are kept as price / 10, Soybean as
// whole dollars + fraction x 0.8, TBond as whole points + 32nds / 100.
double decodeTickPrice(int commodityId, double realPrice);

// The data of the period being played: trading days, the six daily series
// (by commodity id) and, in tick games, the hourly prices of up to 91 days.
// The lists are shared until written, so a copy made to read the next period
// into costs nothing until the read fills it.
struct MarketData {
    TradingDays tradingDays;
    std::array<MarketSeries, kMarketCount + 1> series; // index = commodity id
    QList<TickDay> tickDays;                           // the tick days of the period, in order
    int tickDayCount() const { return static_cast<int>(tickDays.size()); }
    // One empty tick day for each trading day, as many as fit, each dated:
    // what a tick period's read fills.
    void startTickDays();

    // The last tick period read, kept so the same period is not read twice.
    QDate lastTickStart, lastTickEnd;
    DataMode lastLoadedMode = DataMode::None; // None until a period has been read

    void clearPeriod();
    bool operator==(const MarketData&) const = default;
};

// What the loaders below return when the database could not be read (an
// engine error such as a damaged page, or a malformed stored value): the
// reason is in MarketDatabase::lastError(), and the loader has left what it
// was to fill exactly as it was, so no half-read period is ever played.
// A period the data lacks is no failure: it loads 0 rows.
inline constexpr int kLoadFailed = -1;

// Fills `days` with the trading days from `start` to the end the mode gives
// (a year for daily data; a month or a quarter for tick data). Returns
// their number, or kLoadFailed.
int LoadTradingDays(MarketDatabase& db, const QString& dataMode, bool oneMonth, const QDate& start, TradingDays& days);
// A market's daily rows for the year from `start`. Returns their number, or
// kLoadFailed.
int LoadDailyData(MarketDatabase& db, int commodityId, const QDate& start, MarketSeries& series);
// Told, now and then while a market's ticks are read, how many of the tick
// days are behind the read (0 .. data.tickDayCount()): a long read can show
// how far it has come and let its window repaint.
using TickLoadProgress = std::function<void(int daysRead)>;
// Ticks read between two reports of progress.
inline constexpr int kTicksPerProgressReport = 4096;

// A market's ticks for the month or quarter from `start`, into the periods of
// that market on the first `data.tickDayCount()` tick days (whose dates must be
// set). Returns the number of ticks that fell on those days (of hours, when
// the file holds its hourly figures), or kLoadFailed.
int LoadTickData(MarketDatabase& db, int commodityId, const QDate& start, bool oneMonth, MarketData& data,
                 const TickLoadProgress& progress = {});

// Hands `each` every hourly figure that a trade made, of every market and
// tick day from `first` to `last`, as LoadTickData works it out from the
// trades; `each` returns false to stop. The database builder stores these.
// False when the file could not be read, or `each` stopped.
using TickPeriodSink = std::function<bool(int commodityId, const QDate& day, int period, const TickPeriod& figures)>;
bool ForEachTickPeriod(MarketDatabase& db, const QDate& first, const QDate& last, const TickPeriodSink& each);

// Lines each series up with the trading days: a market whose exchange was
// closed on a trading day gets that day's row repeated from its last close,
// so every series' row i belongs to trading day i.
void AlignSeriesToTradingDays(MarketData& data);

} // namespace pellucar
