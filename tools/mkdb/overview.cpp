// The computed opening of each market-year overview: what the year's prices
// did, in the market's own units, and plainly where the figures are not one
// contract over one whole year.
#include "mkdb.h"

#include <QDate>

#include <cmath>

namespace pellucar::mkdb {
namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

QString dayText(const QString& isoDate) {
    const QDate d = QDate::fromString(isoDate, Qt::ISODate);
    return QStringLiteral("%1 %2").arg(QLatin1String(kMonths[d.month() - 1])).arg(d.day());
}

QString contractText(const QString& yyyymm) {
    bool ok = false;
    const int v = yyyymm.toInt(&ok);
    const int month = v % 100;
    if (!ok || month < 1 || month > 12) return yyyymm;
    return QStringLiteral("%1 %2").arg(QLatin1String(kMonths[month - 1])).arg(v / 100);
}

// Between `minDecimals` and `maxDecimals` decimals, as few as the value needs.
QString decimals(double v, int minDecimals, int maxDecimals) {
    QString s = QString::number(v, 'f', maxDecimals);
    int dot = s.indexOf(QLatin1Char('.'));
    while (s.size() - dot - 1 > minDecimals && s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    return s;
}

struct Style {
    const char* futures; // how a sentence names the market
    const char* unit;    // after the first price
};

Style styleOf(const MarketInfo& m) {
    switch (m.id) {
    case 1: return {"Live cattle futures", " cents a pound"};
    case 2: return {"Gold futures", " an ounce"};
    case 3: return {"Crude oil futures", " a barrel"};
    case 4: return {"S&P 500 futures", " index points"};
    case 5: return {"Soybean futures", " a bushel"};
    default: return {"Treasury bond futures", " points"};
    }
}

QString priceText(const MarketInfo& m, double price) {
    switch (m.id) {
    case 1: return decimals(price, 2, 3);
    case 2:
    case 3: return QStringLiteral("$") + QString::number(price, 'f', 2);
    case 4: return QString::number(price, 'f', 2);
    case 5: return QStringLiteral("$") + decimals(price / 100.0, 2, 4); // daily rows hold cents
    default: {
        // Bond futures are quoted in points and 32nds ("83 14/32"); a half
        // 32nd is written in 64ths.
        const double whole = std::floor(price);
        const int n64 = static_cast<int>(std::lround((price - whole) * 64));
        if (n64 >= 64) return QString::number(whole + 1, 'f', 0);
        if (n64 == 0) return QString::number(whole, 'f', 0);
        return n64 % 2 ? QStringLiteral("%1 %2/64").arg(whole, 0, 'f', 0).arg(n64)
                       : QStringLiteral("%1 %2/32").arg(whole, 0, 'f', 0).arg(n64 / 2);
    }
    }
}

} // namespace

QString yearSummary(const MarketInfo& market, int year, const std::vector<DailyRow>& rows) {
    if (rows.empty()) return {};
    const Style style = styleOf(market);
    const DailyRow& first = rows.front();
    const DailyRow& last = rows.back();
    const DailyRow* high = &first;
    const DailyRow* low = &first;
    int rolls = 0;
    bool settlementOnly = true;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].close > high->close) high = &rows[i];
        if (rows[i].close < low->close) low = &rows[i];
        if (i > 0 && rows[i].contract != rows[i - 1].contract) ++rolls;
        if (kindOfSource(rows[i].source) != QLatin1String("settlement only")) settlementOnly = false;
    }
    const double change = (last.close / first.close - 1.0) * 100.0;
    const QString changeText = std::abs(change) < 0.05 ? QStringLiteral("unchanged")
                               : change > 0            ? QStringLiteral("up %1%").arg(change, 0, 'f', 1)
                                                       : QStringLiteral("down %1%").arg(-change, 0, 'f', 1);
    const QString firstPrice = priceText(market, first.close) + QLatin1String(style.unit);
    const QString y = QString::number(year);
    const bool lateStart = first.date > y + QStringLiteral("-01-15");
    const bool earlyEnd = last.date < y + QStringLiteral("-12-15");

    QString text;
    if (lateStart)
        text =
            QStringLiteral("%1 first appear in this record for %2 on %3, at %4, and closed the year at %5 on %6, %7.")
                .arg(QLatin1String(style.futures), y, dayText(first.date), firstPrice, priceText(market, last.close),
                     dayText(last.date), changeText);
    else
        text = QStringLiteral("%1 opened %2 at %3 on %4 and closed the year at %5 on %6, %7.")
                   .arg(QLatin1String(style.futures), y, firstPrice, dayText(first.date), priceText(market, last.close),
                        dayText(last.date), changeText);
    text += QStringLiteral(" The highest close was %1 on %2 and the lowest %3 on %4.")
                .arg(priceText(market, high->close), dayText(high->date), priceText(market, low->close),
                     dayText(low->date));
    if (lateStart || earlyEnd)
        text += QStringLiteral(" These figures cover only %1 to %2: the public price data this game is built from "
                               "hold nothing %3 for %4.")
                    .arg(dayText(first.date), dayText(last.date),
                         lateStart && earlyEnd ? QStringLiteral("else")
                         : lateStart           ? QStringLiteral("earlier")
                                               : QStringLiteral("later"),
                         y);
    if (rolls == 0)
        text += QStringLiteral(" All of these prices are from the %1 contract.").arg(contractText(first.contract));
    else
        text +=
            QStringLiteral(" The prices follow one contract at a time and pass through %1 during the year, "
                           "from the %2 contract to the %3 contract, so part of the change is the price gap "
                           "between delivery months rather than a move in any one contract.")
                .arg(rolls == 1 ? QStringLiteral("one contract roll") : QStringLiteral("%1 contract rolls").arg(rolls),
                     contractText(first.contract), contractText(last.contract));
    if (settlementOnly)
        text += QStringLiteral(" Only daily settlement prices survive for this year, so each day's open, high and low "
                               "are shown equal to its close.");
    return text;
}

} // namespace pellucar::mkdb
