// The end of a game: verdicts, Play Again, the record of past games and the review of a game.
#include "app/record/game_statistics.h"
#include "app/record/review.h"
#include "app/record/scenarios.h"
#include "app/record/verdicts.h"
#include "common/format.h"
#include "support/account_model.h"
#include "support/game_harness.h"
#include "support/random_player.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

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
    EXPECT_EQ(verdictText(VerdictBand::HeavyLoss, 2, 2), "Ever Thought About Living in Texas?");
}

// No gain and no trade is the quiet row: an Expert's draws of 5 and 6 and a Novice's 1 in 3 say
// nothing; within the first 45 periods nothing is drawn.
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
        Harness h(sharedDaily1990(), {c.level});
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

TEST(PlayAgain, TheDeskWaitsForTheNextGameAndThatGameStartsAfresh) {
    const struct {
        const char* name;
        const char* menu; // nullptr: the game runs to its length
        bool report;      // the trade report open at the end
    } endings[] = {{"Game Over at the game's length", nullptr, false},
                   {"Play Again from Game > Restart", "mnuNewGame", false},
                   {"Play Again from Game > End with the trade report open", "mnuEnd", true}};
    for (const auto& e : endings) {
        SCOPED_TRACE(e.name);
        RecordedGame g;
        const auto on = [&g](const char* key) { return g.game->isActionable(QLatin1String(key)); };
        g.game->click("mnuMoving", 0); // the mean line off: the next game must switch it on again
        if (e.menu) {
            g.forward(3);
            if (e.report) g.game->click("btnTradeHist");
            g.end("btnRestartGame", QLatin1String(e.menu));
        } else {
            g.forwardUntil(QStringLiteral("frmGameOver"));
        }
        ASSERT_EQ(g.store.games().size(), 1u);
        // Between games: no report, no Forward or Trade, no date.
        EXPECT_EQ(g.shownOf({"TradeGrid", "GraphLeft"}), "GraphLeft");
        EXPECT_FALSE(on("btnChangePeriod") || on("btnTrade"));
        EXPECT_EQ(g.text("lblDate"), "");
        // Looking at the (empty) reports does not free Forward.
        for (const char* k : {"btnTradeHist", "btnCloseTradeHistory", "btnNewsHist", "btnCloseNewsHist"})
            g.game->click(k);
        g.take();
        EXPECT_FALSE(on("btnChangePeriod") || on("btnTrade"));
        // The next game comes from Game > Start, with the chart defaults.
        g.newGame({.length = GameLength::Month});
        EXPECT_TRUE(on("btnChangePeriod"));
        EXPECT_TRUE(g.game->model().checked("mnuMoving_0"));
        g.forward(2);
        EXPECT_EQ(g.text("lblDate"), "Date: 1/2/1990");
        EXPECT_FALSE(g.game->model().visible("TradeGrid"));
    }
}

TEST(PastGamesStore, KeepsEveryFieldAcrossReopeningAndFindsAScenariosBest) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data/past-games.sqlite"));
    PastGame first = pastGameSample(Level::Novice, -1234.5, 1);
    first.verdict = QStringLiteral("You are the 'Rogue Trader'; \"quotes\" and ; semicolons");
    first.ending = GameEnding::BlownOut;
    first.scenario = scenarios().back().name;
    {
        PastGames store(path);
        EXPECT_TRUE(store.games().empty());
        EXPECT_FALSE(store.failed());
        EXPECT_FALSE(QFileInfo::exists(path)); // looking makes no file
        ASSERT_TRUE(store.record(first)) << store.lastError().toStdString();
        for (const PastGame& g : {pastGameSample(Level::Novice, 900, 2), pastGameSample(Level::Expert, 12000, 3),
                                  pastGameSample(Level::Expert, 12000, 4), pastGameSample(Level::Novice, 150, 5)})
            ASSERT_TRUE(store.record(g)) << store.lastError().toStdString();
    }
    PastGames reopened(path);
    const std::vector<PastGame> games = reopened.games();
    ASSERT_FALSE(reopened.failed()) << reopened.lastError().toStdString();
    ASSERT_EQ(games.size(), 5u);
    const PastGame& g = games.back();
    const auto fields = [](const PastGame& p) {
        return std::tuple(p.playedAt, p.periodStart, p.periodEnd, p.level, p.dataMode, p.length, p.periods, p.trades,
                          p.score, p.verdict, p.ending, p.scenario);
    };
    EXPECT_TRUE(fields(g) == fields(first));
    // The one game of that scenario is its best, whatever its score.
    const std::vector<ScenarioChoice> choices = scenarioChoices(games);
    ASSERT_TRUE(choices.back().best.has_value());
    EXPECT_EQ(choices.back().best->score, first.score);
    EXPECT_FALSE(choices.front().best.has_value());
}

