#include "app/record/review.h"
#include "app/state/game_state.h"
#include "charts/chart_data.h"
#include "common/format.h"
#include "trading/contract_terms.h"
#include "trading/lot_book.h"
#include "trading/trade_journal.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace pellucar {

namespace {

size_t slot(Market m) { return static_cast<size_t>(index(m)); }

MarketPrices pricesOf(const PriceRecord& r) {
    MarketPrices p{};
    for (Market m : kTradingOrder) p[slot(m)] = r.get(m);
    return p;
}

bool tradesMarket(Level level, Market m) { return level == Level::Expert || m == Market::Oil; }

// Whether a fill's order is one the rules could have filled it for: a market
// order asks for nothing (every Classic trade is one); a limit or stop asks
// for a price on the market's grid, and fills there or better (a limit), or
// there or worse (a stop, on a gap through it).
bool orderAgrees(const TradeRecord& t, RuleSet rules) {
    if (t.orderType == OrderType::Market) return t.asked == 0;
    if (rules != RuleSet::Trainer || t.marginCall || !std::isfinite(t.asked) || t.asked <= 0 ||
        !onTickGrid(t.market, t.asked))
        return false;
    const double slack = 1e-6 * t.asked;
    const bool buy = t.side == Side::Buy;
    const bool better = buy ? t.price <= t.asked + slack : t.price >= t.asked - slack;
    return t.orderType == OrderType::Limit ? better : (buy ? t.price >= t.asked - slack : t.price <= t.asked + slack);
}

// The fills still open in one market, oldest first, as the round trips
// see them (the account keeps the same order in its lot book).
struct OpenPiece {
    double units; // signed
    double price;
    int trade;
    int period;
    OrderType order;
    double asked; // the fill price for a market order
};

double askedOf(const TradeRecord& t) { return t.asked != 0 ? t.asked : t.price; }

} // namespace

ReviewRecord reviewRecordOf(const GameState& s, const QString& scenario) {
    ReviewRecord r;
    r.level = s.settings.level;
    r.rules = s.settings.rules;
    r.dataMode = s.clock.dataMode();
    r.length = s.clock.setupLength();
    r.scenario = scenario;
    r.startingCapital = s.desk.account.startingCapital();
    r.commissions = s.desk.account.commissionsPaid();
    r.trades = s.desk.trades.records();
    r.notes = s.desk.journal.notes();
    for (TradeRecord& t : r.trades) t.orderId = 0;
    Account account;
    account.reset(r.level, s.desk.account.startingCapital());
    const bool tick = s.clock.dataMode() == DataMode::Tick;
    const QList<DailyRow>& days = s.market.series[static_cast<size_t>(commodityId(Market::Oil))].rows;
    const int last = std::min(s.clock.periodIndex(), kPriceRecordCount - 1);
    qsizetype next = 0;
    for (int p = 1; p <= last; ++p) {
        for (; next < r.trades.size() && r.trades[next].day <= p; ++next) {
            const TradeRecord& t = r.trades[next];
            account.applyFill(t.market, t.amount, t.price);
        }
        ReviewPeriod period;
        period.prices = pricesOf(s.prices.record(p));
        account.revalue(period.prices);
        period.accountValue = account.accountValue();
        if (tick) {
            const int day = tickDayOf(p);
            if (day < s.market.tickDayCount()) period.date = s.market.tickDays[day].date;
            period.hour = tickOfDay(p);
        } else if (p <= days.size()) {
            period.date = days[p - 1].date;
        }
        r.periods.push_back(period);
    }
    return r;
}

