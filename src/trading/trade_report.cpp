#include "trading/trade_report.h"

#include "common/format.h"
#include "trading/account.h"
#include "trading/contract_terms.h"
#include "trading/trade_journal.h"
#include "trading/trade_log.h"

namespace pellucar {

namespace {

QString recordedPrice(Market m, float price) {
    if (contractTerms(m).doubleQuote)
        return QStringLiteral(" $") + formatPatternF(price, QStringLiteral("#,###.#0####"));
    return QStringLiteral("$") + formatStandardF(price);
}

QString sectionHeading(Market m) { return m == Market::Oil ? QStringLiteral("OIL:") : marketName(m) + ':'; }

ReportRow text(const QStringList& cells) { return {ReportRow::Kind::Text, cells}; }

} // namespace

ReportGrid tradeReport(const TradeLog& log, const Account& account, const TimeOfDay& timeOfDay, bool orderColumns,
                       const TradeJournal* journal) {
    ReportGrid grid;
    grid.header = {QStringLiteral("  #  "),
                   QStringLiteral("Day"),
                   QStringLiteral("Time"),
                   QStringLiteral("Security"),
                   QStringLiteral("Transaction        "),
                   QStringLiteral("Amount"),
                   QStringLiteral("Price"),
                   QStringLiteral("P(L)")};
    if (orderColumns) grid.header << QStringLiteral("Order") << QStringLiteral("Asked");
    if (journal) grid.header << QStringLiteral("Note");
    grid.rows.reserve(log.count() + 1 + 3 * kMarketCount);
    const std::vector<FillResult> fills = fillResults(log.records());
    for (const TradeRecord& r : log.records()) {
        const FillResult& fill = fills[static_cast<size_t>(r.number - 1)];
        grid.rows.append(
            {ReportRow::Kind::Entry,
             {QString::number(r.number), QString::number(r.day), timeOfDay ? timeOfDay(r.day) : QString(),
              marketName(r.market), r.transaction(), formatWhole(r.amount), recordedPrice(r.market, r.price),
              fill.closed > 0 ? QStringLiteral("$") + formatStandard(fill.realized) : QString()}});
        if (orderColumns)
            grid.rows.last().cells << orderTypeName(r.orderType)
                                   << (r.asked != 0 ? recordedPrice(r.market, static_cast<float>(r.asked)) : QString());
        if (journal) grid.rows.last().cells << journal->note(r.number);
    }
    if (log.count() == 0) grid.rows.append(text({QStringLiteral("* No Trades Executed *")}));

    for (Market m : kTradingOrder) {
        if (account.position(m) == 0) continue;
        grid.rows.append({ReportRow::Kind::Rule, {QString(10, '*')}});
        grid.rows.append(text({sectionHeading(m)}));
        grid.rows.append(text({QString(), QString(), QStringLiteral("Average Price of"), marketName(m),
                               QStringLiteral("Position  ="), QString(),
                               formatPattern(account.lots(m).averagePrice(), QStringLiteral(" $#,##0.#0###"))}));
    }
    return grid;
}

} // namespace pellucar