// A file the record cannot use lists no game and takes none, with the reason, and is left as it was.
TEST(PastGamesStore, ADamagedForeignOrNewerFileFailsWithAReasonAndIsLeftAsItWas) {
    const struct {
        const char* name;
        bool recorded;      // a game was recorded before the change
        const char* write;  // SQL run on the file; nullptr: garbage bytes
        const char* reason; // nullptr: the database's own words
    } cases[] = {
        {"garbage", false, nullptr, nullptr},
        {"another program's", false, "CREATE TABLE Notes (Text TEXT); INSERT INTO Notes VALUES ('keep me');",
         "the file belongs to another program"},
        {"newer", true, "PRAGMA user_version = 99", "the file was written by a newer version of the game"},
        {"layout version damaged", true, "PRAGMA user_version = -1", "the file's layout version is damaged"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        if (c.recorded) {
            ASSERT_TRUE(PastGames(path).record(pastGameSample(Level::Expert, 1, 1)));
        }
        ASSERT_TRUE(c.write ? sql(path, c.write) : writeFile(path, QByteArray("not a database ").repeated(200)));
        const QByteArray before = fileBytes(path);
        PastGames store(path);
        EXPECT_TRUE(store.games().empty());
        EXPECT_TRUE(store.failed());
        EXPECT_FALSE(store.lastError().isEmpty());
        if (c.reason) {
            EXPECT_EQ(store.lastError(), c.reason);
        }
        EXPECT_FALSE(store.record(pastGameSample(Level::Expert, 2, 2)));
        EXPECT_EQ(fileBytes(path), before);
    }
}

TEST(PastGamesRecord, EachEndRecordsTheGameOnceAndContinueRecordsNothing) {
    RecordedGame r;
    r.forward();
    r.order(Market::Oil, Side::Buy, 2);
    // The game runs to its length; the Game Over window shows the score that goes into the record.
    const QString over = r.forwardUntil(QStringLiteral("frmGameOver: "));
    ASSERT_FALSE(over.isEmpty());
    std::vector<PastGame> games = r.games();
    ASSERT_EQ(games.size(), 1u);
    const PastGame& g = games[0];
    EXPECT_TRUE(std::tuple(g.ending, g.level, g.dataMode, g.length, g.trades, g.periodStart, g.practice) ==
                std::tuple(GameEnding::LengthReached, Level::Expert, DataMode::Daily, GameLength::Month, 1,
                           QDate(1990, 1, 1), false));
    EXPECT_GT(g.score, 0); // Oil rose every day
    EXPECT_TRUE(over.contains(QStringLiteral("Final Score: $") + formatStandard(g.score))) << over.toStdString();
    EXPECT_TRUE(over.endsWith(QStringLiteral("\\n") + g.verdict)) << over.toStdString();
    EXPECT_TRUE(g.periodEnd > QDate(1990, 1, 25) && g.periodEnd <= QDate(1990, 2, 1) && g.periods > 20);

    // Game > End with no game going on records nothing.
    r.end("btnContinue");
    EXPECT_EQ(r.games().size(), 1u);

    // A game ended from the menu and continued goes in once, when the player finally ends it; marked practice,
    // it is recorded so.
    r.newGame({.length = GameLength::Month});
    r.game->click(QStringLiteral("mnuPractice"));
    r.forward(3);
    r.take();
    r.end("btnContinue");
    EXPECT_EQ(r.games().size(), 1u);
    // The end window's figures (an Expert's commissions run on from the first game's trade), then the quotes drawn
    // again once it closes, not left as " Last".
    EXPECT_EQ(r.take(), QStringList{"frmEndofGame: Game Over  | Commissions: $20.00\\nUnrealized P(L): $0.00\\n"
                                    "Realized P(L): $0.00\\nFinal Score: $0.00\\n"});
    EXPECT_EQ(r.texts({"lblOilCurrMark", "CurrMarkBanner"}),
              "$20.50  +0.25 |   Current Market:    (Last Trade  *  Change)");
    r.forward(2);
    EXPECT_EQ(r.text("lblOilCurrMark"), "$21.00  +0.25");
    r.end("btnRestartGame");
    games = r.games();
    ASSERT_EQ(games.size(), 2u);
    EXPECT_TRUE(std::tuple(games[0].ending, games[0].periods, games[0].periodEnd, games[0].practice) ==
                std::tuple(GameEnding::EndedByPlayer, 5, QDate(1990, 1, 5), true));
    EXPECT_TRUE(games[0].verdict.isEmpty()); // ended within the first 45 days
}

TEST(PastGamesRecord, EndingTheProgramKeepsTheGame) {
    RecordedGame ended;
    ended.forward(4);
    ended.end("btnExit");
    ASSERT_TRUE(ended.game->ended());
    ASSERT_EQ(ended.games().size(), 1u);
    EXPECT_EQ(ended.games()[0].ending, GameEnding::EndedByPlayer);

    // A blow-out (Oil falls from $20 to 50 cents on the second day), then End in the Game Over window.
    FixtureDb crash("past_games_oil_crash");
    crash.addWeekdays(QDate(1990, 1, 1), QDate(1990, 3, 30), [](int id, int d) {
        return id != 3 ? 75.0 : d ? 0.5 : 20.0;
    });
    crash.addOverview(QDate(1965, 10, 17), 0, "x");
    RecordedGame blown(GameLength::Year, crash.path());
    blown.random.push(0.5); // not the one-in-three verdict draw
    blown.forward();
    blown.order(Market::Oil, Side::Buy, 10);
    blown.dialogs.queueAnswer("btnEnd");
    blown.forward();
    ASSERT_TRUE(blown.game->ended());
    const std::vector<PastGame> games = blown.games();
    ASSERT_EQ(games.size(), 1u);
    EXPECT_TRUE(
        std::pair(games[0].ending, games[0].verdict) ==
        std::pair(GameEnding::BlownOut, QStringLiteral("You Blew Out of the Game, by Losing All of Your Money!")));
    EXPECT_LT(games[0].score, 0);
}

TEST(PastGamesRecord, AnUnwritableRecordIsToldOnceAndPlayGoesOn) {
    RecordedGame r;
    ASSERT_TRUE(writeFile(r.path, QByteArray("damaged ").repeated(512)));
    QStringList shown;
    for (int game = 0; game < 2; ++game) {
        if (game > 0) r.newGame({.length = GameLength::Month});
        r.forward(2);
        r.end("btnRestartGame");
        shown << r.take();
    }
    EXPECT_EQ(countLines(shown, "frmPlayerNotification: Past Games | "), 1);
    EXPECT_EQ(countLines(shown, "frmEndofGame: "), 2);
    EXPECT_FALSE(r.game->ended());
    // The window says why it has nothing to show.
    r.game->click("mnuPastGames");
    const QStringList t = r.take();
    ASSERT_EQ(t.size(), 1);
    EXPECT_TRUE(t[0].startsWith("frmPastGames: Past Games | The record of past games cannot be read: "))
        << t[0].toStdString();
}

namespace {

// A recorded game under `rules` (see pastGameSample), marked practice or played in a scenario when asked.
PastGame game(Level level, RuleSet rules, double score, int minute, bool practice = false,
              const QString& scenario = {}) {
    PastGame g = pastGameSample(level, score, minute);
    g.rules = rules;
    g.practice = practice;
    g.scenario = scenario;
    return g;
}

// Fifty periods with random orders, ended from the menu; mostly in Oil, the fixture's one moving price.
void playRandomly(RecordedGame& r, std::uint64_t seed) {
    RandomPlayer player(seed);
    for (int p = 0; p < 50; ++p) {
        r.forward();
        if (player.chance(0.6)) {
            const RandomPlayer::Order o = player.order(Level::Expert);
            r.order(player.chance(0.7) ? Market::Oil : o.market, o.side, std::min(o.units, 8));
            // Now and then the journal notes the trade just made.
            const int trades = r.state().desk.tradeCount();
            if (trades > 0 && player.chance(0.3)) {
                EXPECT_EQ(r.game->writeNote(trades, QStringLiteral("period %1, \"why\"").arg(p + 1)), QString());
            }
        }
    }
    r.end("btnRestartGame");
}

} // namespace

// A record of the version before the rule sets: its games read as Classic games of market orders, not practice,
// with no commissions, and the next game brings the file up to date without losing them.
TEST(PastGamesStore, AnOlderRecordReadsAsClassicMarketOrdersAndIsBroughtUpToDate) {
    RecordedGame r(GameLength::Quarter);
    playRandomly(r, 3);
    const qint64 id = r.games().at(0).id;
    ReviewRecord kept = r.store.review(id).value();
    kept.notes.clear(); // version 2 kept no journal
    // The same game in a file of version 2, as that version wrote it.
    const QString old = r.dir.filePath(QStringLiteral("old.sqlite"));
    QByteArray make;
    for (const char* step : PastGames::migrations().first(2)) make += step;
    make += "PRAGMA application_id = " + QByteArray::number(PastGames::kApplicationId) + "; PRAGMA user_version = 2;";
    make += "ATTACH '" + QFile::encodeName(r.path) +
            "' AS now;"
            "INSERT INTO PastGames SELECT GameID, PlayedAt, PeriodStart, PeriodEnd, Level, DataMode, GameLength,"
            " Periods, Trades, Score, Verdict, Ending, Scenario, StartingCapital FROM now.PastGames;"
            "INSERT INTO GamePeriods SELECT * FROM now.GamePeriods;"
            "INSERT INTO GameTrades SELECT GameID, Number, Period, Market, Side, MarginCall, Amount, Price"
            " FROM now.GameTrades;";
    ASSERT_TRUE(sql(old, make.constData()));
    PastGames store(old);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round); // as version 2, then after the next game brought it up to date
        const std::vector<PastGame> games = store.games();
        ASSERT_EQ(games.size(), 1u + round) << store.lastError().toStdString();
        const auto g = std::find_if(games.begin(), games.end(), [id](const PastGame& p) { return p.id == id; });
        ASSERT_NE(g, games.end());
        EXPECT_EQ(std::tuple(g->rules, g->practice, g->commissions), std::tuple(RuleSet::Classic, false, 0.0));
        const std::optional<ReviewRecord> review = store.review(id);
        ASSERT_TRUE(review.has_value()) << store.lastError().toStdString();
        EXPECT_EQ(*review, kept);
        if (round == 0) {
            ASSERT_TRUE(store.record(pastGameSample(Level::Expert, 5, 9))) << store.lastError().toStdString();
        }
    }
}

