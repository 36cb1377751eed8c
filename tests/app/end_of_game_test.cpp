// The end of a game: verdict bands and draws, the record of past games.
#include "app/verdicts.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace pellucar;
using namespace pellucar::test;

TEST(Verdict, BandEdgesAreSinglePrecisionAndFlatGamesSplitOnTrades) {
    // Each edge, and the float just past it on the other side.
    struct Edge {
        float g;
        VerdictBand at, below;
    } edges[] = {
        {1.0f, VerdictBand::Double, VerdictBand::Strong},         {0.25f, VerdictBand::Strong, VerdictBand::Good},
        {0.1f, VerdictBand::Positive, VerdictBand::Positive},     {-0.1f, VerdictBand::SmallLoss, VerdictBand::Loss},
        {-0.25f, VerdictBand::HeavyLoss, VerdictBand::HeavyLoss},
    };
    for (const Edge& e : edges) {
        EXPECT_EQ(verdictBand(e.g, 0, false), e.at) << e.g;
        EXPECT_EQ(verdictBand(std::nextafter(e.g, -2.0f), 0, false), e.below) << e.g;
    }
    EXPECT_EQ(verdictBand(std::nextafter(0.1f, 1.0f), 0, false), VerdictBand::Good);
    EXPECT_EQ(verdictBand(std::nextafter(-0.25f, 1.0f), 0, false), VerdictBand::Loss);
    // No gain: a Novice is busy above 4 trades, an Expert above 5.
    EXPECT_EQ(verdictBand(0.0f, 5, true), VerdictBand::FlatBusy);
    EXPECT_EQ(verdictBand(0.0f, 4, true), VerdictBand::FlatQuiet);
    EXPECT_EQ(verdictBand(0.0f, 6, false), VerdictBand::FlatBusy);
    EXPECT_EQ(verdictBand(0.0f, 5, false), VerdictBand::FlatQuiet);
    EXPECT_EQ(verdictText(VerdictBand::FlatBusy, 0, 1), "All That Work For Nothing!");
    EXPECT_EQ(verdictText(VerdictBand::FlatQuiet, 0, 1), "Next Time Maybe Try More Trades");
    EXPECT_EQ(verdictText(VerdictBand::HeavyLoss, 2, 2), "Ever Thought About Living in Texas?");
}

// Game > End after the presses, with the draws queued: the verdict line.
// No gain and no trade is the quiet row; an Expert draws 1..6, 5 and 6 say
// nothing, a Novice's draw of 1 in 3 says nothing; within the first 45
// periods there is no verdict and nothing is drawn.
TEST(Verdict, DrawsComeFromTheGamesRandomSource) {
    const struct {
        Level level;
        int presses;
        double draw;
        const char* verdict;
        int drawsLeft;
    } cases[] = {
        {Level::Expert, 46, 0.0, "Staying Alive to Try Another Day", 0},
        {Level::Expert, 46, 0.2, "Maybe Next Time", 0},
        {Level::Expert, 46, 0.4, "All Volatility is Born of Desire", 0},
        {Level::Expert, 46, 0.5, "Remember to Let Gains Run", 0},
        {Level::Expert, 46, 0.7, "", 0},
        {Level::Novice, 46, 0.0, "", 0},
        {Level::Novice, 46, 0.5, "Next Time Maybe Try More Trades", 0},
        {Level::Expert, 45, 0.0, "", 1},
    };
    for (const auto& c : cases) {
        Harness h(sharedDaily1990());
        h.startGame({c.level});
        h.forward(c.presses);
        h.take();
        h.random.push(c.draw);
        h.end("btnContinue");
        const QStringList t = h.take();
        ASSERT_EQ(t.size(), 1) << c.draw;
        EXPECT_EQ(t[0].section(QStringLiteral("\\n"), -1), c.verdict) << c.draw;
        EXPECT_EQ(h.random.remaining(), c.drawsLeft) << c.draw;
    }
}

namespace {

// A daily month game of 1990 that records its end, with the mean line of
// the moving average switched off.
struct Lifecycle : RecordedGame {
    Lifecycle() { game->click("mnuMoving", 0); }
    bool on(const QString& key) const { return game->isActionable(key); }
};

struct Ending {
    const char* name;
    std::function<void(Lifecycle&)> end;
};

const Ending kEndings[] = {
    {"Game Over at the game's length", [](Lifecycle& g) { g.forwardUntil(QStringLiteral("frmGameOver")); }},
    {"Play Again from Game > Restart",
     [](Lifecycle& g) {
         g.forward(3);
         g.end("btnRestartGame", "mnuNewGame");
     }},
    {"Play Again from Game > End with the trade report open",
     [](Lifecycle& g) {
         g.forward(3);
         g.game->click("btnTradeHist");
         g.end("btnRestartGame");
     }},
};

} // namespace

TEST(PlayAgain, TheDeskWaitsForTheNextGameAndThatGameStartsAfresh) {
    for (const Ending& e : kEndings) {
        SCOPED_TRACE(e.name);
        Lifecycle g;
        e.end(g);
        ASSERT_EQ(g.store.games().size(), 1u);
        // The window is back to its state between games: no report, no
        // Forward or Trade, the date gone with the game.
        EXPECT_EQ(g.shownOf({"TradeGrid", "GraphLeft"}), "GraphLeft");
        EXPECT_FALSE(g.on("btnChangePeriod") || g.on("btnTrade"));
        EXPECT_EQ(g.text("lblDate"), "");
        // Looking at the (empty) reports does not free Forward.
        for (const char* k : {"btnTradeHist", "btnCloseTradeHistory", "btnNewsHist", "btnCloseNewsHist"})
            g.game->click(k);
        g.take();
        EXPECT_FALSE(g.on("btnChangePeriod") || g.on("btnTrade"));
        // The next game comes from Game > Start, with the chart defaults.
        g.newGame({.length = GameLength::Month});
        EXPECT_TRUE(g.on("btnChangePeriod"));
        EXPECT_TRUE(g.game->model().checked("mnuMoving_0"));
        g.forward(2);
        EXPECT_EQ(g.text("lblDate"), "Date: 1/2/1990");
        EXPECT_FALSE(g.game->model().visible("TradeGrid"));
        g.end("btnRestartGame");
        EXPECT_EQ(g.store.games().size(), 2u);
    }
}
