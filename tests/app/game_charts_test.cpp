// The charts' held redraw alone: a Forward press holds it back, and it is
// drawn exactly once, by whichever redraw comes first.
#include "app/controls.h"
#include "app/game_charts.h"

#include <gtest/gtest.h>

using namespace pellucar;

TEST(GameCharts, HeldRedrawIsDrawnOnceAndAnyRedrawSettlesIt) {
    GameState s;
    PresentationModel model;
    applyDesignState(model);
    GameCharts charts(s, model);

    quint64 before = model.revision();
    charts.RefreshDeferredCharts(); // nothing held: nothing drawn
    EXPECT_EQ(model.revision(), before);

    charts.deferRefresh();
    charts.RefreshDeferredCharts();
    EXPECT_GT(model.revision(), before);
    before = model.revision();
    charts.RefreshDeferredCharts();
    EXPECT_EQ(model.revision(), before);

    charts.deferRefresh();
    charts.RefreshCharts();
    EXPECT_FALSE(charts.refreshDeferred());
    charts.deferRefresh();
    charts.forgetPeriod();
    EXPECT_FALSE(charts.refreshDeferred());
}
