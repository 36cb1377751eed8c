// Practice games and Game > Rewind...: a rewound game is its own past replayed decision for decision, it plays on
// as it did, and a scored Classic game never goes back (the Trainer soak resumes rewound games from their saves).
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace pellucar;
using namespace pellucar::test;

namespace {

using enum Market;
using enum Side;
using Kind = charts::Drawing::Kind;

constexpr int kLastPeriod = 13;

// Oil on the 1990 fixture is 20.00 in period 1 and a quarter more each period.
struct PracticeGame : Harness {
    bool trainer;
    explicit PracticeGame(bool trainerRules) : Harness(sharedDaily1990()), trainer(trainerRules) {
        start();
        setup({{"level", "Expert"}, {"year", "1990"}, {"rules", trainer ? "Trainer" : "Classic"}});
        if (!trainer) game->click(QStringLiteral("mnuPractice"));
        take();
    }
    QString place(Side side, int units, OrderType type, double price) {
        return game->placeOrder(OrderRequest{Oil, side, units, type, price});
    }
    // The player's decisions in `period`, made after the press that reached it.
    void decide(int period) {
        const std::map<int, std::function<void()>> classic{
            {3, [&] { order(Oil, Buy, 2); }}, {6, [&] { order(Gold, Sell, 1); }}, {11, [&] { order(Oil, Sell, 4); }}};
        // Lines on the chart: kept as they are, not replayed.
        const std::map<int, charts::Drawing> lines{{5, {Kind::Level, {5, 21.3}, {}}},
                                                   {9, {Kind::Trend, {2, 20.2}, {9, 22.1}}}};
        const std::map<int, std::function<void()>> orders{
            {2, [&] { place(Buy, 5, OrderType::Stop, 21.00); }},            // fills in period 5
            {3, [&] { game->writeNote(1, QStringLiteral("a breakout")); }}, // on the trade just made
            {4, [&] { place(Buy, 1, OrderType::Market, 0); }},              // fills at once, in period 4
            {7, [&] { place(Sell, 3, OrderType::Limit, 22.00); }},          // fills in period 9
            {8, [&] { place(Buy, 1, OrderType::Limit, 19.00); }},           // never reached...
            {10, [&] { game->cancelWorkingOrder(4); }},                     // ...and cancelled
        };
        if (classic.contains(period)) classic.at(period)();
        if (lines.contains(period)) game->drawOnChart(lines.at(period));
        if (trainer && orders.contains(period)) orders.at(period)();
    }
    void rewind(int period) {
        dialogs.queueAnswer(QString::number(period));
        game->click(QStringLiteral("mnuRewind"));
    }
};

// The game as it stood, marked as the rewound one is.
GameState marked(const GameState& then, const GameState& now) {
    GameState s = rulesOf(then);
    s.practice = now.practice;
    s.rewinds = now.rewinds;
    return s;
}

} // namespace

TEST(Rewind, EveryEarlierPeriodComesBackAsItWasAndPlaysOnAsBefore) {
    for (const bool trainer : {true, false}) {
        SCOPED_TRACE(trainer ? "Trainer" : "Classic practice");
        PracticeGame g(trainer);
        std::map<int, GameState> reached;
        for (int p = 1; p <= kLastPeriod; ++p) {
            g.forward();
            reached[p] = rulesOf(g.state());
            g.decide(p);
        }
        ASSERT_EQ(g.state().desk.tradeCount(), trainer ? 6 : 3);
        ASSERT_EQ(g.state().drawings.count(3), 2);
        g.take();
        // From the last period back to each earlier one in turn, the same game rewound again and again.
        for (int k = kLastPeriod - 1; k >= 1; --k) {
            SCOPED_TRACE(k);
            g.rewind(k);
            EXPECT_EQ(g.take().value(0),
                      QStringLiteral("frmRewind: Rewind | Go back to period (1 to %1):").arg(kLastPeriod - 1));
            EXPECT_TRUE(g.state().practice);
            EXPECT_EQ(g.state().rewinds, kLastPeriod - k);
            EXPECT_EQ(g.text("LabelDay"), QStringLiteral("Day %1:").arg(k));
            EXPECT_TRUE(rulesOf(g.state()) == marked(reached[k], g.state())) << "at period " << k;
            for (int p = k; p < kLastPeriod; ++p) {
                g.decide(p);
                g.forward();
                EXPECT_TRUE(rulesOf(g.state()) == marked(reached[p + 1], g.state())) << "at period " << p + 1;
            }
            g.take();
        }
    }
}

TEST(Rewind, OnlyAGameNotScoredAsClassicGoesBack) {
    const struct {
        const char *name, *rules;
        bool practice, tradeFirst, rewinds; // Game > Practice Game chosen, a trade before it
    } rows[] = {
        {"a scored Classic game", "Classic", false, false, false},
        {"a Classic game marked practice after its first trade", "Classic", true, true, false},
        {"a Classic game marked practice", "Classic", true, false, true},
        {"a Trainer game", "Trainer", false, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h(sharedDaily1990());
        h.start();
        h.setup({{"level", "Expert"}, {"year", "1990"}, {"rules", row.rules}});
        h.forward(2);
        if (row.tradeFirst) h.order(Gold, Buy, 1);
        if (row.practice) h.game->click(QStringLiteral("mnuPractice"));
        h.forward(3);
        h.take();
        const GameState before = h.state();
        EXPECT_EQ(h.game->isActionable(QStringLiteral("mnuRewind")), row.rewinds);
        h.dialogs.queueAnswer(QStringLiteral("2"));
        h.game->click(QStringLiteral("mnuRewind"));
        EXPECT_EQ(h.state().clock.periodIndex(), row.rewinds ? 2 : 5);
        if (row.rewinds) continue;
        EXPECT_TRUE(h.state() == before);
        EXPECT_EQ(h.take(), QStringList{});
        EXPECT_EQ(h.game->rewindTo(2), "only a practice or Trainer game goes back");
        EXPECT_EQ(h.take(), QStringList{"frmPlayerNotification: Rewind | The game cannot go back: only a practice or "
                                        "Trainer game goes back."});
        EXPECT_TRUE(h.state() == before);
    }
}
