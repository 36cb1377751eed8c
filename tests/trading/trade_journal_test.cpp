// The journal's notes. The profit or loss each fill realized is checked in the trade report and the exported record.
#include "trading/trade_journal.h"

#include <gtest/gtest.h>

using namespace pellucar;

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

} // namespace
