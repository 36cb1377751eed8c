// The chart options: what each menu handler changes and what the menus and
// titles then show.
#include "charts/chart_options.h"

#include <gtest/gtest.h>

using namespace pellucar;
using namespace pellucar::charts;

TEST(ChartOptions, FastIsCheckedAtStartButTheSlowDisplayIsDrawn) {
    ChartOptions o;
    EXPECT_TRUE(o.stochasticItemChecked(0));
    EXPECT_FALSE(o.fastStochastics());
    o.mnuStoch_Click(0);
    EXPECT_TRUE(o.fastStochastics());
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
        EXPECT_EQ(back.chartMarket(), combo + 1);
        EXPECT_EQ(back.comboIndex(), combo);
    }

    // The combo names a market as its list does, the menu as its item does.
    ChartOptions menu;
    menu.mnuGraph_Click(5); // "Soy&bean"
    EXPECT_EQ(menu.comboText(), "Soybean");
    menu.mnuGraph_Click(2); // "&T-Bond"
    EXPECT_EQ(menu.chartMarket(), 6);
    EXPECT_EQ(menu.comboText(), "T-Bond");
    menu.cboCommodity_Click(5);
    EXPECT_EQ(menu.comboText(), "TBond");
}

TEST(ChartOptions, PeriodsItemCyclesFifteenTwentyFiveWithItsCaptions) {
    ChartOptions o;
    EXPECT_EQ(o.graphTypeItemCaption(0), "&Moving Average - 5 Period");
    EXPECT_EQ(o.movingItemCaption(2), "5 Periods");
    const int expected[] = {15, 20, 5, 15};
    for (int n : expected) {
        o.mnuMoving_Click(2);
        EXPECT_EQ(o.movingAveragePeriods(), n);
        EXPECT_EQ(o.graphTypeItemCaption(0), QStringLiteral("Moving Average - %1").arg(n));
        EXPECT_EQ(o.movingItemCaption(2), QStringLiteral("%1 periods").arg(n));
    }
    // The periods item is no check item.
    EXPECT_FALSE(o.movingItemChecked(2));

    o.restoreDefaults();
    EXPECT_EQ(o.movingAveragePeriods(), 5);
    o.mnuMoving_Click(2);
    EXPECT_EQ(o.movingAveragePeriods(), 15);
}

TEST(ChartOptions, GraphTypesTheirTitlesAndCheckMarks) {
    ChartOptions o;
    o.mnuGRType_Click(1);
    EXPECT_EQ(o.graphType(), GraphType::RelativeStrengthIndex);
    EXPECT_EQ(o.rightTitle(), "Relative Strength Index");
    EXPECT_TRUE(o.graphTypeItemChecked(1));
    EXPECT_FALSE(o.movingItemChecked(0));

    o.mnuGRType_Click(2);
    EXPECT_EQ(o.graphType(), GraphType::Stochastic);
    EXPECT_EQ(o.rightTitle(), "Stochastic Indicator");
    EXPECT_FALSE(o.graphTypeItemChecked(1));

    o.mnuGRType_Click(0);
    EXPECT_EQ(o.graphType(), GraphType::MovingAverage);
    EXPECT_EQ(o.rightTitle(), "Moving Average");
    // The mean line was cleared by the indicator and stays off.
    EXPECT_FALSE(o.movingItemChecked(0));

    o.mnuStoch_Click(1);
    EXPECT_EQ(o.graphType(), GraphType::Stochastic);
    EXPECT_EQ(o.stochasticType(), StochasticType::Slow);
    EXPECT_TRUE(o.stochasticItemChecked(1));
    EXPECT_FALSE(o.stochasticItemChecked(0));
    o.mnuStoch_Click(0);
    EXPECT_EQ(stochasticTypeText(o.stochasticType()), "FastStochastics");
}

