#include "trading/trade_report.h"

#include "common/format.h"
#include "trading/account.h"
#include "trading/contract_terms.h"
#include "trading/trade_log.h"

namespace pellucar {

namespace {

constexpr int kColumns = 7;

QStringList row(std::initializer_list<QString> cells) {
    QStringList r(cells);
    while (r.size() < kColumns)
        r.append(QString());
    return r;
}

QString recordedPrice(Market m, float price) {
    if (contractTerms(m).doubleQuote)
        return QStringLiteral(" $") + formatPatternF(price, QStringLiteral("#,###.#0####"));
    return QStringLiteral("$") + formatStandardF(price);
}

QString sectionHeading(Market m) {
    return m == Market::Oil ? QStringLiteral("OIL:") : marketName(m) + ':';
}

} // namespace

QList<QStringList> tradeReportRows(const TradeLog& log, const Account& account, const TimeOfDay& timeOfDay) {
    QList<QStringList> rows;
    rows.append({QStringLiteral("  #  "), QStringLiteral("Day"), QStringLiteral("Time"),
                 QStringLiteral("Security"), QStringLiteral("Transaction        "), QStringLiteral("Amount"),
                 QStringLiteral("Price")});
    for (const TradeRecord& r : log.records()) {
        rows.append({QString::number(r.number), QString::number(r.day),
                     timeOfDay ? timeOfDay(r.day) : QString(), marketName(r.market), r.transaction,
                     formatWhole(r.amount), recordedPrice(r.market, r.price)});
    }
    if (log.count() == 0) rows.append(row({QStringLiteral("* No Trades Executed *")}));

    const QStringList asterisks(kColumns, QString(10, '*'));
    for (Market m : kTradingOrder) {
        if (account.position(m) == 0) continue;
        rows.append(asterisks);
        rows.append(row({sectionHeading(m)}));
        rows.append(row({QString(), QString(), QStringLiteral("Average Price of"), marketName(m),
                         QStringLiteral("Position  ="), QString(),
                         formatPattern(account.lots(m).averagePrice(), QStringLiteral(" $#,##0.#0###"))}));
    }
    return rows;
}

} // namespace pellucar
