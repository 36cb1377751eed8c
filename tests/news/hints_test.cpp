// The helpful hints: which come at which period and trade count, and how long each holds the next back.
#include "news/hints.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

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

struct Call {
    int period, trades;
    const char* hint; // nullptr: none
};

// One advisor asked at each call in turn; then the period it holds back to.
struct HintCase {
    const char* name;
    std::vector<Call> calls;
    int nextHintPeriod; // 0: not checked
};

const HintCase kCases[] = {
    {"no trade by period 15", {{14, 0, nullptr}, {15, 0, kH1}}, 0},
    // Counts that would bring a hint at once are held back to period 105.
    {"held back after the first",
     {{15, 0, kH1}, {20, 10, nullptr}, {60, 1, nullptr}, {105, 1, nullptr}, {106, 1, kH2}},
     196},
    {"45 periods per trade is not above 45", {{45, 1, nullptr}}, 0},
    {"46 periods per trade", {{46, 1, kH2}}, 136},
    {"over 1.5 trades a period", {{4, 3, kH4}}, 94},
    {"period 3 is too early and holds nothing back", {{3, 2, nullptr}, {4, 3, kH4}}, 0},
    {"ten trades by period 20", {{20, 10, kH3}}, 110},
    // 1.43 periods per trade alone would bring H4; H3's hold-back stops it in the same call.
    {"fourteen trades by period 20", {{20, 14, kH3}}, 110},
    {"1.5 periods per trade is not below 1.5", {{21, 14, nullptr}, {21, 15, kH4}}, 0},
};

} // namespace

TEST(Hints, EachCourseBringsItsHintsAndHoldsTheNextBack) {
    for (const HintCase& c : kCases) {
        HintAdvisor a;
        for (const Call& call : c.calls)
            EXPECT_EQ(texts(a.give(call.period, call.trades)), call.hint ? QStringList{call.hint} : QStringList{})
                << c.name << " at period " << call.period;
        if (c.nextHintPeriod) {
            EXPECT_EQ(a.nextHintPeriod(), c.nextHintPeriod) << c.name;
        }
    }
}
