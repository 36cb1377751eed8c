// The trading desk through the game on the 1990 fixture (Oil rises 0.25 a day from 20.00), then on a bare state.
#include "app/desk/order_desk.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pellucar;
using namespace pellucar::test;

namespace {

using enum Market;
using enum Side;

struct Desk : Harness {
    explicit Desk(Level level = Level::Expert) : Harness(sharedDaily1990(), {level}) {
        forward(); // Oil 20.00
    }
    const ControlState& ctl(const QString& key) const { return game->model().at(key); }
    void type(const QString& units, Key key = Key::Enter) {
        game->setText(QStringLiteral("inputUnits"), units);
        game->keyPress(QStringLiteral("inputUnits"), key);
    }
};

const QString kFilled = QStringLiteral("frmTradeConfirmation: Electronic Mail:  Trade Confirmation | "
                                       "Transaction Order Filled: ");

} // namespace

// Soybean 612.25 cents is quoted 6.1225 dollars in the fill, not the single-precision value's binary tail.
TEST(Desk, AnOrderIsReadBackFilledMarkedAndRealized) {
    Desk d;
    d.enter(Oil, Buy, 5);
    EXPECT_EQ(d.texts({"lblorderverify", "lblTraderInput"}),
              "Is this order correct? Buy 5 Oil @ $20.00 | Order Verification:");
    EXPECT_FALSE(d.ctl("btnChangePeriod").visible);
    EXPECT_TRUE(d.take().isEmpty()); // nothing filled before Enter Order
    d.game->click("btnYes");
    EXPECT_EQ(d.take(), QStringList{kFilled + "5 Oil Bought @  $20.00"});
    EXPECT_EQ(d.texts({"lblOilPos", "lblTotTrades", "lblLIAB", "lblAvailMarg", "lblTraderInput"}),
              "5 | 1 | 10,125.00 | 89,875.00 | Trader Input:");
    EXPECT_TRUE(d.ctl("btnChangePeriod").visible);
    d.forward(); // 20.25 marks the lot; the margin's percentage is the excess over the account's value
    EXPECT_EQ(d.texts({"lblUPL", "lblEq", "lblPercentGL", "lblPosMargPercent", "lblScore"}),
              "1,250.00 | 101,250.00 | 1.25% | 90.00% | $1,250.00");
    d.order(Oil, Sell, 5);
    d.order(Soybean, Sell, 1);
    d.order(TBond, Buy, 2);
    EXPECT_EQ(d.take(), (QStringList{kFilled + "5 Oil Sold @  $20.25", kFilled + "1 Soybean Sold @  6.1225",
                                     kFilled + "2 TBond Bought @  98.50"}));
    EXPECT_EQ(d.texts({"lblRPL", "lblUPL"}), "1,250.00 | 0.00");
    // The commission statement charges 25 a trade.
    d.game->click("mnuCommission");
    const QStringList statement = d.take();
    ASSERT_EQ(statement.size(), 1);
    EXPECT_TRUE(statement[0].contains("Score (before commissions): $1,250.00\\nCommissions: $100.00\\n"
                                      "Score (after commissions): $1,150.00"))
        << statement[0].toStdString();
    // Trade History lists them in place of the charts, with the game's days, hours and fill prices.
    d.game->click("btnTradeHist");
    EXPECT_EQ(d.shownOf({"TradeGrid", "GraphLeft"}), "TradeGrid");
    EXPECT_FALSE(d.ctl("btnChangePeriod").enabled);
    const QList<ReportRow> rows = d.ctl("TradeGrid").grid.rows;
    ASSERT_GE(rows.size(), 2);
    EXPECT_EQ(rows[0].cells, (QStringList{"1", "1", "4:00", "Oil", "Buy", "5", "$20.00", "", ""}));
    EXPECT_EQ(rows[1].cells, (QStringList{"2", "2", "4:00", "Oil", "Sell", "-5", "$20.25", "$1,250.00", ""}));
    d.game->click("btnCloseTradeHistory");
    EXPECT_EQ(d.shownOf({"TradeGrid", "GraphLeft"}), "GraphLeft");
    EXPECT_TRUE(d.ctl("btnChangePeriod").enabled);
}