QString reviewRecordProblem(const ReviewRecord& r) {
    if (!std::isfinite(r.startingCapital) || r.startingCapital <= 0) return QStringLiteral("its starting capital");
    if (r.periods.size() >= static_cast<size_t>(kPriceRecordCount)) return QStringLiteral("too many periods");
    for (const ReviewPeriod& p : r.periods) {
        if (!std::isfinite(p.accountValue) || std::fabs(p.accountValue) > 1e12 || p.hour < 0 || p.hour > 6)
            return QStringLiteral("a period's account value");
        for (double v : p.prices)
            if (!std::isfinite(v) || v < 0 || v > 1e7) return QStringLiteral("a period's prices");
    }
    if (r.trades.size() > TradeLog::kMaxRecords) return QStringLiteral("too many trades");
    // Commissions are charged under the Trainer rules only, at most the
    // highest rate Options takes on every contract filled.
    double contracts = 0;
    for (const TradeRecord& t : r.trades) contracts += std::fabs(t.amount);
    if (!std::isfinite(r.commissions) || r.commissions < 0 ||
        (r.rules == RuleSet::Classic ? r.commissions != 0
                                     : r.commissions > kMostCommissionPerFill * contracts + 0.01 * r.trades.size()))
        return QStringLiteral("its commissions");
    int day = 0;
    for (qsizetype i = 0; i < r.trades.size(); ++i) {
        const TradeRecord& t = r.trades[i];
        if (t.number != i + 1 || t.day < day || t.day > static_cast<int>(r.periods.size()) ||
            !tradesMarket(r.level, t.market) || !std::isfinite(t.amount) || t.amount == 0 ||
            std::fabs(t.amount) > 1000 || t.amount != std::round(t.amount) || sideOf(t.amount) != t.side ||
            !std::isfinite(t.price) || t.price <= 0 || t.price > 1e7 || !orderAgrees(t, r.rules))
            return QStringLiteral("trade %1").arg(i + 1);
        day = t.day;
    }
    if (const QString why = TradeJournal::journalProblem(r.notes, static_cast<int>(r.trades.size())); !why.isEmpty())
        return why;
    // The figures are the trades' and prices' own: replayed as the game
    // kept them, they come out the same, and no position passes its limit.
    Account account;
    account.reset(r.level, static_cast<float>(r.startingCapital));
    qsizetype next = 0;
    for (size_t i = 0; i < r.periods.size(); ++i) {
        const int p = static_cast<int>(i) + 1;
        for (; next < r.trades.size() && r.trades[next].day <= p; ++next) {
            const TradeRecord& t = r.trades[next];
            account.applyFill(t.market, t.amount, t.price);
            if (std::fabs(account.position(t.market)) > contractTerms(t.market).positionLimit)
                return QStringLiteral("trade %1 passes the position limit").arg(next + 1);
        }
        account.revalue(r.periods[i].prices);
        if (!sameFigure(account.accountValue(), r.periods[i].accountValue))
            return QStringLiteral("period %1's account value is not its trades' and prices'").arg(p);
    }
    return {};
}

bool sameFigure(double a, double b) {
    // Each figure is a float the game worked out, stored as a double: a
    // cent, or the float's own precision on a larger figure, apart at most.
    return std::fabs(a - b) <= std::max(0.01, 1e-6 * std::max(std::fabs(a), std::fabs(b)));
}

