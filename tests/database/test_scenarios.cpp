// Every historic scenario played to its end on the built futures.mdb: it
// starts where it says, runs its whole length inside the data, opens near
// the price its brief names, and the move it was chosen for is there.
#include "db_test_support.h"

#include "app/dialogs/scripted_dialogs.h"
#include "app/game/game.h"
#include "app/record/scenarios.h"
#include "common/random.h"

#include <algorithm>

using namespace pellucar;

TEST(Scenarios, EachPlaysItsLengthInsideTheDataAndHoldsTheMoveItWasChosenFor) {
    const struct {
        const char* name;
        int periods;    // at least this many periods before the game's end
        double opening; // the watched market's first price, within 8% (0: the brief names none)
        double move;    // the largest rise (> 0) or fall (< 0) from it, at least this share
    } rows[] = {
        {"Oil at the New Year, 1986", 60, 26, -0.40}, {"Autumn 1987", 60, 0, -0.25},
        {"Planting Season, 1988", 60, 7, 0.30},       {"Stocks, Summer 1990", 60, 0, -0.10},
        {"Oil, Summer 1990", 60, 17, 0.80},           {"The January Deadline, 1991", 19, 26, -0.20},
        {"Bonds, Winter 1994", 60, 116, -0.08},       {"Soybeans, Winter 1997", 360, 7, 0.15},
        {"Gold, January 1997", 114, 367, -0.04},      {"Autumn 1997", 120, 960, -0.06},
    };
    ASSERT_EQ(std::size(rows), scenarios().size());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Scenario* sc = findScenario(QString::fromLatin1(row.name));
        ASSERT_NE(sc, nullptr);
        ScriptedDialogs dialogs;
        SystemRandom random(7);
        Game game(dialogs, random, QStringLiteral(PELLUCAR_DB_PATH));
        game.startUp();
        ASSERT_TRUE(game.startScenario(sc->name));
        const GameState& s = game.state();
        EXPECT_EQ(s.clock.startDate(), sc->start);
        EXPECT_EQ(s.clock.dataMode(), sc->data);
        EXPECT_EQ(s.settings.level, sc->level);
        EXPECT_TRUE(dialogs.transcript().last().contains(sc->brief));
        dialogs.clearTranscript();
        std::vector<double> prices;
        while (prices.size() < 2000 && !dialogs.transcript().join('\n').contains(QStringLiteral("frmGameOver"))) {
            game.click(QStringLiteral("btnChangePeriod"));
            if (s.clock.periodIndex() > static_cast<int>(prices.size()))
                prices.push_back(s.prices.record(s.clock.periodIndex()).get(sc->watch));
        }
        ASSERT_GE(static_cast<int>(prices.size()), row.periods);
        EXPECT_FALSE(s.clock.endOfData());
        EXPECT_GT(*std::min_element(prices.begin(), prices.end()), 0.05); // a real price every period
        if (row.opening > 0) {
            EXPECT_NEAR(prices.front() / row.opening, 1, 0.08);
        }
        const double extreme = row.move > 0 ? *std::max_element(prices.begin(), prices.end())
                                            : *std::min_element(prices.begin(), prices.end());
        const double moved = extreme / prices.front() - 1;
        EXPECT_TRUE(row.move > 0 ? moved >= row.move : moved <= row.move) << "moved " << moved;
    }
}
