// Trainer rules in the game: working orders entered between presses, filled in the press before the account is
// valued, charged and recorded; a saved game's forged orders are refused. The Trainer soak follows margin calls'
// cancels and compares every resumed game with the game saved.
#include "app/record/past_games.h"
#include "app/record/review.h"
#include "app/record/saved_game.h"
#include "support/game_harness.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::test;

namespace {

using enum Market;
using enum Side;

// Oil on the 1990 fixture: 20.00 in period 1, a quarter more each period, one price a day.
struct TrainerGame : Harness {
    explicit TrainerGame(const QString& rules = QStringLiteral("Trainer"), const QString& db = sharedDaily1990(),
                         PastGames* record = nullptr, const QString& length = QStringLiteral("Year"))
        : Harness(db, record) {
        start();
        setup({{"level", "Expert"}, {"year", "1990"}, {"rules", rules}, {"length", length}});
        take();
    }
    QString place(Side side, int units, OrderType type, double price, std::optional<double> stop = {},
                  std::optional<double> target = {}) {
        OrderRequest r{Oil, side, units, type, price};
        r.stopLoss = stop;
        r.target = target;
        return game->placeOrder(r);
    }
};

struct RecordedTrainerGame : ScratchRecord, TrainerGame {
    RecordedTrainerGame()
        : TrainerGame(QStringLiteral("Trainer"), sharedDaily1990(), &store, QStringLiteral("Month")) {}
};

} // namespace

TEST(Trainer, OrdersRestFillInThePressAndAreChargedAndRecorded) {
    TrainerGame g;
    EXPECT_EQ(g.text("GameName"), "Pellucar Trainer");
    EXPECT_EQ(g.place(Buy, 5, OrderType::Stop, 20.50), "orders are taken from the first period on");
    g.forward();
    EXPECT_EQ(g.place(Buy, 5, OrderType::Stop, 20.50), "");  // 1
    EXPECT_EQ(g.place(Sell, 2, OrderType::Stop, 19.00), ""); // 2: never reached
    EXPECT_EQ(g.place(Buy, 1, OrderType::Limit, 19.005), "Oil prices are positive and move in steps of 0.01");
    EXPECT_TRUE(g.place(Buy, 300, OrderType::Limit, 19.00).contains("Position Limit")); // as if filled now
    EXPECT_EQ(g.take().size(), 2);                                                      // each refusal told
    g.forward(2);                                                                       // period 3: 20.50
    ASSERT_EQ(g.state().desk.trades.count(), 1);
    EXPECT_EQ(g.game->cancelWorkingOrder(2), "");
    EXPECT_EQ(g.game->cancelWorkingOrder(2), "There is no such working order");

    // A bracket: sell at 21.00 (period 5), stop-loss 21.50 (period 7), target 20.00 cancelled with it.
    EXPECT_EQ(g.place(Sell, 5, OrderType::Limit, 21.00, 21.50, 20.00), "");
    g.forward(4);
    EXPECT_TRUE(g.game->workingOrders().empty());
    // Three fills of five contracts at half the $25 round turn: the end window's $187.50 below.
    EXPECT_EQ(g.position(Oil), 5);
    // Trade History names each fill's order and the price it asked for.
    g.game->click(QStringLiteral("btnTradeHist"));
    const ReportGrid& history = g.game->model().at(QStringLiteral("TradeGrid")).grid;
    EXPECT_EQ(history.header.mid(7), (QStringList{"P(L)", "Order", "Asked", "Note"}));
    ASSERT_GE(history.rows.size(), 3);
    EXPECT_EQ(history.rows[1].cells.mid(6), (QStringList{"$21.00", "$2,500.00", "Limit", "$21.00", ""}));
    g.game->click(QStringLiteral("btnCloseTradeHistory"));
    g.take();
    g.end(QStringLiteral("btnContinue"));
    EXPECT_EQ(countLines(g.take(), "| Commissions: $187.50\\n"), 1);
}