ReviewFigures reviewFigures(const ReviewRecord& r) {
    ReviewFigures f;
    double peak = r.startingCapital;
    for (const ReviewPeriod& p : r.periods) {
        f.equity.push_back(p.accountValue);
        peak = std::max(peak, p.accountValue);
        const double down = peak - p.accountValue;
        f.drawdown.push_back(down);
        if (down > f.maxDrawdown) {
            f.maxDrawdown = down;
            f.maxDrawdownShare = peak > 0 ? down / peak : 0;
        }
    }

    std::array<std::deque<OpenPiece>, kMarketCount> open;
    std::array<bool, kMarketCount> traded{};
    std::array<double, kMarketCount> realized{};
    std::array<int, kMarketCount> trips{};
    // The account's own books, for what is left open at the end.
    std::array<LotBook, kMarketCount> books;
    std::array<double, kMarketCount> positions{};
    for (Market m : kTradingOrder) books[slot(m)] = LotBook(m);
    // Positions at the end of each period, for the time in the market.
    std::vector<bool> holding(r.periods.size() + 1, false);
    qsizetype next = 0;
    for (int p = 0; p <= static_cast<int>(r.periods.size()); ++p) {
        for (; next < r.trades.size() && r.trades[next].day <= p; ++next) {
            const TradeRecord& t = r.trades[next];
            const size_t k = slot(t.market);
            traded[k] = true;
            positions[k] += t.amount;
            books[k].book(t.amount, positions[k], t.price);
            double rest = t.amount;
            std::deque<OpenPiece>& q = open[k];
            while (rest != 0 && !q.empty() && (q.front().units > 0) != (rest > 0)) {
                OpenPiece& o = q.front();
                const double n = std::min(std::fabs(rest), std::fabs(o.units));
                // A book of one lot closed whole gives the account's own
                // rounding of this piece.
                LotBook book(t.market);
                const double units = o.units > 0 ? n : -n;
                book.book(units, units, o.price);
                const double pl = book.book(-units, 0, t.price).realized;
                f.trips.push_back({t.market, o.units > 0 ? Side::Buy : Side::Sell, o.trade, t.number, o.period, t.day,
                                   n, o.price, t.price, pl, o.order, t.orderType, o.asked, askedOf(t)});
                realized[k] += pl;
                ++trips[k];
                o.units += o.units > 0 ? -n : n;
                rest += rest > 0 ? -n : n;
                if (o.units == 0) q.pop_front();
            }
            if (rest != 0) q.push_back({rest, t.price, t.number, t.day, t.orderType, askedOf(t)});
        }
        holding[static_cast<size_t>(p)] =
            std::any_of(open.begin(), open.end(), [](const std::deque<OpenPiece>& q) { return !q.empty(); });
    }
    for (size_t p = 1; p < holding.size(); ++p) f.periodsInMarket += holding[p] ? 1 : 0;
    if (!r.periods.empty()) f.timeInMarket = static_cast<double>(f.periodsInMarket) / r.periods.size();

    double gains = 0, lossSum = 0;
    for (const RoundTrip& t : f.trips) {
        if (t.pl > 0) {
            ++f.wins;
            gains += t.pl;
            f.largestWin = std::max(f.largestWin, t.pl);
        } else if (t.pl < 0) {
            ++f.losses;
            lossSum += t.pl;
            f.largestLoss = std::min(f.largestLoss, t.pl);
        }
    }
    if (!f.trips.empty()) f.winRate = static_cast<double>(f.wins) / f.trips.size();
    if (f.wins) f.averageWin = gains / f.wins;
    if (f.losses) {
        f.averageLoss = lossSum / f.losses;
        f.profitFactor = gains / -lossSum;
    }

    for (Market m : kTradingOrder) {
        const size_t k = slot(m);
        if (!traded[k]) continue;
        MarketReview mr{m, realized[k], trips[k]};
        if (positions[k] != 0 && !r.periods.empty()) {
            mr.openContracts = positions[k];
            mr.openAverage = books[k].averagePrice();
            mr.unrealized = books[k].unrealized(r.periods.back().prices[k]);
            f.unrealized += mr.unrealized;
        }
        if (!r.periods.empty())
            mr.buyAndHold =
                priceDifference(readQuote(m, r.periods.back().prices[k]), readQuote(m, r.periods.front().prices[k])) *
                contractTerms(m).pointValue;
        f.markets.push_back(mr);
    }
    return f;
}

QString tripDirection(const RoundTrip& t) {
    return t.side == Side::Buy ? QStringLiteral("Long") : QStringLiteral("Short");
}

QString reviewPriceText(double price) { return QString::number(readPrice(static_cast<float>(price)), 'g', 10); }

QString reviewAskedText(const TradeRecord& t) { return reviewPriceText(askedOf(t)); }

QString tripOrderText(OrderType type, double asked) {
    return QStringLiteral("%1 %2").arg(orderTypeName(type), reviewPriceText(asked));
}

