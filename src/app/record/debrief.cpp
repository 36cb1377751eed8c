#include "app/record/debrief.h"

#include "common/format.h"
#include "trading/contract_terms.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace pellucar {

namespace {

// Dollars of one contract from `from` to `to`, to the cent.
double contractDollars(Market m, double from, double to) {
    return std::round(priceDifference(to, from) * contractTerms(m).pointValue * 100) / 100;
}

HeldContract held(Market m, double first, const DebriefPoint& at) { return {at, contractDollars(m, first, at.price)}; }

QString money(double v) { return (v < 0 ? QStringLiteral("-$") : QStringLiteral("$")) + formatStandard(std::abs(v)); }

QString pointText(const DebriefPoint& p) {
    QString t = p.date.toString(QStringLiteral("MMMM d, yyyy"));
    if (p.hour > 0) t += QStringLiteral(", hour %1").arg(p.hour);
    return t;
}

} // namespace

std::vector<BriefFact> parseBriefFacts(const QString& tsv) {
    std::vector<BriefFact> facts;
    const QStringList lines = tsv.split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines[i].trimmed().split(QLatin1Char('\t'));
        if (f.size() != 4) continue;
        BriefFact fact{f[0], QDate::fromString(f[1], Qt::ISODate), f[2], f[3]};
        if (fact.date.isValid() && !fact.scenario.isEmpty()) facts.push_back(std::move(fact));
    }
    return facts;
}

std::vector<BriefFact> briefFacts(const QString& scenario) {
    static const std::vector<BriefFact> all = [] {
        QFile f(QStringLiteral(":/pellucar/scenarios/brief_facts.tsv"));
        return f.open(QIODevice::ReadOnly) ? parseBriefFacts(QString::fromUtf8(f.readAll())) : std::vector<BriefFact>{};
    }();
    std::vector<BriefFact> mine;
    std::copy_if(all.begin(), all.end(), std::back_inserter(mine),
                 [&](const BriefFact& f) { return f.scenario == scenario; });
    std::stable_sort(mine.begin(), mine.end(), [](const BriefFact& a, const BriefFact& b) { return a.date < b.date; });
    return mine;
}

std::optional<ScenarioDebrief> scenarioDebrief(const Scenario& scenario, const ReviewRecord& game,
                                               const QList<DailyRow>& after, std::vector<BriefFact> sources) {
    if (game.periods.empty()) return std::nullopt;
    ScenarioDebrief d;
    d.scenario = scenario.name;
    d.market = scenario.watch;
    const Market m = scenario.watch;
    for (const ReviewPeriod& p : game.periods) d.played.push_back({p.date, p.hour, p.prices[index(m)]});
    const QDate last = d.played.back().date;
    for (const DailyRow& r : after)
        if (r.date > last && r.close > 0 && d.following.size() < size_t(ScenarioDebrief::kDays))
            d.following.push_back({r.date, 0, r.close});
    std::sort(d.following.begin(), d.following.end(),
              [](const DebriefPoint& a, const DebriefPoint& b) { return a.date < b.date; });

    for (const TradeRecord& t : game.trades) {
        if (t.market != m) continue;
        d.heldAtEnd += t.amount;
        d.exitPeriod = std::clamp(t.day, 1, int(d.played.size())) - 1;
        d.exitPrice = t.price;
    }
    const double first = d.played.front().price;
    d.buyAndHold = held(m, first, d.played.back());
    if (!d.following.empty()) d.buyAndHoldAfter = held(m, first, d.following.back());
    // The earliest of equal prices: the first chance to have taken it.
    const auto byPrice = [](const DebriefPoint& a, const DebriefPoint& b) { return a.price < b.price; };
    d.bestLongExit = held(m, first, *std::max_element(d.played.begin(), d.played.end(), byPrice));
    d.bestShortExit = held(m, first, *std::min_element(d.played.begin(), d.played.end(), byPrice));
    d.bestShortExit.dollars = -d.bestShortExit.dollars;
    d.sources = std::move(sources);
    return d;
}

QStringList debriefLines(const ScenarioDebrief& d) {
    const QString market = marketName(d.market);
    QStringList l;
    if (d.exitPeriod) {
        const DebriefPoint& at = d.played[size_t(*d.exitPeriod)];
        l << QStringLiteral("Your last %1 trade: %2 at %3.").arg(market, pointText(at), reviewPriceText(d.exitPrice));
    } else {
        l << QStringLiteral("You did not trade %1.").arg(market);
    }
    if (d.heldAtEnd != 0)
        l << QStringLiteral("Held at the end: %1 contracts %2.")
                 .arg(formatWhole(std::abs(d.heldAtEnd)),
                      d.heldAtEnd > 0 ? QStringLiteral("long") : QStringLiteral("short"));
    l << QStringLiteral("Benchmark, one contract bought on %1 at %2 and held to %3 at %4: %5.")
             .arg(pointText(d.played.front()), reviewPriceText(d.played.front().price), pointText(d.buyAndHold.at),
                  reviewPriceText(d.buyAndHold.at.price), money(d.buyAndHold.dollars));
    l << QStringLiteral("Best exit in hindsight: long, sold on %1 at %2: %3; short, bought back on %4 at %5: %6.")
             .arg(pointText(d.bestLongExit.at), reviewPriceText(d.bestLongExit.at.price), money(d.bestLongExit.dollars),
                  pointText(d.bestShortExit.at), reviewPriceText(d.bestShortExit.at.price),
                  money(d.bestShortExit.dollars));
    if (d.buyAndHoldAfter)
        l << QStringLiteral("What followed: %1 closed at %2 on %3, %4 trading days later; the benchmark contract "
                            "would then stand at %5.")
                 .arg(market, reviewPriceText(d.buyAndHoldAfter->at.price), pointText(d.buyAndHoldAfter->at))
                 .arg(d.following.size())
                 .arg(money(d.buyAndHoldAfter->dollars));
    else l << QStringLiteral("What followed: the data ends with the game.");
    if (!d.sources.empty()) l << QStringLiteral("The brief's sources:");
    for (const BriefFact& f : d.sources)
        l << QStringLiteral("%1  \"%2\"  %3").arg(f.date.toString(Qt::ISODate), f.phrase, f.source);
    return l;
}

} // namespace pellucar