TEST(Desk, MaximaRefusalsAndHoldOrCancelChangeNothing) {
    Desk d;
    // The maximum shown is what the check would take: 100,000 / 20,800.
    d.choose(SP500, Buy);
    EXPECT_EQ(d.texts({"lblMaxSelected", "promptUnits"}), "4 | Number of Contracts to Buy: ");
    d.game->click("mnuMaximum", 1);
    EXPECT_EQ(d.text("LabelMaxiPos"), "Maximum Position:");
    EXPECT_FALSE(d.ctl("mnuMaximum_0").checked);
    d.game->keyPress("Kestrow", Key::Escape);
    // Flat, 100,000 carries 49 Oil; a position-limit refusal goes back to the side buttons.
    d.enter(Oil, Buy, 201);
    EXPECT_EQ(d.take(), QStringList{"frmPlayerNotification: Trader Notification | "
                                    "Oil Position Limit is  200  Contracts:  Maximum Allowed Buy = 49"});
    EXPECT_EQ(d.shownOf({"inputUnits", "btnBuy"}), "btnBuy");
    d.game->click("btnBuy");
    d.type("2.5", Key::Tab);
    EXPECT_EQ(d.take(),
              QStringList{"frmPlayerNotification: Trader Notification | You cannot transact fractional amounts"});
    EXPECT_TRUE(d.ctl("inputUnits").visible); // asked again
    // An empty box goes back to the side buttons; Hold then drops the order.
    d.type("");
    EXPECT_TRUE(d.ctl("btnHold").visible);
    d.game->click("btnHold");
    EXPECT_EQ(d.state().desk.state, OrderState::ChangePeriod);
    EXPECT_FALSE(d.state().desk.pending.market.has_value());
    // Cancel Order after the read-back.
    d.enter(Gold, Sell, 3);
    EXPECT_EQ(d.text("lblorderverify"), "Is this order correct? Sell 3 Gold @ $400.00");
    d.game->click("btnNo");
    EXPECT_TRUE(d.take().isEmpty());
    EXPECT_EQ(d.state().desk.tradeCount(), 0);
    EXPECT_EQ(d.texts({"lblOilPos", "lblGoldPos", "lblEq"}), "0 | 0 | 100,000.00");
}

