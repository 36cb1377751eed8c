#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace pellucar {

class Account;
class TradeLog;

// The game clock's name for the time of day of a period ("4:00 pm").
using TimeOfDay = std::function<QString(int day)>;

// The rows of the trade history report, every row seven cells wide in the
// columns of the header:
//
//   "  #  " | "Day" | "Time" | "Security" | "Transaction        " | "Amount" | "Price"
//
// then one row per trade in trade-number order: number, day, time of day,
// market, transaction, amount ("#,##0"), price ("$" and two decimals; TBond
// and Soybean " $" and up to six decimals). With no trades a single row
// carries "* No Trades Executed *" in its first cell.
//
// For every market with an open position, in trading order, follow
//   a row of asterisks in every cell,
//   the heading ("OIL:", "Gold:", "TBond:", "SP500:", "Cattle:", "Soybean:") in the first cell,
//   "" | "" | "Average Price of" | market name | "Position  =" | "" | " $20.40"
// where the average price is the open lots' |units| x price over |position|.
QList<QStringList> tradeReportRows(const TradeLog& log, const Account& account, const TimeOfDay& timeOfDay);

} // namespace pellucar
