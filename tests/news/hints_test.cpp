// The helpful hints: which come at which period and trade count, and how long
// each holds the next back, across games.
#include "news/hints.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

using namespace pellucar;

namespace {

const char* const kH1 = "Don't be Scared to Execute A Trade ";
const char* const kH2 = "Don't be Scared to Execute a Trade ";
const char* const kH3 = "Be Careful Not to Trade too Much:  Commissions Eat Up Profits";
const char* const kH4 = "  Be Careful Not to Trade too Much:  Commissions Eat Up Profits";

QStringList texts(const QList<Hint>& hints) {
    QStringList out;
    for (const Hint& h : hints) {
        EXPECT_EQ(h.title, "* Helpful Hint *");
        EXPECT_EQ(h.number, 1);
        out << h.text;
    }
    return out;
}

} // namespace

TEST(Hints, NoTradeByPeriod15AndNothingMoreUntil106) {
    HintAdvisor a;
    for (int p = 1; p < 15; ++p)
        ASSERT_TRUE(a.give(p, 0).isEmpty()) << p;
    EXPECT_EQ(texts(a.give(15, 0)), QStringList{kH1});
    // Counts that would bring a hint at once are held back to period 105.
    EXPECT_TRUE(a.give(20, 10).isEmpty());
    EXPECT_TRUE(a.give(60, 1).isEmpty());
    EXPECT_TRUE(a.give(105, 1).isEmpty());
    EXPECT_EQ(texts(a.give(106, 1)), QStringList{kH2});
    EXPECT_EQ(a.nextHintPeriod(), 196);
}

TEST(Hints, PeriodsPerTradeAboveAndBelowTheLimits) {
    HintAdvisor at45, at46;
    EXPECT_TRUE(at45.give(45, 1).isEmpty()) << "45 periods per trade is not above 45";
    EXPECT_EQ(texts(at46.give(46, 1)), QStringList{kH2});
    EXPECT_EQ(at46.nextHintPeriod(), 136);

    HintAdvisor busy, early;
    EXPECT_EQ(texts(busy.give(4, 3)), QStringList{kH4});
    EXPECT_EQ(busy.nextHintPeriod(), 94);
    EXPECT_TRUE(early.give(3, 2).isEmpty()) << "period 3 is too early";
    EXPECT_EQ(texts(early.give(4, 3)), QStringList{kH4}) << "and it held nothing back";
}

TEST(Hints, TenTradesByPeriod20AndTheLastStepSeesTheNewHoldBack) {
    HintAdvisor ten;
    EXPECT_EQ(texts(ten.give(20, 10)), QStringList{kH3});
    EXPECT_EQ(ten.nextHintPeriod(), 110);
    // 14 trades: 1.43 periods per trade, which alone would bring the other
    // over-trading hint; H3's hold-back to 110 stops it in the same call.
    HintAdvisor fourteen;
    EXPECT_EQ(texts(fourteen.give(20, 14)), QStringList{kH3});
    HintAdvisor ratioOnly;
    EXPECT_TRUE(ratioOnly.give(21, 14).isEmpty()) << "1.5 periods per trade is not below 1.5";
    EXPECT_EQ(texts(ratioOnly.give(21, 15)), QStringList{kH4});
}

TEST(Hints, AHintLateInOneGameHoldsTheNextGameBack) {
    // The second game's own course: no trade by 15, ten trades by 20, then
    // one trade made long ago.
    auto trades = [](int p) { return p <= 15 ? 0 : p <= 30 ? 10 : 1; };
    HintAdvisor fresh;
    EXPECT_EQ(texts(fresh.give(15, trades(15))), QStringList{kH1}) << "on its own the course brings hints";

    HintAdvisor a;
    EXPECT_EQ(texts(a.give(200, 4)), QStringList{kH2}); // 50 periods per trade in the first game
    EXPECT_EQ(a.nextHintPeriod(), 290);
    for (int p = 1; p <= 290; ++p)
        ASSERT_TRUE(a.give(p, trades(p)).isEmpty()) << "period " << p;
    EXPECT_EQ(texts(a.give(291, trades(291))), QStringList{kH2});
}
