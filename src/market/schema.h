#pragma once
// The market database layout. The game only reads it; the database builder
// and the test fixtures create it from this one text so the two never drift.
//
// Dates are ISO text: Date 'YYYY-MM-DD', DateTime 'YYYY-MM-DD HH:MM:SS',
// NRTime 'HH:MM:SS'. Commodity ids: 1 Cattle, 2 Gold, 3 Oil, 4 SP500,
// 5 Soybean, 6 TBond; id 0 is for texts of no market (the disclaimer).
// DailyData prices are in each market's own unit, Soybean in CENTS per bushel.
// TickData.realprice is encoded: ids 1-4 price / 10; Soybean whole dollars +
// fraction x 0.8; TBond whole points + 32nds / 100.

namespace pellucar::schema {

// The file's stamp, kept in the SQLite header so the game can tell its own
// database from any other SQLite file without reading past the first page.
// The application id spells "PLCR"; the format version counts changes of the
// layout below that an older game could not read.
inline constexpr int kApplicationId = 0x504C4352;
inline constexpr int kFormatVersion = 1;
// PRAGMA takes no bound parameters; these are the two numbers above.
inline constexpr const char* kStampSql = "PRAGMA application_id = 1347175250; PRAGMA user_version = 1;";

namespace detail {
// The decimal number that follows `key` in `text`, or -1.
constexpr long long numberAfter(const char* text, const char* key) {
    for (const char* t = text; *t; ++t) {
        const char* a = t;
        const char* k = key;
        while (*k && *a == *k) ++a, ++k;
        if (*k) continue;
        long long n = 0;
        for (; *a >= '0' && *a <= '9'; ++a) n = n * 10 + (*a - '0');
        return n;
    }
    return -1;
}
} // namespace detail
static_assert(detail::numberAfter(kStampSql, "application_id = ") == kApplicationId);
static_assert(detail::numberAfter(kStampSql, "user_version = ") == kFormatVersion);

inline constexpr const char* kCreateSql = R"SQL(
CREATE TABLE DailyData (
  CommodityID  INTEGER NOT NULL,
  Date         TEXT    NOT NULL,
  Open         REAL    NOT NULL,
  High         REAL    NOT NULL,
  Low          REAL    NOT NULL,
  Close        REAL    NOT NULL,
  OpenInterest INTEGER NOT NULL DEFAULT 0,
  DayVolume    INTEGER NOT NULL DEFAULT 0,
  Contract     TEXT,
  Source       TEXT
);
CREATE INDEX DailyData_Commodity_Date ON DailyData (CommodityID, Date);
CREATE INDEX DailyData_Date ON DailyData (Date);
CREATE TABLE TickData (
  CommodityID INTEGER NOT NULL,
  DateTime    TEXT    NOT NULL,
  realprice   REAL    NOT NULL
);
CREATE INDEX TickData_Commodity_DateTime ON TickData (CommodityID, DateTime);
CREATE TABLE TickTradeDaysResults (
  Date TEXT NOT NULL PRIMARY KEY
);
CREATE TABLE OverviewNews (
  Date        TEXT    NOT NULL,
  CommodityID INTEGER NOT NULL,
  News        TEXT    NOT NULL,
  PRIMARY KEY (Date, CommodityID)
);
CREATE TABLE SortedTickNewsReleases (
  NRDate  TEXT NOT NULL,
  NRTime  TEXT NOT NULL,
  NRTitle TEXT NOT NULL,
  NRStory TEXT NOT NULL
);
CREATE INDEX SortedTickNewsReleases_Date ON SortedTickNewsReleases (NRDate, NRTime);
CREATE TABLE DataSources (
  CommodityID INTEGER NOT NULL,
  Market      TEXT    NOT NULL,
  Year        INTEGER NOT NULL,
  Source      TEXT    NOT NULL,
  Kind        TEXT    NOT NULL,
  Rows        INTEGER NOT NULL DEFAULT 0
);
)SQL";

// The hourly figures of every tick day, worked out by the builder from
// TickData exactly as the game works them out from the trades: the first,
// highest, lowest and last decoded price in each period's window, for the
// periods that saw a trade. A game reads these few rows a day instead of
// every trade. Optional: a file without the table is read trade by trade.
inline constexpr const char* kCreateTickPeriodsSql = R"SQL(
CREATE TABLE TickPeriods (
  CommodityID INTEGER NOT NULL,
  Date        TEXT    NOT NULL,
  Period      INTEGER NOT NULL,
  Price       REAL    NOT NULL,
  High        REAL    NOT NULL,
  Low         REAL    NOT NULL,
  Last        REAL    NOT NULL,
  PRIMARY KEY (CommodityID, Date, Period)
) WITHOUT ROWID;
)SQL";

} // namespace pellucar::schema
