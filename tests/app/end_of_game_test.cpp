// The end of a game: verdict bands and draws, the record of past games.
#include "app/past_games.h"
#include "app/verdicts.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

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

namespace {

struct Ended : Harness {
    explicit Ended(const QString& level) : Harness(sharedDaily1990()) { startDaily1990(level); }
    // Game > End after `presses` periods; returns the verdict line.
    QString endAfter(int presses, QList<double> draws) {
        forward(presses);
        take();
        for (double d : draws) random.push(d);
        dialogs.queueAnswer("btnContinue");
        game->click("mnuEnd");
        const QStringList t = take();
        return t.isEmpty() ? QStringLiteral("(no window)") : t.last().section(QStringLiteral("\\n"), -1);
    }
};

} // namespace

TEST(Verdict, DrawsComeFromTheGamesRandomSource) {
    // No gain and no trade: the quiet row. Expert draws 1..6, 5 and 6 say nothing.
    EXPECT_EQ(Ended("Expert").endAfter(46, {0.0}), "Staying Alive to Try Another Day");
    EXPECT_EQ(Ended("Expert").endAfter(46, {0.2}), "Maybe Next Time");                  // draw 2
    EXPECT_EQ(Ended("Expert").endAfter(46, {0.4}), "All Volatility is Born of Desire"); // draw 3
    EXPECT_EQ(Ended("Expert").endAfter(46, {0.5}), "Remember to Let Gains Run");        // draw 4
    EXPECT_EQ(Ended("Expert").endAfter(46, {0.7}), "");
    // A Novice's draw of 1 in 3 says nothing.
    EXPECT_EQ(Ended("Novice").endAfter(46, {0.0}), "");
    EXPECT_EQ(Ended("Novice").endAfter(46, {0.5}), "Next Time Maybe Try More Trades");
    // Within the first 45 periods Game > End gives no verdict and draws nothing.
    Ended early("Expert");
    EXPECT_EQ(early.endAfter(45, {0.0}), "");
    EXPECT_EQ(early.random.remaining(), 1);
}

namespace {

// A daily month game of 1990 that records its end, with the mean line of
// the moving average switched off.
struct Lifecycle : RecordedGame {
    Lifecycle() { game->click("mnuMoving", 0); }
    bool on(const QString& key) const { return game->isActionable(key); }
    void forwardUntilOver() { forwardUntil(QStringLiteral("frmGameOver")); }
};

struct Ending {
    const char* name;
    std::function<void(Lifecycle&)> end;
};

const Ending kEndings[] = {
    {"Game Over at the game's length", [](Lifecycle& g) { g.forwardUntilOver(); }},
    {"Play Again from Game > Restart",
     [](Lifecycle& g) {
         g.forward(3);
         g.dialogs.queueAnswer("btnRestartGame");
         g.game->click("mnuNewGame");
     }},
    {"Play Again from Game > End with the trade report open",
     [](Lifecycle& g) {
         g.forward(3);
         g.game->click("btnTradeHist");
         g.dialogs.queueAnswer("btnRestartGame");
         g.game->click("mnuEnd");
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
        EXPECT_FALSE(g.game->model().visible("TradeGrid"));
        EXPECT_TRUE(g.game->model().visible("GraphLeft"));
        EXPECT_FALSE(g.on("btnChangePeriod"));
        EXPECT_FALSE(g.on("btnTrade"));
        EXPECT_EQ(g.text("lblDate"), "");
        // Looking at the (empty) reports does not free Forward.
        for (const char* k : {"btnTradeHist", "btnCloseTradeHistory", "btnNewsHist", "btnCloseNewsHist"})
            g.game->click(k);
        g.take();
        EXPECT_FALSE(g.on("btnChangePeriod"));
        EXPECT_FALSE(g.on("btnTrade"));
        // The next game comes from Game > Start, with the chart defaults.
        g.newGame();
        EXPECT_TRUE(g.on("btnChangePeriod"));
        EXPECT_TRUE(g.game->model().checked("mnuMoving_0"));
        g.forward(2);
        EXPECT_EQ(g.text("lblDate"), "Date: 1/2/1990");
        EXPECT_FALSE(g.game->model().visible("TradeGrid"));
        g.dialogs.queueAnswer("btnRestartGame");
        g.game->click("mnuEnd");
        EXPECT_EQ(g.store.games().size(), 2u);
    }
}
