// The quote column: each market's price and change in its own notation,
// the floors that keep bad prices off the screen, and the rounding with
// which each period's prices are stored.
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pellucar;
using namespace pellucar::test;

namespace {

// A game object on no database: the quote routines only read the records.
struct Quotes {
    ScriptedDialogs dialogs;
    ScriptedRandom random;
    Game game{dialogs, random, QStringLiteral("/nonexistent/futures.mdb")};

    PriceRecord& rec(int p) { return game.mutableStateForTests().prices.records[static_cast<size_t>(p)]; }
    QString show(int p, const QString& key) {
        game.mutableStateForTests().periodIndex = p;
        // As the clock does on storing a period: floors first, then the column.
        game.mutableStateForTests().prices.applyFloorsAndQuotes(p, game.mutableStateForTests().settings.level == Level::Expert);
        game.ShowCurrentMarket();
        return game.model().at(key).text;
    }
};

} // namespace

TEST(QuoteColumn, DollarMarketsShowChangeWithBlanksOrUnch) {
    Quotes q;
    q.rec(1).oil = 18.25f;
    q.rec(2).oil = 18.50f;
    EXPECT_EQ(q.show(1, "lblOilCurrMark"), "$18.25"); // first period: no change
    EXPECT_EQ(q.show(2, "lblOilCurrMark"), "$18.50  +0.25");
    q.rec(1).oil = 18.75f;
    EXPECT_EQ(q.show(2, "lblOilCurrMark"), "$18.50   -0.25");
    q.rec(1).oil = 18.50f;
    EXPECT_EQ(q.show(2, "lblOilCurrMark"), "$18.50   Unch");
    q.rec(1).sp500 = 1024.5f;
    q.rec(2).sp500 = 1031.25f;
    EXPECT_EQ(q.show(2, "lblSP500CurrMark"), "$1,031.25  +6.75");
    q.rec(1).gold = 385.2f;
    q.rec(2).gold = 384.9f;
    EXPECT_EQ(q.show(2, "lblGoldCurrMark"), "$384.90   -0.30");
}

TEST(QuoteColumn, TBondInPointsAndThirtySeconds) {
    Quotes q;
    auto bond = [&](double before, double now) {
        q.rec(1).tbond = before;
        q.rec(2).tbond = now;
        q.game.mutableStateForTests().prices.previous.tbond = before;
        return q.show(2, "lblTBondCurrMark");
    };
    EXPECT_EQ(bond(118.25, 118.5), "$118 16/32 +8/32");
    EXPECT_EQ(bond(118.75, 118.5), "$118 16/32  -8/32");
    EXPECT_EQ(bond(118.5, 118.5), "$118 16/32   Unch");
    EXPECT_EQ(bond(117.25, 118.5), "$118 16/32  +1 8/32");
    EXPECT_EQ(bond(116.5, 118.5), "$118 16/32  +2");
    // A fall of a point or more reads as a signed value too.
    EXPECT_EQ(bond(119.75, 118.5), "$118 16/32   -1 8/32");
    EXPECT_EQ(bond(120.5, 118.5), "$118 16/32   -2");
    EXPECT_EQ(bond(100.0, 101.0), "$101  +1");
    // A price too large for whole points (a damaged file) is shown as the
    // dollar markets show theirs, and its change too, width permitting.
    const double huge = std::ldexp(1.0, 70); // a float holds it exactly, so no change
    EXPECT_EQ(bond(huge, huge), "$1,180,591,620,717,411,300,000.00   Unch");
    EXPECT_EQ(bond(118.5, 1e20), "$100,000,000,000,000,000,000.00");
}

TEST(QuoteColumn, SoybeanInCentsAndQuarterCents) {
    Quotes q;
    q.rec(1).soybean = 6.1225f;
    EXPECT_EQ(q.show(1, "lblSoybeanCurrMark"), "$6.12  1/4");
    q.rec(1).soybean = 6.12f; // a hair below 6.12 in binary, still 612 cents
    EXPECT_EQ(q.show(1, "lblSoybeanCurrMark"), "$6.12 ");
    q.rec(1).soybean = 6.1250f;
    q.rec(2).soybean = 6.1275f;
    EXPECT_EQ(q.show(2, "lblSoybeanCurrMark"), "$6.12  3/4  +0.25");
    q.rec(2).soybean = 6.0950f;
    EXPECT_EQ(q.show(2, "lblSoybeanCurrMark"), "$6.09  1/2   -3");
}

TEST(QuoteColumn, FloorsKeepBadPricesOffTheScreen) {
    Quotes q;
    q.rec(1).tbond = 101.5;
    q.rec(2).oil = 0.0f;
    q.rec(2).gold = -1.0f; // a market with no row for the period
    q.rec(2).tbond = 0.0;
    q.game.mutableStateForTests().prices.previous.tbond = 101.5;
    EXPECT_EQ(q.show(2, "lblGoldCurrMark").left(5), "$0.05");
    EXPECT_EQ(q.rec(2).oil, 0.05f);
    EXPECT_EQ(q.rec(2).gold, 0.05f);
    // A missing T-Bond price keeps the previous period's.
    EXPECT_DOUBLE_EQ(q.rec(2).tbond, 101.5);
    EXPECT_EQ(q.game.model().at("lblTBondCurrMark").text, "$101 16/32   Unch");
    // Orders fill at what the column shows.
    EXPECT_DOUBLE_EQ(q.game.mutableStateForTests().prices.buyQuote[index(Market::Oil)], 0.05);
    EXPECT_DOUBLE_EQ(q.game.mutableStateForTests().prices.sellQuote[index(Market::TBond)], 101.5);
}

