#pragma once
#include "app/trading_desk.h"
#include "common/level.h"

#include <QString>

namespace pellucar {

class PresentationModel;

// The trader-input panel and the controls around it: which of them each
// order state shows, and the groups of buttons and labels that the phases
// of a game show, hide, enable and disable together.
void presentOrderState(OrderState state, PresentationModel& model);
void setMarketButtonsVisible(PresentationModel& model, bool visible);
void setMarketButtonsEnabled(PresentationModel& model, bool enabled);
void setMarketButtonVisible(PresentationModel& model, Market m, bool visible, bool enabled);
void setMarketLabelsVisible(PresentationModel& model, bool visible);
void setQuotesVisible(PresentationModel& model, bool visible);
void setHistoryButtonsEnabled(PresentationModel& model, bool enabled);
// Buy, Sell and Hold, shown and ready.
void offerSides(PresentationModel& model);
// A history grid takes the chart area: the charts and the chart choices go,
// the buttons that would leave the report wait. Closing brings them back;
// Trade is enabled again only when `tradeEnabled`.
void showReport(PresentationModel& model, const QString& grid, const QString& caption, const QString& closeButton);
void closeReport(PresentationModel& model, const QString& grid, const QString& caption, const QString& closeButton,
                 bool tradeEnabled);
// The right chart always has its place; a report grid covers both.
void layoutCharts(PresentationModel& model);
// The top menus, which a modal step of the main window locks, and the
// options items that fix a game, locked while a game runs.
void setGameMenusEnabled(PresentationModel& model, bool enabled);
void setSettingsMenusEnabled(PresentationModel& model, bool enabled);

// The account figures and the position column, as the account stands.
void presentAccount(const TradingDesk& desk, Level level, PresentationModel& model);

} // namespace pellucar
