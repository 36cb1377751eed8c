#pragma once
#include "common/market.h"

#include <QList>
#include <QString>

#include <array>

namespace pellucar {

class ControlKey;
class PresentationModel;

enum class ControlKind { Window, Label, Button, TextBox, ComboBox, Grid, Chart, Shape, Menu, MenuItem, Separator };

// One control of the main window as designed: its model key, kind, design
// caption, and for menu items the key of the menu that holds it.
struct ControlSpec {
    QString key;    // object name, "_index" appended for control arrays
    QString name;   // object name without the index
    int index = -1; // control-array index, -1 when not an array
    ControlKind kind = ControlKind::Label;
    QString caption; // design caption, with '&' access keys
    QString parent;  // menus: the key of the parent menu ("" = menu bar)
    bool checked = false;
    QString tooltip; // design-time tooltip
    // How assistive technology names a control that has no caption of its
    // own (a value label, a box, a frame): "%1" stands for the current text
    // of the label `labelledBy` (of the control itself when that is empty).
    QString spoken;
    QString labelledBy;
};

// The name a screen reader gives a control, from the model as it stands:
// the spoken form where there is one, else the caption without its access
// key marker and trailing colon.
QString accessibleName(const ControlSpec& ctl, const PresentationModel& model);
// A caption as it is read: no '&' markers, single blanks, no trailing colon.
QString spokenCaption(const QString& caption);

// Every control and menu item of the main window, in design order (menus in
// their tree order, parents before children).
const QList<ControlSpec>& mainWindowControls();
const ControlSpec* findControl(const QString& key);

// Fills the model with the design state of every control.
void applyDesignState(PresentationModel& model);

// The main window's controls of one market.
struct MarketKeys {
    QString button;       // its trade button ("btnOil")
    QString quote;        // its quote in the current-market column ("lblOilCurrMark")
    QString quoteName;    // the name beside the quote ("LabelOilMark")
    QString position;     // its position ("lblOilPos")
    QString positionName; // the name beside the position ("labelOilPos")
};
const MarketKeys& keysOf(Market m);
// One control of each market, found once, by the market's index:
// marketControlKeys(&MarketKeys::quote).
std::array<ControlKey, kMarketCount> marketControlKeys(QString MarketKeys::*control);

// The keys the game itself writes, by what they are.
namespace keys {
inline constexpr char kWindow[] = "Kestrow";
inline constexpr char kForward[] = "btnChangePeriod";
inline constexpr char kTrade[] = "btnTrade";
inline constexpr char kNewsHistory[] = "btnNewsHist";
inline constexpr char kTradeHistory[] = "btnTradeHist";
inline constexpr char kNewsGrid[] = "newsgrid";
inline constexpr char kTradeGrid[] = "TradeGrid";
inline constexpr char kNewGame[] = "mnuNewGame";
inline constexpr char kDate[] = "lblDate";
inline constexpr char kWeekday[] = "lblDay";
inline constexpr char kDayCaption[] = "LabelDay";
inline constexpr char kTime[] = "lblTradeTime";
inline constexpr char kMarketBanner[] = "CurrMarkBanner";
// Auto-play: the button beside Forward, its Game menu item, and the menu of
// paces under Options with its items.
inline constexpr char kAutoPlay[] = "btnAutoPlay";
inline constexpr char kAutoPlayItem[] = "mnuAutoPlay";
inline constexpr char kAutoPlaySpeedMenu[] = "mnuAutoSpeed";
inline constexpr char kAutoPlaySpeed[] = "mnuSpeed";
} // namespace keys

} // namespace pellucar