TEST(QuoteColumn, PeriodZeroClosedAndNoviceShowsOnlyOil) {
    Quotes q;
    EXPECT_EQ(q.show(0, "lblCattleCurrMark"), "*** Market Closed ***");
    for (const char* k : {"lblOilCurrMark", "lblGoldCurrMark", "lblTBondCurrMark", "lblSP500CurrMark",
                          "lblSoybeanCurrMark"})
        EXPECT_EQ(q.game.model().at(k).text, "*** Market Closed ***") << k;
    q.game.mutableStateForTests().settings.level = Level::Novice;
    q.rec(1).oil = 20.0f;
    q.rec(1).tbond = 99.0;
    q.show(1, "lblOilCurrMark");
    EXPECT_TRUE(q.game.model().at("lblOilCurrMark").visible);
    EXPECT_FALSE(q.game.model().at("lblGoldCurrMark").visible);
    EXPECT_FALSE(q.game.model().at("lblTBondCurrMark").visible);
    // The T-Bond label is left alone below the Expert level.
    EXPECT_EQ(q.game.model().at("lblTBondCurrMark").text, "*** Market Closed ***");
}

TEST(QuoteColumn, LastPricesAndNoGame) {
    Quotes q;
    q.rec(3).oil = 18.5f;
    q.rec(3).tbond = 118.15625;
    q.game.mutableStateForTests().periodIndex = 3;
    q.game.ShowLastPrices();
    EXPECT_EQ(q.game.model().at("lblOilCurrMark").text, "$18.5 Last");
    EXPECT_EQ(q.game.model().at("lblTBondCurrMark").text, "$118.15625 Last");
    Quotes idle;
    idle.game.ShowLastPrices(); // no game: empty day label
    EXPECT_FALSE(idle.game.model().at("lblOilCurrMark").visible);
    EXPECT_FALSE(idle.game.model().at("lblSoybeanCurrMark").visible);
}

TEST(PriceStore, DailyRoundingAndPeriodOneCopies) {
    FixtureDb db("store_daily");
    db.addDaily(3, QDate(1990, 1, 2), 18, 19, 17, 18.456);
    db.addDaily(5, QDate(1990, 1, 2), 612, 613, 611, 612.25);
    db.addDaily(6, QDate(1990, 1, 2), 98, 99, 97, 98.78125);
    db.addDaily(2, QDate(1990, 1, 2), 400, 401, 399, 400.125);
    for (int id = 1; id <= 6; ++id) db.addDailyClose(id, QDate(1990, 1, 3), 50); // a next day to advance into
    db.addOverview(QDate(1965, 10, 17), 0, "x");
    Harness h(db.path());
    h.start();
    h.setup({{"data", "Daily"}, {"year", "1990"}, {"length", "Quarter"}});
    h.forward();
    const PriceHistory& ph = h.state().prices;
    EXPECT_FLOAT_EQ(ph.records[1].oil, 18.46f);
    EXPECT_FLOAT_EQ(ph.previous.oil, 18.456f); // period one keeps the unrounded close
    EXPECT_FLOAT_EQ(ph.records[1].soybean, 6.1225f);
    EXPECT_DOUBLE_EQ(ph.records[1].tbond, 98.78125);
    EXPECT_FLOAT_EQ(ph.records[1].gold, 400.13f);
    EXPECT_FLOAT_EQ(ph.current.oil, 18.46f);
    EXPECT_EQ(h.text("lblOilCurrMark"), "$18.46");
}

TEST(PriceStore, NoviceStoresOnlyOil) {
    Harness h(sharedDaily1990());
    h.start();
    h.setup({{"level", "Novice"}, {"data", "Daily"}, {"year", "1990"}, {"length", "Quarter"}});
    h.forward(2);
    const PriceHistory& ph = h.state().prices;
    EXPECT_FLOAT_EQ(ph.records[2].oil, 20.25f);
    EXPECT_FLOAT_EQ(ph.records[2].cattle, 0.05f); // never stored, floored by the redraw
    EXPECT_EQ(h.text("lblOilCurrMark"), "$20.25  +0.25");
    EXPECT_FALSE(h.game->model().at("lblCattleCurrMark").visible);
}

TEST(PriceStore, TickPeriodsReadTheirDayAndHour) {
    Harness h(sharedTickJanuary1996());
    h.start();
    h.setup({{"data", "Tick"}, {"month", "1"}, {"year", "1996"}, {"length", "Month"}});
    const PriceHistory& ph = h.state().prices;
    h.forward(7); // day 1, hour 1: the 7th hourly Oil price
    EXPECT_FLOAT_EQ(ph.records[7].oil, 18.06f);
    EXPECT_DOUBLE_EQ(ph.records[7].tbond, 118.15625); // five decimals kept
    EXPECT_FLOAT_EQ(ph.records[7].soybean, 7.25f);   // no division by 100 for ticks
    h.forward(5); // day 1, hour 6
    EXPECT_FLOAT_EQ(ph.records[12].oil, 18.11f);
    EXPECT_EQ(h.text("lblOilCurrMark"), "$18.11  +0.01");
    EXPECT_EQ(h.text("lblTBondCurrMark"), "$118 5/32   Unch");
}
