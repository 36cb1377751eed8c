#include "app/game.h"

namespace pellucar {

namespace {

using Length = TimePeriodForm::Length;

} // namespace

void Game::mnuNewGame_Click() {
    if (s_.periodIndex > 0) {
        // During a game "Restart" shows where the player stands first.
        s_.totalPL = static_cast<float>(s_.realizedPL + s_.unrealizedPL);
        mnuEnd_Click();
        RevalueAccount();
        return;
    }
    Length len = Length::Year;
    if (model_.checked("mnuGameLength_2")) len = Length::Month;
    else if (model_.checked("mnuGameLength_3")) len = Length::Quarter;
    const QString data = model_.checked("mnuDat_1") ? QStringLiteral("Tick") : QStringLiteral("Daily");
    const QString news = model_.checked("mnuNews_1") && !model_.checked("mnuNews_0") ? QStringLiteral("Daily")
                                                                                     : QStringLiteral("Annual");
    form_.reset(s_.gameLevel, data, len, news);
    const bool begin = dialogs_.timePeriod(form_);
    if (form_.dataChosen()) s_.dataMode = form_.data();
    if (!begin) return;
    cmdBegin(form_);
    // A game that ended with Play Again leaves the restart flag set; the new
    // game must start with Forward free, so the flag is cleared here.
    s_.restartRequested = 0;

    SetOrderState(QStringLiteral("ChangePeriod"));
    model_.setText("mnuNewGame", QStringLiteral("&Restart"));
    if (model_.checked("mnuGameLength_2")) s_.gameLengthDays = 30;
    else if (model_.checked("mnuGameLength_3")) s_.gameLengthDays = 90;
    else s_.gameLengthDays = 360;
    s_.dataMode = model_.checked("mnuDat_1") ? QStringLiteral("Tick") : QStringLiteral("Daily");
    DisableSettingsMenus();
    ResetGame();
    LoadGamePeriod();
    s_.market.tradingDays.position = 0;
    // A fresh desk: the quote column is closed until the first period.
    labelmarketvisible(true);
    for (Market m : kTradingOrder) {
        const QString key = QStringLiteral("lbl%1CurrMark").arg(marketName(m));
        model_.setText(key, QStringLiteral("*** Market Closed ***"));
        const bool shown = s_.gameLevel == QLatin1String("Expert") || m == Market::Oil;
        model_.setVisible(key, shown);
        model_.setVisible(QStringLiteral("Label%1Mark").arg(marketName(m)), shown);
    }
    model_.setText("lblDate", QString());
    ShowAccountFigures();
    model_.setEnabled("btnChangePeriod", true);
    model_.setEnabled("btnTrade", false);
}

void Game::cmdBegin(const TimePeriodForm& form) {
    s_.levelSelected = true;
    const bool tick = form.data() == QLatin1String("Tick");
    int month = 1;
    int year = form.year;
    if (!form.random) {
        month = tick ? form.month : 1;
    } else if (tick) {
        if (form.length == Length::Month) {
            month = static_cast<int>(random_.next() * 12 + 1);
        } else {
            static const int quarterStart[] = {1, 4, 7, 10};
            month = quarterStart[std::clamp(static_cast<int>(random_.next() * 4), 0, 3)];
        }
        year = static_cast<int>(random_.next() * 2 + 1996);
    } else {
        month = 1;
        year = static_cast<int>(random_.next() * 14 + 1984);
    }
    month = std::clamp(month, 1, 12);
    s_.gameStartDate = QDate(year, month, 1);
    s_.setupLength = tick && form.length == Length::Year ? Length::Quarter : form.length;
    switch (s_.setupLength) {
    case Length::Month: s_.gameEndDate = s_.gameStartDate.addMonths(1); break;
    case Length::Quarter: s_.gameEndDate = s_.gameStartDate.addMonths(3); break;
    case Length::Year: s_.gameEndDate = s_.gameStartDate.addMonths(12); break;
    }
    // Chart defaults come back for every new game.
    s_.graphType = QStringLiteral("MovingAverage");
    s_.movingAveragePeriods = 5;
    const int combo = model_.at("cboCommodity").currentIndex;
    s_.chartMarket = (combo >= 0 && combo < kMarketCount) ? combo + 1 : 3;
    LevelDetailChecker(form);
    SetLevel(form.level);
    s_.dataMode = form.data();
}

void Game::LevelDetailChecker(const TimePeriodForm& form) {
    for (const char* k : {"mnuLevel_0", "mnuLevel_2", "mnuGameLength_2", "mnuGameLength_3", "mnuGameLength_4",
                          "mnuDat_0", "mnuDat_1", "mnuNews_0", "mnuNews_1"})
        model_.setChecked(k, false);
    model_.setChecked(form.level == QLatin1String("Novice") ? "mnuLevel_0" : "mnuLevel_2", true);
    const Length len = form.data() == QLatin1String("Tick") && form.length == Length::Year ? Length::Quarter
                                                                                           : form.length;
    model_.setChecked(len == Length::Month     ? "mnuGameLength_2"
                      : len == Length::Quarter ? "mnuGameLength_3"
                                               : "mnuGameLength_4",
                      true);
    model_.setChecked(form.data() == QLatin1String("Tick") ? "mnuDat_1" : "mnuDat_0", true);
    model_.setChecked(form.news == QLatin1String("Daily") ? "mnuNews_1" : "mnuNews_0", true);
    s_.newsCounter = {model_.checked("mnuNews_0") ? 1 : 0, model_.checked("mnuNews_1") ? 1 : 0};
}

void Game::mnuLevel_Click(int index) {
    if (index != 0 && index != 2) return;
    DisableGameMenus();
    s_.levelSelected = true;
    const bool novice = index == 0;
    model_.setChecked("mnuLevel_0", novice);
    model_.setChecked("mnuLevel_2", !novice);
    if (novice) {
        // A novice game trades Oil for a quarter.
        s_.gameLengthDays = 90;
        model_.setChecked("mnuGameLength_2", false);
        model_.setChecked("mnuGameLength_3", true);
        model_.setChecked("mnuGameLength_4", false);
    } else {
        s_.newsCounter = {1, 1};
        model_.setChecked("mnuNews_0", true);
        model_.setChecked("mnuNews_1", true);
    }
    SetLevel(novice ? QStringLiteral("Novice") : QStringLiteral("Expert"));
    EnableGameMenus();
}

void Game::mnuDat_Click(int index) {
    if (index != 0 && index != 1) return;
    model_.setChecked("mnuDat_0", index == 0);
    model_.setChecked("mnuDat_1", index == 1);
}

void Game::mnuGameLength_Click(int index) {
    if (index < 2 || index > 4) return;
    DisableGameMenus();
    s_.gameLengthDays = index == 4 ? 365 : index == 3 ? 90 : 30;
    for (int i = 2; i <= 4; ++i) model_.setChecked(PresentationModel::itemKey("mnuGameLength", i), i == index);
    LevelSummary summary;
    summary.level = s_.gameLevel;
    summary.gameLength = index == 4 ? QStringLiteral("One Year")
                         : index == 3 ? QStringLiteral("One Quarter")
                                      : QStringLiteral("One Month");
    const bool annual = model_.checked("mnuNews_0");
    const bool daily = model_.checked("mnuNews_1");
    summary.news = annual && daily ? QStringLiteral("Annual Reports")
                   : daily         ? QStringLiteral("Daily Reports")
                                   : QStringLiteral("Annual Summary");
    summary.data = model_.checked("mnuDat_1") ? QStringLiteral("Tick") : QStringLiteral("Daily");
    s_.levelSelected = dialogs_.levelSelected(summary);
    UpdateTradeDayandGraphs();
    EnableGameMenus();
}

void Game::mnuNews_Click(int index) {
    if (index == 2) {
        ShowBackgroundStory();
        return;
    }
    if (index != 0 && index != 1) return;
    model_.setEnabled("Kestrow", false);
    DisableGameMenus();
    s_.newsCounter[static_cast<size_t>(index)] += 1;
    model_.setChecked(PresentationModel::itemKey("mnuNews", index), s_.newsCounter[static_cast<size_t>(index)] % 2 == 1);
    EnableGameMenus();
    model_.setEnabled("Kestrow", true);
}

void Game::ShowBackgroundStory() {
    if (s_.periodIndex < 1) return;
    const QDate date = currentGameDate();
    // A date outside the played years keeps the previous lookup.
    if (date.isValid() && date.year() >= 1984 && date.year() <= 1997) s_.backgroundYear = date.year() - 1;
    if (s_.backgroundYear == 0) return;
    const QString text = GetOverviewNews(QDate(s_.backgroundYear, 1, 1), s_.chartMarket);
    const QString caption = marketNames().value(s_.chartMarket - 1) + QStringLiteral(" Futures Market: ") +
                            QString::number(s_.backgroundYear) + QStringLiteral(" News Background ");
    dialogs_.news(caption, text, 5000, true);
}

void Game::cboCommodity_Click(int index) {
    if (index < 0 || index >= kMarketCount) return;
    ControlState& combo = model_["cboCommodity"];
    combo.currentIndex = index;
    combo.text = combo.items.value(index);
    s_.chartMarket = index + 1;
    // Menu items follow the trading order, the combo the alphabetical list.
    static const int menuItemOfCombo[] = {4, 1, 0, 3, 5, 2};
    for (int i = 0; i < kMarketCount; ++i)
        model_.setChecked(PresentationModel::itemKey("mnuGraph", i), i == menuItemOfCombo[index]);
    RefreshCharts();
}

void Game::mnuGraph_Click(int index) {
    if (index < 0 || index >= kMarketCount) return;
    static const int idOfItem[] = {3, 2, 6, 4, 1, 5};
    s_.chartMarket = idOfItem[index];
    ControlState& combo = model_["cboCommodity"];
    combo.currentIndex = s_.chartMarket - 1;
    combo.text = combo.items.value(combo.currentIndex);
    for (int i = 0; i < kMarketCount; ++i) model_.setChecked(PresentationModel::itemKey("mnuGraph", i), i == index);
    RefreshCharts();
}

} // namespace pellucar
