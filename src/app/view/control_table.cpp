#include "app/view/control_table.h"

#include <QHash>
#include <QPair>
#include <QStringList>

#include <utility>

namespace pellucar {
namespace {

using K = ControlKind;

ControlSpec c(const QString& name, K kind, const QString& caption = {}, const QString& tip = {}) {
    ControlSpec s;
    s.key = s.name = name;
    s.kind = kind;
    s.caption = caption;
    s.tooltip = tip;
    return s;
}

ControlSpec menu(const QString& name, const QString& caption, const QString& parent, int index = -1,
                 bool checked = false) {
    ControlSpec s;
    s.name = name;
    s.index = index;
    s.key = index < 0 ? name : itemKey(name, index);
    s.kind = parent.isEmpty() ? K::Menu : K::MenuItem;
    s.caption = caption;
    s.parent = parent;
    s.checked = checked;
    return s;
}

ControlSpec sep(const QString& name, const QString& parent) {
    ControlSpec s = menu(name, QString(), parent);
    s.kind = K::Separator;
    return s;
}

// Value labels are read with the caption beside them, boxes with their
// prompt, frames by the area they hold.
void nameUncaptioned(QList<ControlSpec>& l) {
    struct Name {
        const char* key;
        const char* spoken;
        const char* labelledBy;
    };
    static const Name names[] = {
        {"lblDay", "Weekday", ""},
        {"lblDate", "Date", ""},
        {"lblTradeTime", "%1", "labelTime"},
        {"lblOilCurrMark", "%1 quote", "LabelOilMark"},
        {"lblGoldCurrMark", "%1 quote", "LabelGoldMark"},
        {"lblTBondCurrMark", "%1 quote", "LabelTBondMark"},
        {"lblSP500CurrMark", "%1 quote", "LabelSP500Mark"},
        {"lblCattleCurrMark", "%1 quote", "LabelCattleMark"},
        {"lblSoybeanCurrMark", "%1 quote", "LabelSoybeanMark"},
        {"lblOilPos", "%1 position", "labelOilPos"},
        {"lblGoldPos", "%1 position", "LabelGoldPos"},
        {"lblTBondPos", "%1 position", "LabelTBondPos"},
        {"lblSP500Pos", "%1 position", "LabelSP500Pos"},
        {"lblCattlePos", "%1 position", "LabelCattlePos"},
        {"lblSoybeanPos", "%1 position", "LabelSoybeanPos"},
        {"lblMaxSelected", "%1", "LabelMaxiPos"},
        {"lblEq", "%1", "labelAV"},
        {"lblPercentGL", "%1", "labelGL"},
        {"lblRPL", "%1", "labelRPL"},
        {"lblUPL", "%1", "LabelUPL"},
        {"lblLIAB", "%1", "LabelLiab"},
        {"lblAvailMarg", "%1", "LabelAM"},
        {"lblPosMargPercent", "%1", "LabelCM"},
        {"lblTotTrades", "%1", "LabelTotTrades"},
        {"lblScore", "%1", "labelscore"},
        {"lblorderverify", "Order verification", ""},
        {"lblOrderFills", "Order fills: %1", ""},
        {"inputUnits", "%1", "promptUnits"},
        {"inputPrice", "%1", "promptPrice"},
        {"cboCommodity", "Charted market", ""},
        {"newsgrid", "%1", "LabelNH"},
        {"TradeGrid", "%1", "LabelTH"},
        {"GraphLeft", "%1 chart", ""},
        {"GraphRight", "%1 chart", ""},
        {"Shape1", "Clock", ""},
        {"Shape2", "Charts", ""},
        {"Shape3", "Trader input", ""},
        {"ShapeNextPeriod", "Forward and Trade", ""},
        {"shapeTradeCentral", "Order entry", ""},
        {"shpBeginner", "Positions", ""},
        {"shpBegMark", "Current market", ""},
        {"shpExpert", "Account", ""},
        {"shpExpMark", "Reports", ""},
    };
    for (const Name& n : names) {
        for (ControlSpec& s : l) {
            if (s.key != QLatin1String(n.key)) continue;
            s.spoken = QString::fromLatin1(n.spoken);
            s.labelledBy = QString::fromLatin1(n.labelledBy);
        }
    }
}

// The tooltips the window gets once it is first activated, in place of the
// design's own; a group of keys shares one.
void tipOnActivation(QList<ControlSpec>& l) {
    static const QList<QPair<QStringList, QString>> tips{
        {{"LabelDay", "lblDay"}, "Current Game Day"},
        {{"labelTime", "lblTradeTime"}, "Current Game Time"},
        {{"labelAV", "lblEq"}, "Current Account Value"},
        {{"labelGL", "lblPercentGL"}, "Percentage Gain or Loss in the Account"},
        {{"labelRPL", "lblRPL"}, "Realized Profit and Loss from Matching Buy and Sell Transactions"},
        {{"LabelUPL", "lblUPL"}, "Unrealized Profit and Loss from Current Positions"},
        {{"LabelLiab", "lblLIAB"}, "Required Amount of Equity Necessary to Maintain Current Account Positions"},
        {{"LabelAM", "lblAvailMarg"}, "Amount of Free Cash in the Account"},
        {{"LabelCM", "lblPosMargPercent"}, "Percentage of Cash in the Account"},
        {{"LabelTotTrades", "lblTotTrades"}, "Number of Trades Executed by the Player During Game"},
        {{"LabelMaxiPos", "lblMaxSelected"}, "Maximum Transaction or Position Allowed for Each Commodity"},
        {{"labelOilPos", "lblOilPos"}, "Current Oil Futures Position"},
        {{"LabelGoldPos", "lblGoldPos"}, "Current Gold Futures Position"},
        {{"LabelTBondPos", "lblTBondPos"}, "Current T-Bond Futures Position"},
        {{"LabelSP500Pos", "lblSP500Pos"}, "Current SP500 Futures Position"},
        {{"LabelCattlePos", "lblCattlePos"}, "Current Cattle Futures Position"},
        {{"LabelSoybeanPos", "lblSoybeanPos"}, "Current Soybean Futures Position"},
        {{"btnOil"}, "Press Button to Trade Oil"},
        {{"btnGold"}, "Press Button to Trade Gold"},
        {{"btnTBond"}, "Press Button to Trade TBond"},
        {{"btnSp500"}, "Press Button to Trade SP500"},
        {{"btnCattle"}, "Press Button to Trade Cattle"},
        {{"btnSoybean"}, "Press Button to Trade Soybean"},
        {{"btnBuy"}, "Press Button to Execute a Buy trade"},
        {{"btnSell"}, "Press Button to Execute a Sell trade"},
        {{"btnHold"}, "Press Button to Cancel Selection"},
        {{"btnYes"}, "Execute Transaction"},
        {{"btnNo"}, "Cancel Transaction"},
        {{"btnNewsHist"}, "Display News History"},
        {{"btnTradeHist"}, "Display Trade History"},
        {{"cboCommodity"}, "Select Specific Commodity for Graphing Display"},
        {{"lblOilCurrMark", "LabelOilMark"}, "Current Price in the Oil Market"},
        {{"lblGoldCurrMark", "LabelGoldMark"}, "Current Price in the Gold Market"},
        {{"lblTBondCurrMark", "LabelTBondMark"}, "Current Price in the TBond Market"},
        {{"lblSP500CurrMark", "LabelSP500Mark"}, "Current Price in the SP500 Market"},
        {{"lblCattleCurrMark", "LabelCattleMark"}, "Current Price in the Cattle Market"},
        {{"lblSoybeanCurrMark", "LabelSoybeanMark"}, "Current Price in the Soybean Market"},
        {{"btnChangePeriod"}, "Forward Button Moves Game Forward One Period in Game Time"},
        {{"btnTrade"}, "Trade Button Allows Player to Select and Trade a Specific Commodity"},
        {{"LabelPosition"}, "Current Positions held by Player"},
        {{"labelscore", "lblScore"}, "Game Score"},
        {{"LabelNH"}, "News History Report - A report displaying past news releases"},
        {{"LabelTH"}, "Trade History Report - A report of executed transactions"},
    };
    for (const auto& [keys, tip] : tips)
        for (ControlSpec& s : l)
            if (keys.contains(s.key)) s.activeTooltip = tip;
}

QList<ControlSpec> build() {
    const QString timeTip = QStringLiteral(
        "The time of the Trading Day.  When playing with daily data, the player may trade once each day at "
        "4:00, when playing at the intermediate level, the player may trade several times during the day.");
    const QString valueTip = QStringLiteral("The dollar value of the player's account.");
    QList<ControlSpec> l;
    l << c("Kestrow", K::Window, "Dunmere");
    // Charts and reports.
    l << c("GraphRight", K::Chart, "Moving Average") << c("GraphLeft", K::Chart, "Open-High-Low-Close")
      << c("cboCommodity", K::ComboBox) << c("newsgrid", K::Grid) << c("TradeGrid", K::Grid);
    // Trade and order buttons.
    l << c("btnOil", K::Button, "&Oil") << c("btnGold", K::Button, "&Gold") << c("btnTBond", K::Button, "&T-Bond")
      << c("btnSp500", K::Button, "&SP500") << c("btnCattle", K::Button, "&Cattle")
      << c("btnSoybean", K::Button, "Soy&bean");
    l << c("btnTrade", K::Button, "&Trade") << c("btnBuy", K::Button, "&Buy") << c("btnSell", K::Button, "&Sell")
      << c("btnHold", K::Button, "&Hold") << c("btnYes", K::Button, "&Enter Order")
      << c("btnNo", K::Button, "&Cancel Order");
    l << c("inputUnits", K::TextBox, "Text1") << c("promptUnits", K::Label, "Enter Number of Units")
      << c("lblTraderInput", K::Label, "Trader Input:") << c("lblorderverify", K::Label) << c("inputPrice", K::TextBox)
      << c("promptPrice", K::Label, "Enter Stock Price");
    // Clock.
    l << c("btnChangePeriod", K::Button, "&Forward")
      << c("btnAutoPlay", K::Button, "&Play", "Play: Forward Pressed for the Player until Something Needs Attention")
      << c("LabelDay", K::Label, "Day 1:") << c("lblDay", K::Label) << c("labelTime", K::Label, "Time:", timeTip)
      << c("lblTradeTime", K::Label) << c("lblDate", K::Label);
    // Quote column.
    l << c(QString::fromLatin1(keys::kMarketBanner), K::Label, QString::fromLatin1(kMarketBannerText));
    l << c("LabelOilMark", K::Label, "Oil") << c("LabelGoldMark", K::Label, "Gold")
      << c("LabelTBondMark", K::Label, "T-Bond") << c("LabelSP500Mark", K::Label, "SP500")
      << c("LabelCattleMark", K::Label, "Cattle") << c("LabelSoybeanMark", K::Label, "Soybean");
    l << c("lblOilCurrMark", K::Label) << c("lblGoldCurrMark", K::Label) << c("lblTBondCurrMark", K::Label)
      << c("lblSP500CurrMark", K::Label) << c("lblCattleCurrMark", K::Label) << c("lblSoybeanCurrMark", K::Label);
    // Position column.
    l << c("LabelPosition", K::Label, "Current Position:");
    l << c("labelOilPos", K::Label, "Oil") << c("LabelGoldPos", K::Label, "Gold")
      << c("LabelTBondPos", K::Label, "T-Bond") << c("LabelSP500Pos", K::Label, "SP500")
      << c("LabelCattlePos", K::Label, "Cattle") << c("LabelSoybeanPos", K::Label, "Soybean");
    l << c("lblOilPos", K::Label) << c("lblGoldPos", K::Label) << c("lblTBondPos", K::Label)
      << c("lblSP500Pos", K::Label) << c("lblCattlePos", K::Label) << c("lblSoybeanPos", K::Label);
    // Limits and account.
    l << c("LabelMaxiPos", K::Label, "Maximum Transaction:") << c("lblMaxSelected", K::Label);
    l << c("labelAV", K::Label, "Account Value:", valueTip) << c("lblEq", K::Label, QString(), valueTip)
      << c("labelGL", K::Label, "Gain / Loss (%):") << c("lblPercentGL", K::Label)
      << c("labelRPL", K::Label, "Realized P(L):") << c("lblRPL", K::Label)
      << c("LabelUPL", K::Label, "Unrealized P(L):") << c("lblUPL", K::Label)
      << c("LabelLiab", K::Label, "Future Reqs.:") << c("lblLIAB", K::Label) << c("LabelAM", K::Label, "Margin Excess:")
      << c("lblAvailMarg", K::Label) << c("LabelCM", K::Label, "Cash Margin (%):") << c("lblPosMargPercent", K::Label)
      << c("LabelTotTrades", K::Label, "Total Trades:") << c("lblTotTrades", K::Label)
      << c("labelscore", K::Label, "Score:") << c("lblScore", K::Label);
    // Reports.
    l << c("Label8", K::Label, "Reports:") << c("btnNewsHist", K::Button, "&News History")
      << c("btnCloseNewsHist", K::Button, "&Close News Report") << c("LabelNH", K::Label, "News History Report:")
      << c("btnTradeHist", K::Button, "T&rade History") << c("btnCloseTradeHistory", K::Button, "&Close Trade Report")
      << c("LabelTH", K::Label, "Trade Report History:");
    l << c("GameName", K::Label, "Pellucar");
    // Trainer rules: what the last press's working orders did.
    l << c("lblOrderFills", K::Label, QString(), "Fills of Working Orders in the Last Period");
    for (const char* s : {"Shape1", "Shape2", "Shape3", "ShapeNextPeriod", "shapeTradeCentral", "shpBeginner",
                          "shpBegMark", "shpExpert", "shpExpMark"})
        l << c(QString::fromLatin1(s), K::Shape);

    // Menu tree.
    l << menu("mnuGame", "&Game", {});
    l << menu("mnuNewGame", "&Start", "mnuGame") << menu("mnuDisclaimer", "&Disclaimer Statement", "mnuGame")
      << menu("mnuEnd", "&End", "mnuGame") << menu("mnuSave", "Sa&ve", "mnuGame")
      << menu("mnuResume", "Res&ume", "mnuGame") << menu("mnuScenarios", "S&cenarios...", "mnuGame")
      << menu("mnuPractice", "P&ractice Game", "mnuGame") << menu("mnuRewind", "Rewi&nd...", "mnuGame")
      << menu("mnuTradeNote", "Trade N&ote...", "mnuGame") << sep("mSepAuto", "mnuGame")
      << menu("mnuAutoPlay", "Auto-&Play", "mnuGame") << menu("mnuOrderTicket", "Order &Ticket...", "mnuGame")
      << menu("mnuWorkingOrders", "&Working Orders...", "mnuGame");
    l << menu("mnuSettings", "&Options", {});
    l << menu("mnuLevel", "&Novice", "mnuSettings", 0) << menu("mnuLevel", "E&xpert", "mnuSettings", 2, true)
      << sep("mSep", "mnuSettings");
    l << menu("mnuData", "&Data", "mnuSettings") << menu("mnuDat", "&Daily", "mnuData", 0, true)
      << menu("mnuDat", "&Tick", "mnuData", 1);
    l << menu("mnuLength", "Game &Length", "mnuSettings") << menu("mnuGameLength", "One &Month", "mnuLength", 2)
      << menu("mnuGameLength", "One &Quarter", "mnuLength", 3)
      << menu("mnuGameLength", "One &Year", "mnuLength", 4, true);
    l << menu("mnuSettingsNews", "&News Reports", "mnuSettings")
      << menu("mnuNews", "&Annual", "mnuSettingsNews", 0, true) << menu("mnuNews", "&Daily", "mnuSettingsNews", 1)
      << menu("mnuNews", "&Background Story", "mnuSettingsNews", 2);
    l << sep("mSep1", "mnuSettings") << menu("mnuMDisplay", "&Maximum Display", "mnuSettings")
      << menu("mnuMaximum", "&Transaction", "mnuMDisplay", 0, true)
      << menu("mnuMaximum", "&Positions", "mnuMDisplay", 1)
      << menu("mnuTrainerCommission", "Trainer &Commission: $25.00 a Round Turn", "mnuSettings");
    l << menu("mnuAutoSpeed", "Auto-&Play Speed", "mnuSettings")
      << menu("mnuSpeed", "&1 Period a Second", "mnuAutoSpeed", 0)
      << menu("mnuSpeed", "&2 Periods a Second", "mnuAutoSpeed", 1)
      << menu("mnuSpeed", "&5 Periods a Second", "mnuAutoSpeed", 2, true)
      << menu("mnuSpeed", "1&0 Periods a Second", "mnuAutoSpeed", 3)
      << menu("mnuSpeed", "&As Fast as It Draws", "mnuAutoSpeed", 4) << sep("mSepFill", "mnuAutoSpeed")
      << menu("mnuStopOnFill", "Stop at a Working Order's &Fill", "mnuAutoSpeed");
    l << menu("mnuScreenColor", "&Screen Color...", "mnuSettings") << sep("mSep2", "mnuSettings");
    l << menu("mnuGraphOpt", "&Graph Options", "mnuSettings") << menu("mnuGraph", "&Oil ", "mnuGraphOpt", 0, true)
      << menu("mnuGraph", "&Gold ", "mnuGraphOpt", 1) << menu("mnuGraph", "&T-Bond", "mnuGraphOpt", 2)
      << menu("mnuGraph", "&SP500", "mnuGraphOpt", 3) << menu("mnuGraph", "&Cattle", "mnuGraphOpt", 4)
      << menu("mnuGraph", "Soy&bean", "mnuGraphOpt", 5);
    l << menu("mnuGraphType", "Graph &Types", "mnuSettings")
      << menu("mnuGLType", "&Open-High-Low-Close", "mnuGraphType", 0, true)
      << menu("mnuGLType", "&Price", "mnuGraphType", 1) << menu("mnuGLPrice", "&Mean Line ", "mnuGLType_1", 0)
      << menu("mnuGLPrice", "M&in-Max Lines", "mnuGLType_1", 1) << menu("mnuGLType", "&Year-to-Date", "mnuGraphType", 2)
      << menu("mnuGLStyleMenu", "Chart S&tyle", "mnuGraphType")
      << menu("mnuGLStyle", "&Candles", "mnuGLStyleMenu", 0, true)
      << menu("mnuGLStyle", "Open-High-Low-Close &Bars", "mnuGLStyleMenu", 1)
      << menu("mnuGLStyle", "Close &Line", "mnuGLStyleMenu", 2) << sep("mSep3", "mnuGraphType")
      << menu("mnuGRType", "&Moving Average - 5 Period", "mnuGraphType", 0)
      << menu("mnuMoving", "&Mean Line", "mnuGRType_0", 0, true)
      << menu("mnuMoving", "M&in-Max Lines", "mnuGRType_0", 1) << menu("mnuMoving", "5 Periods", "mnuGRType_0", 2)
      << menu("mnuGRType", "&Relative Strength Index ", "mnuGraphType", 1)
      << menu("mnuGRType", "&Stochastic Indicator", "mnuGraphType", 2)
      << menu("mnuStoch", "&Fast Stochastics", "mnuGRType_2", 0, true)
      << menu("mnuStoch", "&Slow Stochastics", "mnuGRType_2", 1);
    // Chart extras: the average over the prices, and the rows the charts show.
    l << menu("mnuGLAverage", "Moving &Average over Prices", "mnuGraphType")
      << menu("mnuGRVolume", "&Volume and Open Interest", "mnuGraphType")
      << menu("mnuGLBands", "&Bollinger Bands over Prices", "mnuGraphType")
      << menu("mnuGRPane", "Average Tr&ue Range", "mnuGraphType", 0) << menu("mnuGRPane", "MA&CD", "mnuGraphType", 1)
      << menu("mnuRsiPeriodsMenu", "RSI Perio&ds", "mnuGraphType")
      << menu("mnuRsiPeriods", "&9 Changes", "mnuRsiPeriodsMenu", 0)
      << menu("mnuRsiPeriods", "&14 Changes", "mnuRsiPeriodsMenu", 1, true)
      << menu("mnuRsiPeriods", "&25 Changes", "mnuRsiPeriodsMenu", 2)
      << menu("mnuStochPeriodsMenu", "Stochastic Wi&ndow", "mnuGraphType")
      << menu("mnuStochPeriods", "&5 Periods", "mnuStochPeriodsMenu", 0, true)
      << menu("mnuStochPeriods", "&9 Periods", "mnuStochPeriodsMenu", 1)
      << menu("mnuStochPeriods", "1&4 Periods", "mnuStochPeriodsMenu", 2)
      << menu("mnuChartViewMenu", "Chart &View", "mnuSettings")
      << menu("mnuChartView", "Zoom &In", "mnuChartViewMenu", 0)
      << menu("mnuChartView", "Zoom &Out", "mnuChartViewMenu", 1)
      << menu("mnuChartView", "&Latest 30 Periods", "mnuChartViewMenu", 2) << sep("mSepDraw", "mnuChartViewMenu")
      << menu("mnuDraw", "Draw &Horizontal Line", "mnuChartViewMenu", 0)
      << menu("mnuDraw", "Draw &Trend Line", "mnuChartViewMenu", 1)
      << menu("mnuDraw", "&Remove Last Drawing", "mnuChartViewMenu", 2)
      << menu("mnuDraw", "Remove &All Drawings", "mnuChartViewMenu", 3);
    l << menu("mnuDunmere", "&Dunmere", {});
    l << menu("mnuHowto", "&How to Open a Commodities Account", "mnuDunmere")
      << menu("mnuDunmereTopic", "&Dunmere", "mnuDunmere");
    l << menu("mnuHowtoPlay", "&Help", {});
    l << menu("mnuInstructions", "&Instructions", "mnuHowtoPlay")
      << menu("mnuDefinitions", "&Definitions of Common Terms: A - L", "mnuHowtoPlay", 0)
      << menu("mnuDefinitions", "&Definitions of Common Terms: M - Z", "mnuHowtoPlay", 1)
      << sep("mnusep4", "mnuHowtoPlay") << menu("mnuEconomicCalendar", "&Economic Calendar", "mnuHowtoPlay")
      << menu("mnuCommission", "&Commissions", "mnuHowtoPlay") << sep("mnusep5", "mnuHowtoPlay")
      << menu("mnuPrint", "&Print Screen", "mnuHowtoPlay") << sep("mnuSep6", "mnuHowtoPlay")
      << menu("mnuCustom", "C&ustom Programming", "mnuHowtoPlay") << menu("mnuAbout", "&About Pellucar", "mnuHowtoPlay")
      << menu("mnuPastGames", "Past &Games", "mnuHowtoPlay");
    nameUncaptioned(l);
    tipOnActivation(l);
    return l;
}

} // namespace

const QList<ControlSpec>& mainWindowControls() {
    static const QList<ControlSpec> list = build();
    return list;
}

const ControlSpec* findControl(const QString& key) {
    // Every click asks, and again for each menu above the control: looked up,
    // not searched. A key listed twice finds its first entry.
    static const QHash<QString, const ControlSpec*> byKey = [] {
        QHash<QString, const ControlSpec*> h;
        for (const ControlSpec& s : mainWindowControls())
            if (!h.contains(s.key)) h.insert(s.key, &s);
        return h;
    }();
    return byKey.value(key, nullptr);
}

namespace {

// The design's controls, each once, in the order the design lists them: the
// order applyDesignState adds them in.
const QHash<QString, int>& designPlaces() {
    static const QHash<QString, int> places = [] {
        QHash<QString, int> p;
        for (const ControlSpec& c : mainWindowControls())
            if (!p.contains(c.key)) p.insert(c.key, static_cast<int>(p.size()));
        return p;
    }();
    return places;
}

} // namespace

int designPlace(const QString& key) { return designPlaces().value(key, -1); }

ControlKey::ControlKey(QString name) : name_(std::move(name)), slot_(designPlace(name_)) {}

QString spokenCaption(const QString& caption) {
    QString t;
    t.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        // "&&" is a literal ampersand; a single one marks the access key.
        if (caption.at(i) == QLatin1Char('&') && ++i >= caption.size()) break;
        t += caption.at(i);
    }
    t = t.simplified();
    while (t.endsWith(QLatin1Char(':'))) t.chop(1);
    return t.trimmed();
}