// The best of each rule set and level, practice games left out.
TEST(PastGamesStore, BestScoresArePerRuleSetAndLevelAndNeverPractice) {
    using enum Level;
    using enum RuleSet;
    const struct {
        const char* name;
        std::vector<PastGame> games;
        std::vector<std::tuple<RuleSet, Level, double, int>> best; // and the trades of the game
    } cases[] = {
        {"none", {}, {}},
        {"a practice game alone", {game(Expert, Trainer, 900, 1, true)}, {}},
        {"practice beats no real game",
         {game(Expert, Classic, 100, 1), game(Expert, Classic, 900, 2, true)},
         {{Classic, Expert, 100, 1}}},
        // Newest first, as the record lists them.
        {"of equal scores the earlier game",
         {game(Novice, Classic, 150, 5), game(Expert, Classic, 12000, 4), game(Expert, Classic, 12000, 3),
          game(Novice, Classic, 900, 2)},
         {{Classic, Novice, 900, 2}, {Classic, Expert, 12000, 3}}},
        {"each rule set its own best",
         {game(Expert, Trainer, 50, 1), game(Expert, Classic, 100, 2), game(Novice, Trainer, -5, 3),
          game(Expert, Trainer, 70, 4)},
         {{Classic, Expert, 100, 2}, {Trainer, Novice, -5, 3}, {Trainer, Expert, 70, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::tuple<RuleSet, Level, double, int>> best;
        for (const BestScore& b : bestScores(c.games)) {
            EXPECT_EQ(b.rules, b.game.rules);
            best.emplace_back(b.rules, b.level, b.game.score, b.game.trades);
        }
        EXPECT_EQ(best, c.best);
        // A scenario's best is never a practice game either.
        std::vector<PastGame> played = c.games;
        for (PastGame& g : played) g.scenario = scenarios().front().name;
        const std::optional<PastGame> top = scenarioChoices(played).front().best;
        EXPECT_EQ(top.has_value(), !c.best.empty());
        if (top) {
            EXPECT_FALSE(top->practice);
        }
    }
}

// Statistics across games: a group per rule set, level and scenario; a game is won with a score above zero.
TEST(PastGamesStatistics, GroupsSumUpTheirGamesAndPracticeCountsNowhere) {
    using enum Level;
    using enum RuleSet;
    const QString first = scenarios().front().name, last = scenarios().back().name;
    using Row = std::tuple<RuleSet, Level, QString, int, double, double, int>; // games, average, best, won
    const struct {
        const char* name;
        std::vector<PastGame> games;
        std::vector<Row> rows;
    } cases[] = {
        {"no games", {}, {}},
        {"practice alone", {game(Expert, Trainer, 500, 1, true)}, {}},
        {"a flat game is not won",
         {game(Expert, Classic, 100, 1), game(Expert, Classic, -40, 2), game(Expert, Classic, 0, 3),
          game(Expert, Classic, 900, 4, true)},
         {{Classic, Expert, QString(), 3, 20, 100, 1}}},
        {"a loss is the best of losses",
         {game(Novice, Classic, -30, 1), game(Novice, Classic, -10, 2)},
         {{Classic, Novice, QString(), 2, -20, -10, 0}}},
        {"rules, then level, then by hand before scenarios in time order",
         {game(Expert, Trainer, 5, 1), game(Novice, Classic, 7, 2, false, last),
          game(Novice, Classic, 8, 3, false, first), game(Expert, Classic, 9, 4), game(Novice, Classic, 6, 5)},
         {{Classic, Novice, QString(), 1, 6, 6, 1},
          {Classic, Novice, first, 1, 8, 8, 1},
          {Classic, Novice, last, 1, 7, 7, 1},
          {Classic, Expert, QString(), 1, 9, 9, 1},
          {Trainer, Expert, QString(), 1, 5, 5, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Row> rows;
        for (const GameGroupStatistics& g : gameStatistics(c.games)) {
            rows.emplace_back(g.rules, g.level, g.scenario, g.games, g.averageScore, g.bestScore, g.won);
            EXPECT_DOUBLE_EQ(g.winRate, static_cast<double>(g.won) / g.games);
        }
        EXPECT_EQ(rows, c.rows);
        // The chart: every counted game, oldest first (the record lists the newest first).
        const std::vector<ScorePoint> points = scoresOverTime({c.games.rbegin(), c.games.rend()});
        size_t counted = 0;
        for (const PastGame& g : c.games) counted += g.practice ? 0 : 1;
        EXPECT_EQ(points.size(), counted);
        EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                                   [](const ScorePoint& a, const ScorePoint& b) { return a.playedAt < b.playedAt; }));
    }
}

TEST(GameReview, FiguresAgreeWithTheIndependentAccountOnPlayedGames) {
    for (std::uint64_t seed : {3u, 17u, 40u}) {
        SCOPED_TRACE(seed);
        RecordedGame r(GameLength::Quarter);
        playRandomly(r, seed);
        ASSERT_TRUE(r.game->lastReview().has_value());
        const ReviewRecord& rec = *r.game->lastReview();
        ASSERT_GT(rec.trades.size(), 5);
        const ReviewFigures f = reviewFigures(rec);

        AccountModel model(Level::Expert, rec.startingCapital);
        qsizetype next = 0;
        double peak = rec.startingCapital, maxDown = 0;
        int holding = 0;
        for (size_t p = 0; p < rec.periods.size(); ++p) {
            for (; next < rec.trades.size() && rec.trades[next].day <= static_cast<int>(p + 1); ++next)
                model.fill(rec.trades[next].market, std::llround(rec.trades[next].amount), rec.trades[next].price);
            const double value = model.accountValue(rec.periods[p].prices);
            EXPECT_NEAR(f.equity[p], value, 0.01) << "period " << p + 1;
            peak = std::max(peak, value);
            maxDown = std::max(maxDown, peak - value);
            bool open = false;
            for (Market m : kTradingOrder) open = open || model.position(m) != 0;
            holding += open;
        }
        const std::vector<PastGame> games = r.games();
        ASSERT_EQ(games.size(), 1u);
        EXPECT_NEAR(f.equity.back() - rec.startingCapital, games[0].score, 0.01); // the score the player saw
        EXPECT_NEAR(f.maxDrawdown, maxDown, 0.01);
        EXPECT_EQ(f.periodsInMarket, holding);

        ASSERT_EQ(f.trips.size(), model.closes().size());
        double gains = 0, losses = 0;
        std::array<double, kMarketCount> realized{};
        for (size_t i = 0; i < f.trips.size(); ++i) {
            const AccountModel::Close& c = model.closes()[i];
            EXPECT_EQ(f.trips[i].market, c.market);
            EXPECT_EQ(f.trips[i].contracts, std::llabs(c.contracts));
            EXPECT_NEAR(f.trips[i].pl, c.pl, 1e-6);
            EXPECT_LE(f.trips[i].entryPeriod, f.trips[i].exitPeriod);
            (c.pl > 0 ? gains : losses) += c.pl;
            realized[static_cast<size_t>(index(c.market))] += c.pl;
        }
        EXPECT_NEAR(losses == 0 ? -1 : *f.profitFactor, losses == 0 ? -1 : gains / -losses, 1e-9);
        // What is left open is the player's own position, and with the realized profit it makes up the
        // final account value.
        double realizedSum = 0;
        for (const MarketReview& m : f.markets) {
            EXPECT_NEAR(m.realized, realized[static_cast<size_t>(index(m.market))], 1e-6);
            EXPECT_EQ(m.openContracts, model.position(m.market)) << marketName(m.market).toStdString();
            realizedSum += m.realized;
        }
        EXPECT_NEAR(rec.startingCapital + realizedSum + f.unrealized, f.equity.back(), 0.01);
        // The exported fills' P(L) sums to the realized P(L), and the round trips' to the same.
        const auto csvSum = [](const QString& csv, const QString& column) {
            QStringList lines = csv.split('\n', Qt::SkipEmptyParts);
            const qsizetype col = lines.takeFirst().split(',').indexOf(column);
            double sum = 0;
            for (const QString& line : lines)
                sum += line.split(',').value(col).toDouble(); // no field before holds a comma
            return sum;
        };
        EXPECT_NEAR(csvSum(tradeRecordCsv(rec), "P(L)"), realizedSum, 0.01);
        EXPECT_NEAR(csvSum(roundTripsCsv(rec, f), "P(L)"), realizedSum, 0.01);
        EXPECT_FALSE(rec.notes.isEmpty());

        // The record gives back exactly what the game kept.
        EXPECT_TRUE(games[0].reviewKept);
        EXPECT_EQ(r.store.review(games[0].id), rec);
    }
}

TEST(GameReview, TheRecordOpensOldGamesWithoutAReviewAndRefusesDamagedOnes) {
    const struct {
        const char *name, *damage;
        bool failed;
    } cases[] = {
        {"a game recorded before reviews", "UPDATE PastGames SET StartingCapital = 0", false},
        {"a period missing", "DELETE FROM GamePeriods WHERE Period = 2", true},
        {"a price not a number", "UPDATE GamePeriods SET Gold = 'x' WHERE Period = 3", true},
        {"an infinite account value", "UPDATE GamePeriods SET AccountValue = 1e999 WHERE Period = 1", true},
        {"a trade after the last period", "UPDATE GameTrades SET Period = 9999 WHERE Number = 1", true},
        {"a market unknown", "UPDATE GameTrades SET Market = 'Tin' WHERE Number = 1", true},
        {"half a contract", "UPDATE GameTrades SET Amount = 0.5 WHERE Number = 1", true},
        {"trades numbered with a gap", "UPDATE GameTrades SET Number = 99 WHERE Number = 1", true},
        // Figures in range that the stored trades and prices do not give.
        {"a score that is not the review's", "UPDATE PastGames SET Score = Score + 1000", true},
        {"a period's value its trades and prices do not give",
         "UPDATE GamePeriods SET AccountValue = AccountValue + 1000 WHERE Period = 2", true},
        {"a position past its limit",
         "UPDATE GameTrades SET Amount = CASE WHEN Amount > 0 THEN 999 ELSE -999 END WHERE Number = 1", true},
        {"a price that is not the trade's", "UPDATE GameTrades SET Price = Price + 1 WHERE Number = 1", true},
        {"a note with a line break", "UPDATE GameTrades SET Note = 'a' || char(10) || 'b' WHERE Number = 1", true},
        {"an order type unknown", "UPDATE GameTrades SET OrderType = 'Iceberg' WHERE Number = 1", true},
        {"a Classic fill of a limit order", "UPDATE GameTrades SET OrderType = 'Limit' WHERE Number = 1", true},
        {"a market order that asked another price", "UPDATE GameTrades SET Asked = Price + 1 WHERE Number = 1", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordedGame r(GameLength::Quarter);
        playRandomly(r, 5);
        const qint64 id = r.games().at(0).id;
        ASSERT_TRUE(sql(r.path, c.damage));
        EXPECT_FALSE(r.store.review(id).has_value());
        EXPECT_EQ(r.store.failed(), c.failed);
        EXPECT_EQ(r.games().size(), 1u); // the game itself still reads
    }
}
