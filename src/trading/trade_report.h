#pragma once
#include "common/report_grid.h"

#include <QString>
#include <functional>

namespace pellucar {

class Account;
class TradeJournal;
class TradeLog;

// The game clock's name for the time of day of a period ("4:00 pm").
using TimeOfDay = std::function<QString(int day)>;

// The trade history report. Its columns:
//
//   "  #  " | "Day" | "Time" | "Security" | "Transaction        " | "Amount" | "Price" | "P(L)"
//
// then an entry per trade in trade-number order: number, day, time of day,
// market, transaction, amount ("#,##0"), price ("$" and two decimals; TBond
// and Soybean " $" and up to six decimals), and the dollars the fill realized
// (empty for a fill that closed nothing). With no trades a text row
// carries "* No Trades Executed *".
//
// For every market with an open position, in trading order, follow
//   a rule of asterisks,
//   the heading ("OIL:", "Gold:", "TBond:", "SP500:", "Cattle:", "Soybean:"),
//   "" | "" | "Average Price of" | market name | "Position  =" | "" | " $20.40"
// where the average price is the open lots' |units| x price over |position|.
//
// With `orderColumns` (a Trainer game) two columns follow: "Order", the type
// of order that filled, and "Asked", the price it asked for (empty for a
// market order). With a `journal`, a last column "Note" gives each trade's.
ReportGrid tradeReport(const TradeLog& log, const Account& account, const TimeOfDay& timeOfDay,
                       bool orderColumns = false, const TradeJournal* journal = nullptr);

} // namespace pellucar