const MarketKeys& keysOf(Market m) {
    // The design's names: the buttons and the position names do not all
    // follow the market's name.
    static const MarketKeys keys[kMarketCount] = {
        {"btnOil", "lblOilCurrMark", "LabelOilMark", "lblOilPos", "labelOilPos"},
        {"btnGold", "lblGoldCurrMark", "LabelGoldMark", "lblGoldPos", "LabelGoldPos"},
        {"btnTBond", "lblTBondCurrMark", "LabelTBondMark", "lblTBondPos", "LabelTBondPos"},
        {"btnSp500", "lblSP500CurrMark", "LabelSP500Mark", "lblSP500Pos", "LabelSP500Pos"},
        {"btnCattle", "lblCattleCurrMark", "LabelCattleMark", "lblCattlePos", "LabelCattlePos"},
        {"btnSoybean", "lblSoybeanCurrMark", "LabelSoybeanMark", "lblSoybeanPos", "LabelSoybeanPos"},
    };
    return keys[index(m)];
}

std::array<ControlKey, kMarketCount> marketControlKeys(QString MarketKeys::*control) {
    return [control]<size_t... I>(std::index_sequence<I...>) {
        return std::array<ControlKey, kMarketCount>{ControlKey(keysOf(static_cast<Market>(I)).*control)...};
    }
    (std::make_index_sequence<kMarketCount>{});
}

} // namespace pellucar