// Gold has no price for the first days of the year: an order waits them out rather than fill at the stand-in
// floor, then fills at the first real price and is charged half the round turn a contract.
TEST(Trainer, AnOrderWaitsOutAMarketWithNoPriceAndItsFillIsCharged) {
    FixtureDb db(QStringLiteral("trainer_gap"));
    buildDaily1990(db);
    db.exec(QStringLiteral("DELETE FROM DailyData WHERE CommodityID = 2 AND Date < '1990-01-08'"));
    db.exec(
        QStringLiteral("UPDATE DailyData SET Open = 398.5, High = 399, Low = 397, Close = 398 WHERE CommodityID = 2"));
    TrainerGame g(QStringLiteral("Trainer"), db.path());
    g.forward();
    ASSERT_EQ(g.game->placeOrder(OrderRequest{Gold, Buy, 3, OrderType::Limit, 399.0}), "");
    int unpriced = 0;
    while (g.state().desk.trades.count() == 0 && g.state().clock.periodIndex() < 10) {
        unpriced += g.state().prices.current.gold <= 0.05f;
        g.forward();
    }
    EXPECT_GE(unpriced, 2);
    ASSERT_EQ(g.state().desk.trades.count(), 1);
    EXPECT_EQ(g.state().prices.current.gold, 398.0f);
    EXPECT_EQ(g.state().desk.trades.records()[0].price, 398.5f);
    const Account& a = g.state().desk.account;
    EXPECT_EQ(a.unrealizedPL(), -150.0);
    EXPECT_EQ(a.accountValue(), a.startingCapital() - 150 - 37.5f);
}

// The price chart's order lines follow every change of the charted market's orders, and show no other market's.
TEST(Trainer, OrderLinesFollowEachChangeOfTheChartedMarketsOrders) {
    TrainerGame g;
    g.forward();
    ASSERT_EQ(g.place(Buy, 5, OrderType::Limit, 19.50), "");                                // 1
    ASSERT_EQ(g.place(Sell, 2, OrderType::Stop, 19.00), "");                                // 2
    ASSERT_EQ(g.game->placeOrder(OrderRequest{Gold, Buy, 3, OrderType::Limit, 399.0}), ""); // 3
    const struct {
        const char* name;
        std::function<QString()> act;
        const char* lines;
    } rows[] = {
        {"placed", [] { return QString(); }, "1 Buy 5 LMT 19.50|2 Sell 2 STP 19.00"},
        {"a price", [&] { return g.game->changeOrderPrice(1, 19.40); }, "1 Buy 5 LMT 19.40|2 Sell 2 STP 19.00"},
        {"a size", [&] { return g.game->changeOrderUnits(2, 3); }, "1 Buy 5 LMT 19.40|2 Sell 3 STP 19.00"},
        {"a press", [&] { return g.forward(), QString(); }, "1 Buy 5 LMT 19.40|2 Sell 3 STP 19.00"},
        {"a cancel", [&] { return g.game->cancelWorkingOrder(1); }, "2 Sell 3 STP 19.00"},
        {"the last", [&] { return g.game->cancelWorkingOrder(2); }, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.act(), "");
        QStringList lines;
        for (const charts::OrderLine& o : g.game->charts().left.orders)
            lines << QStringLiteral("%1 %2").arg(o.id).arg(o.label);
        EXPECT_EQ(lines.join('|'), r.lines);
    }
}

TEST(Trainer, AClassicGameTakesNoWorkingOrdersAndItsGameOverShowsNoCommission) {
    TrainerGame g(QStringLiteral("Classic"));
    g.forward();
    EXPECT_EQ(g.text("GameName"), "Pellucar");
    EXPECT_EQ(g.place(Buy, 5, OrderType::Stop, 20.50), "orders that rest are taken under Trainer rules");
    EXPECT_TRUE(g.game->workingOrders().empty());
    // The charge of the desk's own market order shows in Game Over under Trainer rules only.
    for (const char* rules : {"Classic", "Trainer"}) {
        TrainerGame d{QString::fromLatin1(rules), sharedDaily1990(), nullptr, QStringLiteral("Month")};
        d.forward();
        d.order(Oil, Buy, 2);
        EXPECT_EQ(d.forwardUntil(QStringLiteral("frmGameOver")).contains("Commissions:"), rules[0] == 'T') << rules;
    }
}

