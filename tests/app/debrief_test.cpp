// A scenario's debrief: what followed the last day played (and nothing before it), the player's exit, the
// one-contract benchmark and the best exits in hindsight, shown after the scenario's summary.
#include "app/record/debrief.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

// "Oil, Summer 1990" watches Oil: $1,000 a contract for each dollar of price.
const Scenario& oilSummer() { return *findScenario(QStringLiteral("Oil, Summer 1990")); }

ReviewRecord played(const QList<double>& oil) {
    ReviewRecord r;
    for (int i = 0; i < oil.size(); ++i) {
        ReviewPeriod p;
        p.date = QDate(1990, 7, 2).addDays(i);
        p.prices[index(Market::Oil)] = oil[i];
        r.periods.push_back(p);
    }
    return r;
}

TradeRecord trade(int day, Market m, float amount, float price) {
    TradeRecord t;
    t.day = day;
    t.market = m;
    t.side = amount > 0 ? Side::Buy : Side::Sell;
    t.amount = amount;
    t.price = price;
    return t;
}

QList<DailyRow> days(const QDate& first, const QList<float>& closes) {
    QList<DailyRow> rows;
    for (int i = 0; i < closes.size(); ++i)
        rows.append(DailyRow{0, 0, closes[i], closes[i], closes[i], closes[i], first.addDays(i)});
    return rows;
}

} // namespace

TEST(Debrief, FollowsTheLastDayPlayedAndJudgesTheBenchmarkInHindsight) {
    const QDate lastPlayed(1990, 7, 5); // the fourth period
    const struct {
        const char* name;
        QList<double> oil;
        QList<TradeRecord> trades;
        QList<DailyRow> after;
        // Days revealed; the period of the last Oil trade; contracts at the end; dollars of one contract held to the
        // end and to the last day revealed; dollars of the best long and short exits and their periods.
        struct {
            int following;
            std::optional<int> exit;
            double held, benchmark, later, bestLong, bestShort;
            int bestLongAt, bestShortAt;
        } want;
    } rows[] = {
        {"a rise, no Oil traded, a month revealed",
         {17, 18, 20, 19},
         {trade(2, Market::Gold, 1, 400)},
         days(lastPlayed.addDays(1), QList<float>(30, 25.0f)),
         {ScenarioDebrief::kDays, std::nullopt, 0, 2000, 8000, 3000, 0, 2, 0}},
        {"a fall, bought and partly sold",
         {20, 19, 16, 18},
         {trade(1, Market::Oil, 3, 20), trade(3, Market::Oil, -1, 16)},
         days(lastPlayed.addDays(1), {17.5f, 15.0f}),
         {2, 2, 2, -2000, -5000, 0, 4000, 0, 2}},
        // Rows the game itself showed are no part of what followed, whatever the query returned.
        {"rows on and before the last day played left out",
         {17, 17.5, 17, 17.25},
         {},
         days(lastPlayed.addDays(-2), {40.0f, 40.0f, 40.0f, 18.0f}),
         {1, std::nullopt, 0, 250, 1000, 500, 0, 1, 0}},
        {"nothing followed in the data", {17, 17, 17, 17}, {}, {}, {0, std::nullopt, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ReviewRecord game = played(row.oil);
        game.trades = row.trades;
        const std::optional<ScenarioDebrief> d = scenarioDebrief(oilSummer(), game, row.after, {});
        ASSERT_TRUE(d);
        EXPECT_EQ(d->played.back().date, lastPlayed);
        ASSERT_EQ(int(d->following.size()), row.want.following);
        for (const DebriefPoint& p : d->following) EXPECT_GT(p.date, lastPlayed);
        EXPECT_EQ(d->exitPeriod, row.want.exit);
        EXPECT_EQ(d->heldAtEnd, row.want.held);
        EXPECT_EQ(d->buyAndHold.dollars, row.want.benchmark);
        EXPECT_EQ(d->buyAndHoldAfter ? d->buyAndHoldAfter->dollars : 0, row.want.later);
        EXPECT_EQ(d->bestLongExit.dollars, row.want.bestLong);
        EXPECT_EQ(d->bestShortExit.dollars, row.want.bestShort);
        EXPECT_EQ(d->bestLongExit.at, d->played[size_t(row.want.bestLongAt)]);
        EXPECT_EQ(d->bestShortExit.at, d->played[size_t(row.want.bestShortAt)]);
    }
    EXPECT_FALSE(scenarioDebrief(oilSummer(), ReviewRecord{}, {}, {}));
}

// The game shows the debrief once the scenario is over, after its summary, and only then reads what followed.
TEST(Debrief, ShownAfterTheScenariosSummaryWhenItEnds) {
    Harness h(sharedDaily1990());
    h.start();
    ASSERT_TRUE(h.game->startScenario(QStringLiteral("Stocks, Summer 1990")));
    h.forward(5);
    h.order(Market::SP500, Side::Buy, 1);
    h.forward(3);
    h.take();
    h.end(QStringLiteral("btnRestartGame"));
    const QStringList lines = h.take();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("frmEndofGame:"));
    EXPECT_TRUE(lines[1].startsWith("frmDebrief: Stocks, Summer 1990 | Your last SP500 trade: July 6, 1990 at 350."))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("What followed: SP500 closed at 350 on August 8, 1990, 20 trading days later"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("The brief's sources:"));
}
