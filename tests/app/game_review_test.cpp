// The review of a finished game: its figures against the independent
// account model on played games, and what the record keeps for it.
#include "app/game_review.h"
#include "support/account_model.h"
#include "support/game_harness.h"
#include "support/random_player.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pellucar;
using namespace pellucar::test;

namespace {

// Fifty periods of a quarter's game with random orders, ended from the menu;
// mostly in Oil, the one market of the fixture whose price moves.
void playRandomly(RecordedGame& r, std::uint64_t seed) {
    RandomPlayer player(seed);
    for (int p = 0; p < 50; ++p) {
        r.forward();
        if (player.chance(0.6)) {
            const RandomPlayer::Order o = player.order(Level::Expert);
            r.order(player.chance(0.7) ? Market::Oil : o.market, o.side, std::min(o.units, 8));
        }
    }
    r.end("btnRestartGame");
}

} // namespace

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
        for (const MarketReview& m : f.markets)
            EXPECT_NEAR(m.realized, realized[static_cast<size_t>(index(m.market))], 1e-6);

        // The record gives back exactly what the game kept.
        EXPECT_TRUE(games[0].reviewKept);
        EXPECT_EQ(r.store.review(games[0].id), rec);
    }
}

TEST(GameReview, TheRecordOpensOldGamesWithoutAReviewAndRefusesDamagedOnes) {
    struct Case {
        const char* name;
        const char* damage;
        bool failed;
    };
    const Case cases[] = {
        {"a game recorded before reviews", "UPDATE PastGames SET StartingCapital = 0", false},
        {"a period missing", "DELETE FROM GamePeriods WHERE Period = 2", true},
        {"a price not a number", "UPDATE GamePeriods SET Gold = 'x' WHERE Period = 3", true},
        {"an infinite account value", "UPDATE GamePeriods SET AccountValue = 1e999 WHERE Period = 1", true},
        {"a trade after the last period", "UPDATE GameTrades SET Period = 9999 WHERE Number = 1", true},
        {"a market unknown", "UPDATE GameTrades SET Market = 'Tin' WHERE Number = 1", true},
        {"half a contract", "UPDATE GameTrades SET Amount = 0.5 WHERE Number = 1", true},
        {"trades numbered with a gap", "UPDATE GameTrades SET Number = 99 WHERE Number = 1", true},
    };
    for (const Case& c : cases) {
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