TEST(ChartOptions, AMovingAverageLineSwitchesBackFromTheIndex) {
    ChartOptions o;
    o.mnuGRType_Click(1);
    o.mnuMoving_Click(1); // "M&in-Max Lines" on
    EXPECT_EQ(o.graphType(), GraphType::MovingAverage);
    EXPECT_EQ(o.rightTitle(), "Moving Average");
    EXPECT_TRUE(o.movingItemChecked(1));
    EXPECT_FALSE(o.graphTypeItemChecked(1));

    // Turning a line off changes only that line.
    o.mnuGRType_Click(2);
    o.mnuMoving_Click(0); // mean on: back to the moving average
    EXPECT_EQ(o.graphType(), GraphType::MovingAverage);
    o.mnuStoch_Click(0);
    o.mnuMoving_Click(0); // mean off again
    EXPECT_EQ(o.graphType(), GraphType::Stochastic);
    EXPECT_FALSE(o.movingItemChecked(0));
}

TEST(ChartOptions, LeftChartTypesAndTitles) {
    ChartOptions o;
    EXPECT_EQ(o.leftTitle(DataMode::Daily, 1), "Open-High-Low-Close");
    // The first trading day of a tick game (periods 1..6) is titled "Price"
    // even with open-high-low-close checked; the second day is not.
    for (int p = 0; p <= 6; ++p) EXPECT_EQ(o.leftTitle(DataMode::Tick, p), "Price") << p;
    EXPECT_EQ(o.leftTitle(DataMode::Tick, 7), "Open-High-Low-Close");

    o.mnuGLPrice_Click(1);
    EXPECT_EQ(o.leftType(), LeftChartType::Price);
    EXPECT_TRUE(o.priceLineItemChecked(1));
    EXPECT_FALSE(o.leftTypeItemChecked(0));
    EXPECT_EQ(o.leftTitle(DataMode::Daily, 10), "Price");
    o.mnuGLPrice_Click(0);
    EXPECT_TRUE(o.priceMeanLine());
    EXPECT_TRUE(o.priceMinMaxLines());
    o.mnuGLPrice_Click(1); // toggles off, stays a price line
    EXPECT_FALSE(o.priceMinMaxLines());
    EXPECT_EQ(o.leftType(), LeftChartType::Price);

    o.mnuGLType_Click(2);
    EXPECT_EQ(o.leftTitle(DataMode::Daily, 10), "Year-to-Date");
    EXPECT_TRUE(o.leftTypeItemChecked(2));
    EXPECT_FALSE(o.priceLineItemChecked(0));

    o.mnuGLType_Click(1); // only opens the submenu
    EXPECT_EQ(o.leftType(), LeftChartType::YearToDate);

    // The first tick day has no year to date: the redraw unchecks it.
    o.beginRefresh(DataMode::Tick, 5);
    EXPECT_EQ(o.leftType(), LeftChartType::Price);
    EXPECT_FALSE(o.leftTypeItemChecked(2));
    o.mnuGLType_Click(2);
    o.beginRefresh(DataMode::Daily, 5);
    o.beginRefresh(DataMode::Tick, 6);
    EXPECT_EQ(o.leftType(), LeftChartType::YearToDate);
}

TEST(ChartOptions, MenuMarksAndCaptionsCarryModelKeys) {
    ChartOptions o;
    o.mnuGraph_Click(4);
    o.mnuMoving_Click(2);
    int checked = 0;
    for (const MenuMark& m : o.menuMarks()) {
        checked += m.checked;
        if (m.key == "mnuGraph_4") {
            EXPECT_TRUE(m.checked);
        } else if (m.key == "mnuGraph_0") {
            EXPECT_FALSE(m.checked);
        }
    }
    EXPECT_EQ(checked, 4);               // market, open-high-low-close, mean line, fast stochastics
    EXPECT_EQ(o.menuMarks().size(), 21); // with the average over prices and the volume pane
    EXPECT_TRUE(o.menuCaptions().contains(MenuCaption{"mnuMoving_2", "15 periods"}));
    EXPECT_TRUE(o.menuCaptions().contains(MenuCaption{"mnuGRType_0", "Moving Average - 15"}));
}