std::vector<ReviewLine> reviewStatistics(const ReviewRecord& r, const ReviewFigures& f) {
    const auto money = [](double v) { return QStringLiteral("$") + formatStandard(v); };
    const auto share = [](double v) { return QString::number(100 * v, 'f', 1) + '%'; };
    std::vector<ReviewLine> out{
        {QStringLiteral("Starting Capital"), money(r.startingCapital)},
        {QStringLiteral("Final Account Value"), money(f.equity.empty() ? r.startingCapital : f.equity.back())},
        {QStringLiteral("Maximum Drawdown"),
         QStringLiteral("%1 (%2)").arg(money(f.maxDrawdown), share(f.maxDrawdownShare))},
        {QStringLiteral("Round Trips"), QString::number(f.trips.size())},
        {QStringLiteral("Win Rate"),
         f.trips.empty() ? QStringLiteral("none")
                         : QStringLiteral("%1 (%2 won, %3 lost)").arg(share(f.winRate)).arg(f.wins).arg(f.losses)},
        {QStringLiteral("Profit Factor"), f.profitFactor
                                              ? QString::number(*f.profitFactor, 'f', 2)
                                              : (f.wins ? QStringLiteral("no losses") : QStringLiteral("none"))},
        {QStringLiteral("Average Win"), money(f.averageWin)},
        {QStringLiteral("Average Loss"), money(f.averageLoss)},
        {QStringLiteral("Largest Win"), money(f.largestWin)},
        {QStringLiteral("Largest Loss"), money(f.largestLoss)},
        {QStringLiteral("Time in the Market"), QStringLiteral("%1 of %2 periods (%3)")
                                                   .arg(f.periodsInMarket)
                                                   .arg(r.periods.size())
                                                   .arg(share(f.timeInMarket))},
    };
    // A Trainer game says so, and what its fills cost; a Classic review reads
    // as it always did.
    if (r.rules == RuleSet::Trainer) {
        out.insert(out.begin(), {QStringLiteral("Rules"), ruleSetName(r.rules)});
        out.insert(out.begin() + 3, {QStringLiteral("Commissions Paid"), money(r.commissions)});
    }
    int open = 0;
    for (const MarketReview& m : f.markets) open += m.openContracts != 0 ? 1 : 0;
    out.push_back({QStringLiteral("Open at the End"), open == 0 ? QStringLiteral("no positions")
                                                                : QStringLiteral("%1 position%2, unrealized %3")
                                                                      .arg(open)
                                                                      .arg(open == 1 ? "" : "s")
                                                                      .arg(money(f.unrealized))});
    for (const MarketReview& m : f.markets) {
        QString line = QStringLiteral("realized %1 in %2 round trips").arg(money(m.realized)).arg(m.roundTrips);
        if (m.openContracts != 0)
            line += QStringLiteral("; open: %1 %2 at %3, unrealized %4")
                        .arg(m.openContracts > 0 ? QStringLiteral("Long") : QStringLiteral("Short"))
                        .arg(std::fabs(m.openContracts), 0, 'f', 0)
                        .arg(reviewPriceText(m.openAverage), money(m.unrealized));
        line += QStringLiteral("; benchmark, 1 contract bought and held: %1").arg(money(m.buyAndHold));
        out.push_back({marketName(m.market), line});
    }
    return out;
}

QString reviewPeriodText(const ReviewPeriod& p) {
    static const char* const kHours[] = {"", "9:00", "10:00", "11:00", "12:00", "13:00", "14:00"};
    const QString day = p.date.toString(Qt::ISODate);
    return p.hour >= 1 && p.hour <= 6 ? day + ' ' + QLatin1String(kHours[p.hour]) : day;
}

namespace {

// A field of comma-separated text: quoted when it holds a comma, a quote
// or leading blanks, its quotes doubled.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.startsWith(QLatin1Char(' ')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvMoney(double v) { return QString::number(v, 'f', 2); }

QString periodDate(const ReviewRecord& r, int period) {
    return period >= 1 && period <= static_cast<int>(r.periods.size())
               ? reviewPeriodText(r.periods[static_cast<size_t>(period - 1)])
               : QString();
}

} // namespace

QString marketPriceText(Market m, double price) {
    return charts::valueText(charts::notationOf(commodityId(m)), readPrice(static_cast<float>(price)));
}

