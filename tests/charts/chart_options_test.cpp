// The chart options: what each menu handler changes and what the menus and titles then show.
#include "charts/chart_options.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace pellucar;
using namespace pellucar::charts;

namespace {

// Graph and stochastic types, right and left titles (daily game) and checked items but the market's.
std::string shown(const ChartOptions& o) {
    // The marks of the style and the periods as at start are left out.
    const QStringList defaults{"mnuGLStyle_0", "mnuRsiPeriods_1", "mnuStochPeriods_0"};
    QString t = graphTypeText(o.graphType()) + " " + stochasticTypeText(o.stochasticType()) + " / " + o.rightTitle() +
                " / " + o.leftTitle(DataMode::Daily, 10) + ":";
    for (int i = 0; i < ChartOptions::kMenuMarkCount; ++i)
        if (const QString key = ChartOptions::menuMarkKey(i);
            o.menuMarkChecked(i) && !key.startsWith("mnuGraph_") && !defaults.contains(key))
            t += " " + key.mid(3);
    return t.toStdString();
}

} // namespace

TEST(ChartOptions, EachMenuClickChangesItsTypeTitleAndCheckMarks) {
    // Clicks from a new game's options: R mnuGRType, M mnuMoving, S mnuStoch, P mnuGLPrice, L mnuGLType,
    // A mnuGLAverage, V mnuGRVolume, Y mnuGLStyle, B mnuGLBands, U mnuGRPane, Q mnuRsiPeriods, N mnuStochPeriods.
    const std::pair<const char*, const char*> cases[] = {
        // Fast is checked at start, but the slow display is drawn until chosen.
        {"", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Moving_0 Stoch_0"},
        {"S0", "Stochastic FastStochastics / Stochastic Indicator / Open-High-Low-Close: GLType_0 Moving_0 Stoch_0"},
        {"R1", "RelativeStrengthIndex  / Relative Strength Index / Open-High-Low-Close: GLType_0 GRType_1 Stoch_0"},
        {"R1 R2", "Stochastic  / Stochastic Indicator / Open-High-Low-Close: GLType_0 Stoch_0"},
        // The mean line was cleared by the indicator and stays off.
        {"R1 R2 R0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Stoch_0"},
        {"R1 R2 R0 S1", "Stochastic SlowStochastics / Stochastic Indicator / Open-High-Low-Close: GLType_0 Stoch_1"},
        {"S1 S0", "Stochastic FastStochastics / Stochastic Indicator / Open-High-Low-Close: GLType_0 Moving_0 Stoch_0"},
        // The marks say what is drawn: the moving average's submenu opening (its item's click) or a stochastic
        // item chosen straight away takes the relative strength mark off.
        {"R1 R0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Stoch_0"},
        {"R1 R0 M2", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Stoch_0"},
        {"R1 S1", "Stochastic SlowStochastics / Stochastic Indicator / Open-High-Low-Close: GLType_0 Stoch_1"},
        // A moving-average line switches back from an indicator; turning a line off changes only that line.
        {"R1 M1", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Moving_1 Stoch_0"},
        {"R2 M0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Moving_0 Stoch_0"},
        {"R2 M0 S0 M0", "Stochastic FastStochastics / Stochastic Indicator / Open-High-Low-Close: GLType_0 Stoch_0"},
        // Price lines toggle; the price item of the left type only opens its submenu.
        {"P1", "MovingAverage  / Moving Average / Price: GLPrice_1 Moving_0 Stoch_0"},
        {"P1 P0", "MovingAverage  / Moving Average / Price: GLPrice_0 GLPrice_1 Moving_0 Stoch_0"},
        {"P1 P0 P1", "MovingAverage  / Moving Average / Price: GLPrice_0 Moving_0 Stoch_0"},
        {"P1 P0 P1 L2", "MovingAverage  / Moving Average / Year-to-Date: GLType_2 Moving_0 Stoch_0"},
        {"L2 L1", "MovingAverage  / Moving Average / Year-to-Date: GLType_2 Moving_0 Stoch_0"},
        // The average over the prices and the volume pane are marks of their own, each toggled alone.
        {"A0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 GLAverage Moving_0 Stoch_0"},
        {"A0 V0 A0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 GRVolume Moving_0 Stoch_0"},
        // The style is one choice of three, apart from the chart's type.
        {"Y1", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 GLStyle_1 Moving_0 Stoch_0"},
        {"Y2 L2", "MovingAverage  / Moving Average / Year-to-Date: GLType_2 GLStyle_2 Moving_0 Stoch_0"},
        {"Y2 Y0 Y3", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Moving_0 Stoch_0"},
        // The bands toggle; the panes take the indicator's place one at a time, the same item again gives it back.
        {"B0 U0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 GLBands GRPane_0 Moving_0 Stoch_0"},
        {"U0 U1", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 GRPane_1 Moving_0 Stoch_0"},
        {"U1 V0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 GRVolume Moving_0 Stoch_0"},
        {"U1 U1 B0 B0", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 Moving_0 Stoch_0"},
        // The periods are one choice of three each; a choice out of range changes nothing.
        {"Q0 N2 N5", "MovingAverage  / Moving Average / Open-High-Low-Close: GLType_0 RsiPeriods_0 StochPeriods_2 "
                     "Moving_0 Stoch_0"},
    };
    using Click = void (ChartOptions::*)(int);
    const std::map<char, Click> menus{
        {'R', &ChartOptions::mnuGRType_Click},     {'M', &ChartOptions::mnuMoving_Click},
        {'S', &ChartOptions::mnuStoch_Click},      {'P', &ChartOptions::mnuGLPrice_Click},
        {'L', &ChartOptions::mnuGLType_Click},     {'A', &ChartOptions::mnuGLAverage_Click},
        {'V', &ChartOptions::mnuGRVolume_Click},   {'Y', &ChartOptions::mnuGLStyle_Click},
        {'B', &ChartOptions::mnuGLBands_Click},    {'U', &ChartOptions::mnuGRPane_Click},
        {'Q', &ChartOptions::mnuRsiPeriods_Click}, {'N', &ChartOptions::mnuStochPeriods_Click}};
    for (const auto& [clicks, expected] : cases) {
        ChartOptions o;
        for (const QString& c : QString::fromLatin1(clicks).split(' ', Qt::SkipEmptyParts))
            (o.*menus.at(c[0].toLatin1()))(c.mid(1).toInt());
        EXPECT_EQ(shown(o), expected) << clicks;
    }
}

TEST(ChartOptions, ComboAndMenuMapOntoEachOtherBothWays) {
    // Combo entries follow the list order, menu items the trading order.
    const int itemOfCombo[] = {4, 1, 0, 3, 5, 2};
    for (int combo = 0; combo < 6; ++combo) {
        ChartOptions o;
        o.cboCommodity_Click(combo);
        EXPECT_EQ(o.chartMarket(), combo + 1);
        for (int item = 0; item < 6; ++item)
            EXPECT_EQ(o.graphItemChecked(item), item == itemOfCombo[combo]) << combo << " " << item;
        ChartOptions back;
        back.mnuGraph_Click(itemOfCombo[combo]);
        EXPECT_EQ((std::tuple{back.chartMarket(), back.comboIndex()}), (std::tuple{combo + 1, combo}));
    }

    // The combo names a market as its list does, the menu as its item does.
    ChartOptions menu;
    menu.mnuGraph_Click(5); // "Soy&bean"
    EXPECT_EQ(menu.comboText(), "Soybean");
    menu.cboCommodity_Click(5);
    EXPECT_EQ(menu.comboText(), "TBond");
}

TEST(ChartOptions, PeriodsItemCyclesFifteenTwentyFiveWithItsCaptions) {
    ChartOptions o;
    EXPECT_EQ((std::tuple{o.graphTypeItemCaption(0), o.movingItemCaption(2)}),
              (std::tuple{"&Moving Average - 5 Period", "5 Periods"}));
    for (int n : {15, 20, 5, 15}) {
        o.mnuMoving_Click(2);
        EXPECT_EQ(o.movingAveragePeriods(), n);
        const QStringList captions{ChartOptions::menuCaptionKey(0) + ": " + o.menuCaption(0),
                                   ChartOptions::menuCaptionKey(1) + ": " + o.menuCaption(1)};
        EXPECT_EQ(captions, (QStringList{QStringLiteral("mnuGRType_0: &Moving Average - %1").arg(n),
                                         QStringLiteral("mnuMoving_2: %1 periods").arg(n)}));
    }
    EXPECT_FALSE(o.movingItemChecked(2)); // the periods item is no check item
    o.restoreDefaults();
    EXPECT_EQ(o.movingAveragePeriods(), 5);
    o.mnuMoving_Click(2);
    EXPECT_EQ(o.movingAveragePeriods(), 15);
}

TEST(ChartOptions, FirstTickDayIsAPriceChartWithoutYearToDate) {
    ChartOptions o;
    // Periods 1..6 of a tick game are titled "Price" even with open-high-low-close checked.
    for (int p = 0; p <= 6; ++p) EXPECT_EQ(o.leftTitle(DataMode::Tick, p), "Price") << p;
    EXPECT_EQ(o.leftTitle(DataMode::Tick, 7), "Open-High-Low-Close");
    o.mnuGLType_Click(2); // the redraw of the first tick day unchecks year to date
    o.beginRefresh(DataMode::Tick, 5);
    EXPECT_EQ((std::tuple{o.leftType(), o.leftTypeItemChecked(2)}), (std::tuple{LeftChartType::Price, false}));
    o.mnuGLType_Click(2);
    o.beginRefresh(DataMode::Daily, 5);
    o.beginRefresh(DataMode::Tick, 6);
    EXPECT_EQ(o.leftType(), LeftChartType::YearToDate);
}