TEST(Trainer, ASavedGameResumesUnderItsRulesAndOrdersNoPlayerEnteredAreRefused) {
    QTemporaryDir dir;
    TrainerGame g;
    g.game->setSaveFolder(dir.path());
    g.forward();
    ASSERT_EQ(g.place(Buy, 5, OrderType::Stop, 20.50, 20.00), "");
    ASSERT_EQ(g.place(Sell, 3, OrderType::Market, 0, 20.25, 19.50), "");
    ASSERT_EQ(g.game->changeOrderPrice(1, 20.75), "");
    g.forward(4);
    ASSERT_EQ(g.place(Buy, 2, OrderType::Limit, 19.00), "");
    g.game->click(QStringLiteral("mnuSave"));

    SaveHarness resumed(sharedDaily1990(), dir.path());
    EXPECT_EQ(resumed.resume(), QStringList{});
    EXPECT_EQ(resumed.text("GameName"), "Pellucar Trainer");

    // The same file holding an order off the grid is refused.
    SavedGame offGrid;
    QString detail;
    ASSERT_EQ(decodeSavedGame(resumed.saved(), offGrid, &detail), SavedGameProblem::None);
    offGrid.decisions.last().request.price = 19.003;
    const QStringList seen = resumed.resume(encodeSavedGame(offGrid));
    EXPECT_EQ(countLines(seen, "The saved game could not be read: the game in it could not have been played: order "
                               "decision 4 is not an order a player could have"),
              1)
        << seen.join('\n').toStdString();
}

TEST(Trainer, AutoPlayStopsAtAFillWhenAsked) {
    for (const bool asked : {false, true}) {
        SCOPED_TRACE(asked);
        TrainerGame g;
        g.forward();
        if (asked) g.game->click(QStringLiteral("mnuStopOnFill"));
        EXPECT_EQ(g.game->model().checked(QStringLiteral("mnuStopOnFill")), asked);
        ASSERT_EQ(g.place(Buy, 1, OrderType::Stop, 21.00), ""); // reached in period 5
        g.game->click(QStringLiteral("btnAutoPlay"));
        for (int i = 0; i < 8 && g.game->autoPlay().running(); ++i) g.game->autoPlayStep();
        EXPECT_EQ(g.game->autoPlay().stopReason() == "an order's fill", asked);
        if (asked) {
            EXPECT_EQ(g.state().clock.periodIndex(), 5);
        }
    }
}

TEST(Trainer, AFormat3SavedGameResumesAsClassic) {
    QTemporaryDir dir;
    TrainerGame g(QStringLiteral("Classic"));
    g.game->setSaveFolder(dir.path());
    g.forward();
    g.order(Oil, Buy, 2);
    g.forward(2);
    g.game->click(QStringLiteral("mnuSave"));
    // The same game as format 3 wrote it: without the first day and the scenario (four set-up fields and the
    // month and year come before them, four bytes each; no scenario is four bytes too), and without the rules,
    // the rate, each trade's order and the decisions, the practice mark and the rewinds, the chart's
    // tuning, the notes and the six markets' lines at the end.
    const QByteArray file = fileBytes(savedGamePath(dir.path()));
    const QByteArray payload = file.mid(16, file.size() - 16 - 32)
                                   .chopped(4 + 8 + (4 + 4 + 8) + 4 + (1 + 4) + 18 + 4 + 6 * 4)
                                   .remove(6 * 4, 4 + 4);
    SaveHarness resumed(sharedDaily1990(), dir.path());
    resumed.resume(savedGameOfFormat(3, payload));
    EXPECT_EQ(resumed.state().settings.rules, RuleSet::Classic);
    EXPECT_EQ(resumed.state().desk.trades, g.state().desk.trades);
    EXPECT_EQ(resumed.state().clock.periodIndex(), 3);
}

