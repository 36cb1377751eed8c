#pragma once
// Builds the market database futures.mdb from the project's data folder:
//   daily/<Market>.csv                date,open,high,low,close,volume,open_interest,contract,source
//   news/releases_1996_1997.csv       date,time,title,story
//   news/overview_1983_1996.csv       year,market,text
//   news/disclaimer.txt
// and, optionally, a file of real intraday trades (market,datetime,price).
// The same inputs always give the same bytes.

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <vector>

namespace pellucar::mkdb {

struct MarketInfo {
    int id;                                 // commodity id, the database key
    const char* name;                       // as in data/daily/<name>.csv and the game's records
    std::array<const char*, 6> sampleTimes; // HH:MM:SS of tick periods 1-6
};

// In commodity-id order (1 Cattle ... 6 TBond).
const std::array<MarketInfo, 6>& markets();
const MarketInfo* marketByName(const QString& name); // case-insensitive; null if unknown

struct DailyRow {
    QString date; // YYYY-MM-DD
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    qint64 volume = 0;
    qint64 openInterest = 0;
    QString contract;
    QString source;
};

// "real OHLC" or "settlement only", from a row's source tag
// (settlement files are tagged FILE.csv:COLUMN).
QString kindOfSource(const QString& sourceTag);

// The raw file a tag stands for, as DataSources names it: "CL1" is
// CHRIS-CME_CL1.csv, "F_GC" is F_GC.txt, "GOLD.csv:PRICE" the PRICE column
// of GOLD.csv, "F_ES:E-mini" F_ES.txt where it follows the E-mini.
QString sourceFileOf(const QString& sourceTag);

// The tick price as the game stores it. Prices are in the market's own daily
// units (Soybean in cents). Ids 1-4 store price / 10; Soybean stores dollars
// as whole + fraction x 0.8; TBond stores whole points + 32nds / 100, with
// the price taken to the nearest half 32nd.
double encodeTickPrice(int commodityId, double price);

// The six period prices of a day built from its open, high, low and close:
// open, first extreme twice, second extreme twice, close. The first extreme is
// the low on a day that closes at or above its open, the high otherwise.
std::array<double, 6> periodPrices(const DailyRow& day);

// The computed first part of a market-year overview.
QString yearSummary(const MarketInfo& market, int year, const std::vector<DailyRow>& rowsOfYear);

// Told now and then while trades are imported: the stage ("read",
// "written") and the trades it has done so far.
using Progress = std::function<void(const char* stage, qint64 trades)>;

struct Options {
    QString dataDir;
    QString ticksFile; // empty: every tick is derived
    QString output;
    Progress progress = {};
};

struct Report {
    std::map<QString, qint64> rowsPerTable;
    QStringList warnings;
};

// Builds into OUTPUT.tmp and renames it over OUTPUT on success. On failure
// returns false with a message naming the file (and line) at fault; OUTPUT is
// left as it was.
bool buildDatabase(const Options& options, Report* report, QString* error);

} // namespace pellucar::mkdb