TEST(Desk, EscapeAtAnyStepLeavesTheDeskAsTradeFoundIt) {
    // What the window shows: every visible control's text and flags.
    const auto shown = [](const PresentationModel& m) {
        QStringList out;
        for (const QString& k : m.keys())
            if (const ControlState& st = m.at(k); st.visible)
                out << QStringLiteral("%1 %2 %3 %4").arg(k, st.text).arg(st.enabled).arg(st.checked);
        return out;
    };
    const struct {
        const char* name;
        Level level;
        QStringList presses; // then units typed and taken when `units` is set
        const char* units;
    } rows[] = {
        {"market", Level::Expert, {"btnTrade"}, nullptr},
        {"side", Level::Expert, {"btnTrade", "btnGold"}, nullptr},
        {"units", Level::Expert, {"btnTrade", "btnGold", "btnSell"}, nullptr},
        {"read-back", Level::Expert, {"btnTrade", "btnGold", "btnSell"}, "3"},
        {"novice read-back", Level::Novice, {"btnTrade", "btnBuy"}, "2"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Desk d(r.level);
        const QStringList before = shown(d.game->model());
        for (const QString& b : r.presses) d.game->click(b);
        if (r.units) {
            d.type(QString::fromLatin1(r.units));
            ASSERT_EQ(d.state().desk.state, OrderState::CorrOrd);
        } else {
            d.game->setText("inputUnits", "7"); // typed, not taken
        }
        d.game->keyPress("Kestrow", Key::Escape);
        EXPECT_EQ(shown(d.game->model()), before);
        EXPECT_FALSE(d.state().desk.pending.market.has_value());
        EXPECT_EQ(d.state().desk.tradeCount(), 0);
        EXPECT_TRUE(d.take().isEmpty());
        // The desk takes the next order as usual.
        d.order(Oil, Buy, 1);
        EXPECT_FLOAT_EQ(d.position(Oil), 1.0f);
    }
}

TEST(Desk, ANoviceTradesAndStoresOilAlone) {
    Desk d(Level::Novice);
    d.game->click("btnTrade");
    EXPECT_EQ(d.shownOf({"btnGold", "btnTBond", "btnSp500", "btnCattle", "btnSoybean", "btnBuy"}), "btnBuy");
    d.game->click("btnHold");
    d.order(Oil, Buy, 2);
    EXPECT_EQ(d.texts({"lblOilPos", "lblLIAB"}), "2 | 4,050.00");
    d.forward();
    EXPECT_FLOAT_EQ(d.state().prices.records[2].oil, 20.25f);
    EXPECT_FLOAT_EQ(d.state().prices.records[2].cattle, 0.05f); // never stored, floored by the redraw
    EXPECT_EQ(d.text("lblOilCurrMark"), "$20.25  +0.25");
}

TEST(Desk, MarginCallIsAnnouncedThenLiquidatedAtForward) {
    Desk d;
    // Short 45 Oil ties up 91,125; each day costs 45 x 250 = 11,250.
    d.order(Oil, Sell, 45);
    d.take();
    d.forward(); // 20.25: account 88,750, margin 91,125: a call of 2,375
    EXPECT_EQ(d.take(), QStringList{"frmPlayerNotification: *** Immediately Liquidate Positions *** | "
                                    "You have a margin call equaling  $2,375.00 dollars"});
    EXPECT_EQ(d.text("lblAvailMarg"), "-2,375.00");
    // The next press buys back what the account cannot carry and stops there, on the day of its prices.
    const int before = d.state().clock.periodIndex();
    const QString date = d.texts({"lblDate", "lblDay"});
    d.forward();
    EXPECT_EQ(d.texts({"lblDate", "lblDay"}), date);
    // 88,750 carries 43.8 contracts: keep 44, buy q + 1 = 2.
    EXPECT_EQ(d.take(), QStringList{"frmPlayerNotification: * Margin Call Liquidation * | "
                                    "Mandatory Buy: 2 Oil at $20.25"});
    EXPECT_EQ(d.state().clock.periodIndex(), before); // the press ends with the liquidation
    EXPECT_FLOAT_EQ(d.position(Market::Oil), -43.0f);
    const TradeRecord& last = d.state().desk.trades.records().last();
    EXPECT_EQ(std::pair(last.transaction(), last.amount), std::pair(QStringLiteral("Buy - Margin Call"), 2.0f));
    EXPECT_TRUE(d.game->charts().left.markers.last().marginCall); // charted at once
    d.forward();
    EXPECT_EQ(d.state().clock.periodIndex(), before + 1);
}

// The two percentages read off the dollars shown beside them, press by press: gains, losses and a margin call.
TEST(Desk, PercentagesFollowTheDollarsShownAtEveryPress) {
    const auto dollars = [](const QString& t) { return QString(t).remove(',').toDouble(); };
    const auto percent = [](double share) {
        return QString::number(std::round(share * 10000) / 100 + 0.0, 'f', 2) + '%';
    };
    const struct {
        const char* name;
        Level level;
        Market market;
        int units; // bought, sold when below 0, in period 1
    } rows[] = {{"a long gaining", Level::Expert, Oil, 30},
                {"a Novice's long", Level::Novice, Oil, 4},
                {"a short into a margin call", Level::Expert, Oil, -45},
                {"a flat market", Level::Expert, Gold, -60}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Desk d(r.level);
        d.order(r.market, r.units > 0 ? Buy : Sell, std::abs(r.units));
        const double start = Account::startingCapitalFor(r.level);
        for (int press = 0; press < 4; ++press) {
            const double value = dollars(d.text("lblEq")), required = dollars(d.text("lblLIAB"));
            EXPECT_EQ(d.text("lblPercentGL"), percent((value - start) / start)) << press;
            EXPECT_EQ(d.text("lblPosMargPercent"), percent((value - required) / value)) << press;
            d.forward();
        }
    }
}

namespace {

struct BareDesk {
    GameState s;
    PresentationModel model;
    ScriptedDialogs dialogs;
    int revalued = 0;
    OrderDesk desk{s, s.desk, model, dialogs, [this] { ++revalued; }};

    BareDesk() {
        applyDesignState(model);
        s.desk.account.reset(Level::Expert);
        s.clock.advance(); // period 1
        const auto oil = static_cast<size_t>(index(Market::Oil));
        s.prices.buyQuote[oil] = 20.25;
        s.prices.sellQuote[oil] = 20.0;
    }
};

} // namespace

TEST(OrderDesk, FullTradeRecordRefusesAtTradeButStillRecordsAMarginCallTrade) {
    BareDesk b;
    while (!b.s.desk.trades.full()) b.s.desk.trades.record(1, Market::Gold, Side::Buy, false, 1, 400);
    b.desk.btnTrade_Click();
    EXPECT_EQ(b.dialogs.transcript(), QStringList{QStringLiteral("frmPlayerNotification: ") + kTradeLogFullTitle +
                                                  " | " + kTradeLogFullMessage});
    EXPECT_EQ(b.s.desk.state, OrderState::ChangePeriod);

    // A margin call is cured whatever the record holds.
    b.s.desk.account.applyFill(Market::Oil, -3, 20);
    b.s.desk.pending = {Market::Oil, Side::Buy, 3, 0};
    EXPECT_TRUE(b.desk.ExecuteOrder(Fill::MarginCall));
    EXPECT_EQ(b.s.desk.account.position(Market::Oil), 0.0f);
    EXPECT_EQ(b.revalued, 1);
    ASSERT_EQ(b.s.desk.tradeCount(), TradeLog::kCapacity + 1);
    EXPECT_EQ(b.s.desk.trades.records().last().transaction(), "Buy - Margin Call");
}

TEST(OrderDesk, GainReadsTheSingleRatioAsItsShortestDecimal) {
    // 775 on 100,000 is 0.00775 in single precision, a hair below once widened: the half the player reads rounds.
    // The cash margin is the excess over the 1,013 Gold's margin takes, as a share of the account's value.
    const struct {
        const char* name;
        double gold; // the mark of 1 Gold bought at 380
        const char *shown, *cash;
    } kCases[] = {{"half up", 387.75, "0.78%", "98.99%"},    // 99,762 / 100,775
                  {"half down", 372.25, "-0.78%", "98.98%"}, // 98,212 / 99,225
                  {"flat", 380, "0.00%", "98.99%"}};
    for (const auto& c : kCases) {
        BareDesk b;
        b.s.desk.account.applyFill(Market::Gold, 1, 380);
        MarketPrices marks{};
        marks[static_cast<size_t>(index(Market::Gold))] = c.gold;
        b.s.desk.account.revalue(marks);
        presentAccount(b.s.desk, Level::Expert, b.model);
        EXPECT_EQ(b.model.text("lblPercentGL").toStdString(), c.shown) << c.name;
        EXPECT_EQ(b.model.text("lblPosMargPercent").toStdString(), c.cash) << c.name;
    }
}

TEST(PresentationModel, AKeyFoundByItsPlaceInTheDesignIsTheControlOfItsName) {
    QStringList design;
    for (const ControlSpec& c : mainWindowControls())
        if (!design.contains(c.key)) design << c.key;
    const struct {
        const char* name;
        QStringList addedFirst; // before the design fills the model
    } layouts[] = {
        {"the design alone", {}},
        {"a control of its own before the design", {"Stray"}},
        {"the design's controls in reverse", QStringList(design.rbegin(), design.rend())},
    };
    for (const auto& layout : layouts) {
        PresentationModel model;
        for (const QString& key : layout.addedFirst) model.add(key);
        applyDesignState(model);
        for (const QString& key : design) model.setText(ControlKey(key), "by place " + key);
        QStringList wrong;
        for (const QString& key : design)
            if (model.text(key) != "by place " + key || model.at(ControlKey(key)).text != "by place " + key)
                wrong << key;
        EXPECT_TRUE(wrong.isEmpty()) << layout.name << ": " << wrong.join(' ').toStdString();
    }
}