// What was paid shows in the Game Over window and in the review, the record keeps the rules, the commissions and each
// fill's order and asked price, and a fill no order of the rules could have made is a damaged review.
TEST(Trainer, TheEndTheReviewAndTheRecordKeepWhatWasPaidAndHowEachFillWasOrdered) {
    RecordedTrainerGame g;
    g.forward();
    g.order(Oil, Buy, 1);                                     // the desk's market order at 20.00
    ASSERT_EQ(g.place(Buy, 5, OrderType::Stop, 20.50), "");   // period 3
    ASSERT_EQ(g.place(Sell, 5, OrderType::Limit, 21.00), ""); // period 5
    const QString over = g.forwardUntil(QStringLiteral("frmGameOver"));
    EXPECT_TRUE(over.contains("| Commissions: $137.50\\n")) << over.toStdString();
    const std::vector<PastGame> games = PastGames(g.path).games();
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(std::tuple(games[0].rules, games[0].practice, games[0].commissions),
              std::tuple(RuleSet::Trainer, false, 137.5));
    const std::optional<ReviewRecord> review = g.store.review(games[0].id);
    ASSERT_TRUE(review.has_value()) << g.store.lastError().toStdString();
    EXPECT_EQ(*review, g.game->lastReview());
    EXPECT_EQ(review->commissions, 137.5);
    const QStringList csv = tradeRecordCsv(*review).split('\n');
    ASSERT_GE(csv.size(), 4);
    EXPECT_TRUE(csv[0].endsWith(",Price,P(L),Note,Order,Asked") && csv[1].endsWith(",Buy,1,20.00,,,Market,20.00") &&
                csv[2].endsWith(",20.50,,,Stop,20.50") && csv[3].endsWith(",21.00,3000.00,,Limit,21.00"))
        << csv.join('\n').toStdString();
    const std::vector<ReviewLine> lines = reviewStatistics(*review, reviewFigures(*review));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::tuple(lines[0].caption, lines[0].value), std::tuple(QString("Rules"), QString("Trainer")));
    EXPECT_EQ(std::tuple(lines[3].caption, lines[3].value),
              std::tuple(QString("Commissions Paid"), QString("$137.50")));
    // Selling 5 closes the market order's contract first, then four of the stop's.
    QStringList trips;
    for (const RoundTrip& t : reviewFigures(*review).trips)
        trips << tripOrderText(t.entryOrder, t.entryAsked) + " / " + tripOrderText(t.exitOrder, t.exitAsked);
    EXPECT_EQ(trips, (QStringList{"Market 20 / Limit 21", "Stop 20.5 / Limit 21"}));

    const struct {
        const char *name, *damage;
    } cases[] = {
        {"a limit asked off the tick grid", "UPDATE GameTrades SET Asked = 20.995 WHERE OrderType = 'Limit'"},
        {"a sell limit filled below its price", "UPDATE GameTrades SET Asked = 21.01 WHERE OrderType = 'Limit'"},
        {"a buy stop filled below its price", "UPDATE GameTrades SET Asked = 20.51 WHERE OrderType = 'Stop'"},
        {"a stop that asked nothing", "UPDATE GameTrades SET Asked = 0 WHERE OrderType = 'Stop'"},
        {"commissions past the highest rate", "UPDATE PastGames SET Commissions = 1e6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString copy = g.dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(QFile::copy(g.path, copy));
        ASSERT_TRUE(sql(copy, c.damage));
        PastGames damaged(copy);
        EXPECT_EQ(damaged.games().size(), 1u);
        EXPECT_FALSE(damaged.review(games[0].id).has_value());
        EXPECT_TRUE(damaged.failed());
    }
}
