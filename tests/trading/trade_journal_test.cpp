// The journal's notes and the profit or loss each fill realized.
#include "desk.h"
#include "trading/trade_journal.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace pellucar;
using namespace pellucar::test;
using enum Market;

namespace {

const struct {
    const char* name;
    int trade;
    QString text;
    const char* refusal; // "" when written
    const char* kept;    // the note afterwards
} kNotes[] = {
    {"written", 2, QStringLiteral("  broke the range  "), "", "broke the range"},
    {"longest", 2, QString(TradeJournal::kMostNote, QLatin1Char('x')), "", nullptr},
    {"too long", 2, QString(TradeJournal::kMostNote + 1, QLatin1Char('x')), "a note is at most 200 characters", ""},
    {"line break", 2, QStringLiteral("one\ntwo"), "a note holds plain text only", ""},
    {"direction mark", 2, QStringLiteral("a\u202Eb"), "a note holds plain text only", ""},
    {"no such trade", 4, QStringLiteral("later"), "There is no trade 4", ""},
    {"trade zero", 0, QStringLiteral("before"), "There is no trade 0", ""},
    {"non-Latin text", 1, QStringLiteral("Öl – 原油"), "", "Öl – 原油"},
};

TEST(TradeJournal, NotesAreBoundedPlainTextOnTradesThatExist) {
    for (const auto& row : kNotes) {
        SCOPED_TRACE(row.name);
        TradeJournal j;
        EXPECT_EQ(j.write(row.trade, row.text, 3), QString::fromUtf8(row.refusal));
        EXPECT_EQ(j.note(row.trade), row.kept ? QString::fromUtf8(row.kept) : row.text);
        // What the journal keeps, a file may hold; what it refuses, no file may.
        QMap<int, QString> file{{row.trade, row.text.trimmed()}};
        EXPECT_EQ(TradeJournal::journalProblem(file, 3).isEmpty(), *row.refusal == '\0');
    }
    TradeJournal j;
    ASSERT_TRUE(j.write(1, QStringLiteral("first"), 1).isEmpty());
    EXPECT_TRUE(j.write(1, QStringLiteral("   "), 1).isEmpty());
    EXPECT_TRUE(j.notes().isEmpty()) << "a blank note removes the note";
    for (int t = 1; t <= TradeJournal::kMostNotes; ++t) ASSERT_TRUE(j.write(t, QStringLiteral("n"), 5000).isEmpty());
    EXPECT_FALSE(j.write(TradeJournal::kMostNotes + 1, QStringLiteral("n"), 5000).isEmpty());
    EXPECT_TRUE(j.write(1, QStringLiteral("changed"), 5000).isEmpty()) << "a full journal still changes its notes";
}

// Fills in order; each row's check is the same: the fills' realized figures
// sum to the account's, and each fill closes what it matched.
const struct {
    const char* name;
    std::vector<std::tuple<Market, float, double>> fills; // market, signed contracts, price
    std::vector<double> closed;
} kFills[] = {
    {"opens only", {{Oil, 3, 20.0}, {Gold, -2, 380.0}}, {0, 0}},
    {"long closed in two", {{Oil, 5, 20.0}, {Oil, -2, 21.0}, {Oil, -3, 19.5}}, {0, 2, 3}},
    {"first in, first out", {{Oil, 2, 20.0}, {Oil, 2, 22.0}, {Oil, -3, 21.0}}, {0, 0, 3}},
    {"turned round", {{SP500, 2, 300.0}, {SP500, -5, 310.0}, {SP500, 3, 305.0}}, {0, 2, 3}},
    {"short 32nds and quarter cents",
     {{TBond, -4, 101.5}, {TBond, 4, 100.96875}, {Soybean, 3, 6.1225}, {Soybean, -3, 6.25}},
     {0, 4, 0, 3}},
};

TEST(FillResults, EachFillsRealizedSumsToTheAccountsRealized) {
    for (const auto& row : kFills) {
        SCOPED_TRACE(row.name);
        Desk d;
        TradeLog log;
        for (const auto& [m, units, price] : row.fills) {
            d.fill(m, units, price);
            log.record(1, m, sideOf(units), false, units, static_cast<float>(price));
        }
        const std::vector<FillResult> results = fillResults(log.records());
        ASSERT_EQ(results.size(), row.fills.size());
        double sum = 0;
        for (size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].closed, row.closed[i]) << "fill " << i + 1;
            if (results[i].closed == 0) {
                EXPECT_EQ(results[i].realized, 0) << "fill " << i + 1;
            }
            sum += results[i].realized;
        }
        EXPECT_DOUBLE_EQ(sum, d.account.realizedPL());
    }
}

} // namespace
