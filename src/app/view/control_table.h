#pragma once
#include "common/market.h"

#include <QList>
#include <QString>

#include <array>

namespace pellucar {

// The model key of item `index` of a control array or combo box
// ("mnuLevel_2").
inline QString itemKey(const QString& name, int index) { return name + '_' + QString::number(index); }

// The place of `key` among the design's controls, each counted once in the
// order mainWindowControls() lists them; -1 for a key the design does not
// have.
int designPlace(const QString& key);

// A control of the window's design, named once: its place among the
// design's controls is found when the key is made. A model filled with the
// design holds its controls in that order, so it finds a key's state by its
// place instead of hashing the name at every look-up.
class ControlKey {
public:
    explicit ControlKey(QString name);
    const QString& name() const { return name_; }
    // -1 for a name the design does not have.
    int slot() const { return slot_; }

private:
    QString name_;
    int slot_;
};

// The key of a control named by a constant (keys::kDate), found at its
// first use.
template <const char* Name> const ControlKey& controlKey() {
    static const ControlKey key(QString::fromLatin1(Name));
    return key;
}

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
    QString tooltip;       // design-time tooltip
    QString activeTooltip; // the tooltip once the window is activated ("" = the design's stays)
    // How assistive technology names a control that has no caption of its
    // own (a value label, a box, a frame): "%1" stands for the current text
    // of the label `labelledBy` (of the control itself when that is empty).
    QString spoken;
    QString labelledBy;
};

// A caption as it is read: no '&' markers, single blanks, no trailing colon.
QString spokenCaption(const QString& caption);

// Every control and menu item of the main window, in design order (menus in
// their tree order, parents before children).
const QList<ControlSpec>& mainWindowControls();
const ControlSpec* findControl(const QString& key);

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
inline constexpr char kAutoPlayStopsOnFill[] = "mnuStopOnFill";
// Trainer rules: the order ticket, the list of working orders, and the line
// of the last press's fills.
inline constexpr char kOrderTicket[] = "mnuOrderTicket";
inline constexpr char kWorkingOrders[] = "mnuWorkingOrders";
inline constexpr char kOrderFills[] = "lblOrderFills";
} // namespace keys

// What the quote column's banner (keys::kMarketBanner) says while no market is
// picked: its design caption, and what each press and each game's end put back.
inline constexpr char kMarketBannerText[] = "  Current Market:    (Last Trade  *  Change)";

} // namespace pellucar