QString tradeRecordCsv(const ReviewRecord& r) {
    // Every fill with its price in the market's notation, the dollars it
    // realized and its note; a Trainer record (or one with working orders'
    // fills) names each fill's order and the price it asked for, a market
    // order's being its fill price.
    const bool orders = r.rules == RuleSet::Trainer || std::any_of(r.trades.begin(), r.trades.end(),
                                                                   [](const TradeRecord& t) { return t.orderId != 0; });
    QString out = QStringLiteral("Trade,Period,Date,Market,Transaction,Contracts,Price,P(L),Note");
    out += orders ? QStringLiteral(",Order,Asked\n") : QStringLiteral("\n");
    const std::vector<FillResult> fills = fillResults(r.trades);
    for (const TradeRecord& t : r.trades) {
        const FillResult& fill = fills[static_cast<size_t>(t.number - 1)];
        QStringList row{QString::number(t.number),
                        QString::number(t.day),
                        periodDate(r, t.day),
                        marketName(t.market),
                        t.transaction(),
                        QString::number(std::fabs(t.amount), 'f', 0),
                        csvField(marketPriceText(t.market, t.price)),
                        fill.closed > 0 ? csvMoney(fill.realized) : QString(),
                        csvField(r.notes.value(t.number))};
        if (orders) row << orderTypeName(t.orderType) << csvField(marketPriceText(t.market, askedOf(t)));
        out += row.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out;
}

QString roundTripsCsv(const ReviewRecord& r, const ReviewFigures& f) {
    QString out = QStringLiteral("Market,Side,Contracts,Entry Trade,Entry Period,Entry Date,Entry Price,"
                                 "Exit Trade,Exit Period,Exit Date,Exit Price,Periods Held,P(L)\n");
    for (const RoundTrip& t : f.trips) {
        const QStringList row{marketName(t.market),
                              tripDirection(t),
                              QString::number(t.contracts, 'f', 0),
                              QString::number(t.entryTrade),
                              QString::number(t.entryPeriod),
                              periodDate(r, t.entryPeriod),
                              csvField(marketPriceText(t.market, t.entryPrice)),
                              QString::number(t.exitTrade),
                              QString::number(t.exitPeriod),
                              periodDate(r, t.exitPeriod),
                              csvField(marketPriceText(t.market, t.exitPrice)),
                              QString::number(t.periodsHeld()),
                              csvMoney(t.pl)};
        out += row.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out;
}

QString roundTripsPathFor(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const bool suffix = dot > slash + 1;
    return (suffix ? path.left(dot) : path) + QStringLiteral("-round-trips") + (suffix ? path.mid(dot) : QString());
}

double reviewScore(const ReviewRecord& r) {
    return (r.periods.empty() ? r.startingCapital : r.periods.back().accountValue) - r.startingCapital;
}

QDate reviewFirstDay(const ReviewRecord& r) { return r.periods.empty() ? QDate() : r.periods.front().date; }
QDate reviewLastDay(const ReviewRecord& r) { return r.periods.empty() ? QDate() : r.periods.back().date; }

QString reviewFileStem(const ReviewRecord& r) {
    QString stem = QStringLiteral("pellucar");
    if (const QDate first = reviewFirstDay(r); first.isValid()) stem += '-' + first.toString(Qt::ISODate);
    // The scenario's name in letters and digits only, words joined by hyphens:
    // a name safe in any folder.
    QString words;
    for (QChar c : r.scenario.toLower()) {
        if (c.isLetterOrNumber() && c.unicode() < 128) words += c;
        else if (!words.isEmpty() && !words.endsWith('-')) words += '-';
    }
    while (words.endsWith('-')) words.chop(1);
    if (!words.isEmpty()) stem += '-' + words;
    return stem;
}

std::vector<ReviewLine> reviewIdentity(const ReviewRecord& r) {
    const char* length = r.length == GameLength::Month     ? "One Month"
                         : r.length == GameLength::Quarter ? "One Quarter"
                                                           : "One Year";
    const QDate first = reviewFirstDay(r), last = reviewLastDay(r);
    std::vector<ReviewLine> out{
        {QStringLiteral("Level"), levelName(r.level)},
        {QStringLiteral("Rules"), ruleSetName(r.rules)},
        {QStringLiteral("Data"), QStringLiteral("%1, %2").arg(dataModeName(r.dataMode), QLatin1String(length))},
        {QStringLiteral("Scenario"), r.scenario.isEmpty() ? QStringLiteral("none") : r.scenario},
        {QStringLiteral("Played"), QStringLiteral("%1 to %2, %3 periods")
                                       .arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate))
                                       .arg(r.periods.size())},
        {QStringLiteral("Score"), QStringLiteral("$") + formatStandard(reviewScore(r))},
    };
    return out;
}

} // namespace pellucar
