#include "app/controls.h"
#include "app/desk_presenter.h"
#include "app/game.h"

#include <QHash>

namespace pellucar {

Game::Game(PlayerDialogs& dialogs, RandomSource& random, QString databasePath, PastGames* pastGames)
    : dialogs_(
          dialogs,
          [this] {
              charts_.RefreshDeferredCharts();
              PresentControlFlags();
          },
          [this] { PresentControlFlags(); }),
      random_(random), desk_(s_, model_, dialogs, [this] { RevalueAccount(); }),
      files_(s_, model_, dialogs, pastGames), charts_(s_, model_),
      news_(s_, model_, dialogs, db_), score_(s_, random, dialogs) {
    s_.databasePath = std::move(databasePath);
    applyDesignState(model_);
    files_.PresentSavedGameItems();
}

template <typename F> void Game::guarded(F&& f) {
    if (ended_) return;
    try {
        f();
        PresentControlFlags();
    } catch (const ProgramEnded& e) {
        ended_ = true;
        exitCode_ = e.exitCode;
    }
}

void Game::PresentControlFlags() {
    DeskFacts f;
    f.gameOnDesk = gameOnDesk_;
    f.periodStarted = s_.periodIndex > 0;
    f.reportShown = model_.visible(QStringLiteral("TradeGrid")) || model_.visible(QStringLiteral("newsgrid"));
    f.orderStep = s_.desk.state;
    f.pressRunning = pressRunning_;
    f.windowLocked = windowLocked_;
    f.modalOpen = dialogs_.modalOpen();
    presentControlFlags(f, model_);
    files_.PresentSavedGameItems();
}

void Game::EndProgram(int exitCode) {
    dialogs_.quitHelp();
    CloseMarketDatabase();
    throw ProgramEnded{exitCode};
}

void Game::startUp() {
    guarded([&] {
        InitializeDatabaseSettings();
        charts_.PrepareCharts();
        model_["cboCommodity"].items = marketNames();
        charts_.presentChartOptions();
        model_.setText("GameName", QStringLiteral("Pellucar"));
        model_.setText("Kestrow", QStringLiteral("Dunmere"));
        SetLevel(Level::Expert);
        SetInitialWindowState();
        s_.levelSelected = false;
        SetTimeLabels();
        dialogs_.about();
        if (!OpenMarketDatabase()) return;
        const QString disclaimer = db_.overviewNews(QDate(1965, 10, 17), 0);
        if (db_.failed()) {
            // A file that opens but cannot be read is as unusable as one
            // that does not open.
            NotifyPlayer(QStringLiteral("Pellucar"), db_.lastError(), 0);
            EndProgram(1);
        }
        if (!dialogs_.disclaimer(disclaimer)) {
            dialogs_.processEvents();
            EndProgram(0);
        }
    });
}

void Game::SetInitialWindowState() {
    // Between games the desk shows only the clock, the account and Game >
    // Start: no quotes, no trade buttons, no order panel.
    for (const char* k : {"btnBuy", "btnSell", "btnHold", "btnYes", "btnNo", "inputUnits", "promptUnits",
                          "promptPrice", "inputPrice", "lblorderverify", "btnCloseNewsHist", "LabelNH",
                          "btnCloseTradeHistory", "LabelTH", "newsgrid", "TradeGrid", "shapeTradeCentral"})
        model_.setVisible(k, false);
    model_.setText("inputUnits", QString());
    setMarketButtonsVisible(model_, false);
    setQuotesVisible(model_, false);
    setMarketLabelsVisible(model_, false);
    model_.setText("lblDay", QString());
    model_.setText("lblTradeTime", QString());
    model_.setText("lblDate", QString());
    model_.setText("lblMaxSelected", QString());
    ShowAccountFigures();
}

void Game::InitializeDatabaseSettings() {
    s_.databaseOpen = false;
    s_.chart.setChartMarket(commodityId(Market::Oil));
    clock_.startUp();
    s_.market.clearPeriod();
}

bool Game::OpenMarketDatabase() {
    if (db_.isOpen()) {
        s_.databaseOpen = true;
        return true;
    }
    if (db_.open(s_.databasePath)) {
        s_.databaseOpen = true;
        return true;
    }
    const QString error = db_.lastError();
    s_.databaseOpen = false;
    NotifyPlayer(QStringLiteral("Pellucar"), error, 0);
    EndProgram(1);
}

void Game::CloseMarketDatabase() {
    if (s_.databaseOpen) {
        s_.databaseOpen = false;
        db_.close();
    }
}

void Game::SetLevel(Level level) {
    const bool novice = level == Level::Novice;
    s_.settings.level = novice ? Level::Novice : Level::Expert;
    s_.desk.account.reset(level);
    presentSettings(s_.settings, model_);
    if (novice) clock_.setLength(90);
    model_.setText("LabelPosition", novice ? QStringLiteral("Current Position:") : QStringLiteral("Current Positions:"));
    ShowAccountFigures();
}

void Game::SetTimeLabels() {
    if (s_.dataMode == DataMode::Tick) {
        s_.timeLabels = {"9:00", "10:00", "11:00", "12:00", "1:00", "2:00", "3:00", "4:00"};
    } else if (s_.dataMode == DataMode::Daily) {
        s_.timeLabels[0] = QStringLiteral("4:00");
    }
}

void Game::NotifyPlayer(const QString& title, const QString& message, int number) {
    dialogs_.notify(title, message, number);
}

void Game::ResetGame() {
    clock_.reset();
    s_.desk.account.reset(s_.settings.level);
    s_.desk.limits.reset();
    s_.desk.trades.clear();
    s_.desk.mandatory = false;
    s_.news.clear();
    s_.totalPL = 0;
    s_.desk.clearOrder();
    s_.marginCallPending = false;
    model_.setText("lblDay", QStringLiteral("Monday"));
    model_.setText("lblTradeTime",
                   s_.dataMode == DataMode::Tick ? QStringLiteral("8:00 am") : QStringLiteral("4:00 pm"));
    model_.setText("LabelDay", QStringLiteral("Day %1:").arg(s_.periodIndex));
    // The date and a report left open belong to the game that is gone.
    model_.setText("lblDate", QString());
    closeReports(model_);
    ShowAccountFigures();
    SetTimeLabels();
    layoutCharts(model_);
}

void Game::ResetGameFromEndWindow() {
    model_.setText("mnuNewGame", QStringLiteral("Start"));
    s_.desk.pending.fillPrice = 0;
    ResetGame();
    for (Market m : kTradingOrder)
        model_.setText(QStringLiteral("lbl%1CurrMark").arg(marketName(m)), QStringLiteral("*** Market Closed ***"));
}

bool Game::isKnownControl(const QString& name, int index) const {
    if (name == QLatin1String("cboCommodity")) return true;
    const QString key = index < 0 ? name : PresentationModel::itemKey(name, index);
    return findControl(key) != nullptr;
}

bool Game::isActionable(const QString& key) const {
    if (!model_.at("Kestrow").enabled) return false;
    for (const ControlSpec* ctl = findControl(key); ctl; ctl = findControl(ctl->parent)) {
        const ControlState& st = model_.at(ctl->key);
        if (!st.enabled || !st.visible) return false;
        if (ctl->parent.isEmpty()) break;
    }
    return true;
}

bool Game::click(const QString& name, int index) {
    if (!isKnownControl(name, index)) return false;
    const QString key = (index < 0 || name == QLatin1String("cboCommodity"))
                            ? name
                            : PresentationModel::itemKey(name, index);
    if (!isActionable(key)) return true;
    using Handler = void (Game::*)();
    using IndexHandler = void (Game::*)(int);
    static const QHash<QString, Handler> handlers{
        {"btnChangePeriod", &Game::btnChangePeriod_Click},
        {"mnuNewGame", &Game::mnuNewGame_Click},
        {"mnuEnd", &Game::mnuEnd_Click},
        {"mnuResume", &Game::mnuResume_Click},
    };
    // The steps of an order on the trading desk.
    static const QHash<QString, void (OrderDesk::*)()> deskHandlers{
        {"btnTrade", &OrderDesk::btnTrade_Click},
        {"btnHold", &OrderDesk::btnHold_Click},
        {"btnYes", &OrderDesk::btnYes_Click},
        {"btnNo", &OrderDesk::btnNo_Click},
        {"btnTradeHist", &OrderDesk::btnTradeHist_Click},
        {"btnCloseTradeHistory", &OrderDesk::btnCloseTradeHistory_Click},
    };
    static const QHash<QString, IndexHandler> indexed{
        {"mnuLevel", &Game::mnuLevel_Click},           {"mnuDat", &Game::mnuDat_Click},
        {"mnuGameLength", &Game::mnuGameLength_Click}, {"mnuNews", &Game::mnuNews_Click},
    };
    // Help-menu items that only open a help topic or an information window.
    static const QHash<QString, int> helpTopics{
        {"mnuInstructions", 0},   {"mnuDefinitions_0", 1003}, {"mnuDefinitions_1", 1004},
        {"mnuDisclaimer", 1006},  {"mnuEconomicCalendar", 1007}, {"mnuDunmereTopic", 1009},
        {"mnuHowto", 1012},
    };
    // The market buttons choose the order's market, Buy and Sell its side.
    static const QHash<QString, Market> marketButtons{
        {"btnOil", Market::Oil},       {"btnGold", Market::Gold},     {"btnTBond", Market::TBond},
        {"btnSp500", Market::SP500},   {"btnCattle", Market::Cattle}, {"btnSoybean", Market::Soybean},
    };
    // The chart choices, with the number of items of each.
    using ChartHandler = void (charts::ChartOptions::*)(int);
    static const QHash<QString, std::pair<ChartHandler, int>> chartItems{
        {"cboCommodity", {&charts::ChartOptions::cboCommodity_Click, kMarketCount}},
        {"mnuGraph", {&charts::ChartOptions::mnuGraph_Click, kMarketCount}},
        {"mnuGLType", {&charts::ChartOptions::mnuGLType_Click, 3}},
        {"mnuGLPrice", {&charts::ChartOptions::mnuGLPrice_Click, 2}},
        {"mnuGRType", {&charts::ChartOptions::mnuGRType_Click, 3}},
        {"mnuMoving", {&charts::ChartOptions::mnuMoving_Click, 3}},
        {"mnuStoch", {&charts::ChartOptions::mnuStoch_Click, 2}},
    };
    guarded([&] {
        if (auto c = chartItems.constFind(name); c != chartItems.constEnd()) {
            charts_.chartOption_Click(c->first, c->second, index);
        } else if (auto h = handlers.constFind(name); h != handlers.constEnd()) {
            (this->**h)();
        } else if (name == QLatin1String("mnuSave")) {
            files_.mnuSave_Click();
        } else if (name == QLatin1String("mnuPastGames")) {
            files_.mnuPastGames_Click();
        } else if (name == QLatin1String("mnuCommission")) {
            score_.mnuCommission_Click();
        } else if (name == QLatin1String("btnNewsHist")) {
            news_.btnNewsHist_Click();
        } else if (name == QLatin1String("btnCloseNewsHist")) {
            news_.btnCloseNewsHist_Click();
        } else if (name == QLatin1String("mnuPrint")) {
            if (!dialogs_.printMainWindow()) dialogs_.messageBox(QStringLiteral("The form could not be printed."));
        } else if (auto d = deskHandlers.constFind(name); d != deskHandlers.constEnd()) {
            (desk_.**d)();
        } else if (auto m = marketButtons.constFind(name); m != marketButtons.constEnd()) {
            desk_.marketButton_Click(*m);
        } else if (name == QLatin1String("btnBuy") || name == QLatin1String("btnSell")) {
            desk_.sideButton_Click(name == QLatin1String("btnBuy") ? Side::Buy : Side::Sell);
        } else if (auto ih = indexed.constFind(name); ih != indexed.constEnd()) {
            (this->**ih)(index);
        } else if (name == QLatin1String("mnuMaximum")) {
            desk_.mnuMaximum_Click(index);
        } else if (auto t = helpTopics.constFind(key); t != helpTopics.constEnd()) {
            dialogs_.help(*t);
        } else if (key == QLatin1String("mnuAbout")) {
            dialogs_.about();
        } else if (key == QLatin1String("mnuCustom")) {
            dialogs_.customProgramming();
        } else if (key == QLatin1String("mnuScreenColor")) {
            dialogs_.screenColor();
        }
    });
    return true;
}

void Game::setText(const QString& key, const QString& text) {
    if (ended_) return;
    ControlSpec const* ctl = findControl(key);
    if (ctl && ctl->kind == ControlKind::TextBox) model_.setText(key, text);
}

void Game::keyPress(const QString& key, Key) {
    // Tab and Enter both take the units typed.
    if (key != QLatin1String("inputUnits") || !isActionable(key)) return;
    guarded([&] { desk_.InputUnits_KeyDown(); });
}

void Game::closeMainWindow() {
    // The close box ends the program through the Game > End window, so a
    // running game gets its summary and the player can still continue.
    guarded([&] { mnuEnd_Click(); });
}

void Game::activate() {
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
    if (ended_) return;
    for (const auto& [keys, tip] : tips)
        for (const QString& k : keys)
            if (model_.at(k).tooltip != tip) model_.setTooltip(k, tip);
}

void Game::paint() {
    if (ended_) return;
    layoutCharts(model_);
}

} // namespace pellucar
